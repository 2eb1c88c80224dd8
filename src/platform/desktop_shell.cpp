#include "platform/desktop_shell.h"

#include <windows.h>
#include <exdisp.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include <atomic>
#include <memory>
#include <new>

namespace addmorvane {
namespace {

// Holds one reference to a COM object and releases it at the end of its scope.
template <typename T>
class ComRef {
 public:
  ComRef() = default;
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() { Reset(); }

  void Reset() {
    if (object_ != nullptr) {
      object_->Release();
      object_ = nullptr;
    }
  }
  T** Out() {
    Reset();
    return &object_;
  }
  void** OutVoid() { return reinterpret_cast<void**>(Out()); }
  T* operator->() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }

 private:
  T* object_ = nullptr;
};

class Variant {
 public:
  Variant() { VariantInit(&value_); }
  explicit Variant(const wchar_t* text) : Variant() {
    value_.vt = VT_BSTR;
    value_.bstrVal = SysAllocString(text);
  }
  explicit Variant(int number) : Variant() {
    value_.vt = VT_I4;
    value_.lVal = number;
  }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { VariantClear(&value_); }

  VARIANT& get() { return value_; }
  // False when a text could not be allocated.
  bool complete() const { return value_.vt != VT_BSTR || value_.bstrVal != nullptr; }

 private:
  VARIANT value_;
};

struct ShellRequest {
  std::wstring path;
  int showCommand = SW_SHOWNORMAL;
  bool fullRightsAllowed = false;
  // Set when the caller stopped waiting: a chain that answers late must not open the file
  // after the caller reported that it did not.
  std::atomic<bool> abandoned{false};
  ShellReport report;
};

unsigned long ErrorFromResult(HRESULT result) {
  if (HRESULT_FACILITY(result) == FACILITY_WIN32) {
    return HRESULT_CODE(result);
  }
  // Success codes other than S_OK are how the shell says that nothing was started.
  return static_cast<unsigned long>(SUCCEEDED(result) ? E_FAIL : result);
}

// Whether the process that owns `window` runs with an unelevated token. False when that
// cannot be told: the caller then treats the shell as one with full rights.
bool RunsWithUserRights(HWND window) {
  DWORD processId = 0;
  if (window == nullptr || GetWindowThreadProcessId(window, &processId) == 0 || processId == 0) {
    return false;
  }
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (process == nullptr) {
    return false;
  }
  bool unelevated = false;
  HANDLE token = nullptr;
  if (OpenProcessToken(process, TOKEN_QUERY, &token)) {
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    unelevated = GetTokenInformation(token, TokenElevation, &elevation, sizeof(elevation), &size) &&
                 elevation.TokenIsElevated == 0;
    CloseHandle(token);
  }
  CloseHandle(process);
  return unelevated;
}

// The documented way to the desktop shell's own ShellExecute: the desktop among the shell's
// windows, its top-level browser, the active view's background object and its Application.
ShellReport OpenOnWorker(const ShellRequest& request) {
  const ShellReport noShell{ShellOutcome::NoShell, 0};
  ComRef<IShellWindows> windows;
  if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                              windows.OutVoid()))) {
    return noShell;
  }
  Variant desktop(static_cast<int>(CSIDL_DESKTOP));
  Variant empty;
  long desktopWindow = 0;
  ComRef<IDispatch> desktopDispatch;
  if (windows->FindWindowSW(&desktop.get(), &empty.get(), SWC_DESKTOP, &desktopWindow,
                            SWFO_NEEDDISPATCH, desktopDispatch.Out()) != S_OK ||
      !desktopDispatch) {
    return noShell;
  }
  ComRef<IServiceProvider> provider;
  ComRef<IShellBrowser> browser;
  ComRef<IShellView> view;
  ComRef<IDispatch> background;
  ComRef<IShellFolderViewDual> folderView;
  ComRef<IDispatch> application;
  ComRef<IShellDispatch2> shell;
  if (FAILED(desktopDispatch->QueryInterface(IID_IServiceProvider, provider.OutVoid())) ||
      FAILED(provider->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.OutVoid())) ||
      FAILED(browser->QueryActiveShellView(view.Out())) || !view ||
      FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.OutVoid())) ||
      FAILED(background->QueryInterface(IID_IShellFolderViewDual, folderView.OutVoid())) ||
      FAILED(folderView->get_Application(application.Out())) || !application ||
      FAILED(application->QueryInterface(IID_IShellDispatch2, shell.OutVoid()))) {
    return noShell;
  }

  // The view's own window belongs to the process that will start the file; the desktop
  // window that FindWindowSW names may belong to the system instead.
  HWND viewWindow = nullptr;
  if (FAILED(view->GetWindow(&viewWindow))) {
    viewWindow = nullptr;
  }
  const HWND shellWindow =
      viewWindow != nullptr ? viewWindow : static_cast<HWND>(LongToHandle(desktopWindow));
  if (!RunsWithUserRights(shellWindow) && !request.fullRightsAllowed) {
    return {ShellOutcome::Refused, 0};
  }

  Variant file(request.path.c_str());
  Variant none(L"");
  Variant verb(L"open");
  Variant show(request.showCommand);
  if (!file.complete() || !none.complete() || !verb.complete()) {
    return {ShellOutcome::Failed, ERROR_NOT_ENOUGH_MEMORY};
  }
  if (request.abandoned) {
    return {ShellOutcome::Failed, ERROR_TIMEOUT};
  }
  const HRESULT result =
      shell->ShellExecute(file.get().bstrVal, none.get(), none.get(), verb.get(), show.get());
  if (result != S_OK) {
    return {ShellOutcome::Failed, ErrorFromResult(result)};
  }
  return {ShellOutcome::Opened, 0};
}

DWORD WINAPI ShellWorker(void* parameter) {
  const std::unique_ptr<std::shared_ptr<ShellRequest>> handed(
      static_cast<std::shared_ptr<ShellRequest>*>(parameter));
  ShellRequest& request = **handed;
  // Its own multithreaded apartment: the calls into the shell's process block this thread
  // only, and the window's thread neither joins an apartment nor pumps while it waits.
  const HRESULT initialised = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  if (FAILED(initialised)) {
    request.report = {ShellOutcome::Failed, ErrorFromResult(initialised)};
    return 0;
  }
  try {
    request.report = OpenOnWorker(request);
  } catch (const std::bad_alloc&) {
    request.report = {ShellOutcome::Failed, ERROR_NOT_ENOUGH_MEMORY};
  }
  CoUninitialize();
  return 0;
}

}  // namespace

ShellReport OpenThroughDesktopShell(const std::wstring& path,
                                    int showCommand,
                                    bool fullRightsAllowed,
                                    unsigned long timeoutMs) {
  // Shared with the worker, which may outlive this call when the shell does not answer.
  auto request = std::make_shared<ShellRequest>();
  request->path = path;
  request->showCommand = showCommand;
  request->fullRightsAllowed = fullRightsAllowed;
  auto* handed = new std::shared_ptr<ShellRequest>(request);
  HANDLE thread = CreateThread(nullptr, 0, ShellWorker, handed, 0, nullptr);
  if (thread == nullptr) {
    const DWORD error = GetLastError();
    delete handed;
    return {ShellOutcome::Failed, error};
  }
  const DWORD waited = WaitForSingleObject(thread, timeoutMs);
  CloseHandle(thread);
  if (waited != WAIT_OBJECT_0) {
    request->abandoned = true;
    return {ShellOutcome::Failed, ERROR_TIMEOUT};
  }
  // The thread has ended, so its report is complete.
  return request->report;
}

}  // namespace addmorvane
