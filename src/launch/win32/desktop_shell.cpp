#include "launch/win32/desktop_shell.h"

#include <windows.h>
#include <exdisp.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include <memory>
#include <cstdint>
#include <utility>

#include "launch/shell_error.h"

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

// Ends the worker's apartment when the call is over, whatever way it ends.
class Apartment {
 public:
  explicit Apartment(DWORD model) : result_(CoInitializeEx(nullptr, model)) {}
  Apartment(const Apartment&) = delete;
  Apartment& operator=(const Apartment&) = delete;
  ~Apartment() {
    if (SUCCEEDED(result_)) {
      CoUninitialize();
    }
  }
  HRESULT result() const { return result_; }

 private:
  HRESULT result_;
};

unsigned long ErrorOf(HRESULT result) {
  return SystemErrorFromResult(static_cast<std::uint32_t>(result));
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
ShellReport AskDesktopShell(const std::wstring& path,
                            int showCommand,
                            const TrustCheck& whyNotTrusted,
                            ShellRequest& request) {
  ShellReport noShell{ShellOutcome::NoShell, 0, {}};
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
  if (!RunsWithUserRights(shellWindow)) {
    if (std::wstring refusal = whyNotTrusted(); !refusal.empty()) {
      return {ShellOutcome::Refused, 0, std::move(refusal)};
    }
  }

  Variant file(path.c_str());
  Variant none(L"");
  Variant verb(L"open");
  Variant show(showCommand);
  if (!file.complete() || !none.complete() || !verb.complete()) {
    return {ShellOutcome::Failed, ERROR_NOT_ENOUGH_MEMORY, {}};
  }
  // The call goes into the shell's process and cannot be called back once made.
  if (!request.Begin()) {
    return {ShellOutcome::Failed, kShellTimeoutError, {}};  // the caller has given up
  }
  const HRESULT result =
      shell->ShellExecute(file.get().bstrVal, none.get(), none.get(), verb.get(), show.get());
  if (result == S_OK) {
    return {ShellOutcome::Opened, 0, {}};
  }
  const auto code = static_cast<std::uint32_t>(result);
  return {CallMayHaveStarted(code) ? ShellOutcome::Unconfirmed : ShellOutcome::Failed,
          ErrorOf(result),
          {}};
}

// A thread of the system's own for one request, waited for at most `boundMs`: until its job
// has answered, not until the thread has ended, which costs the window a few milliseconds more.
class BoundedThread final : public WorkerThread {
 public:
  explicit BoundedThread(DWORD boundMs) : boundMs_(boundMs) {}
  BoundedThread(const BoundedThread&) = delete;
  BoundedThread& operator=(const BoundedThread&) = delete;
  ~BoundedThread() override {
    if (answered_ != nullptr) {
      CloseHandle(answered_);
    }
  }

  unsigned long Start(std::function<void()> job) override {
    // The thread has its own handle to the event, since it may outlive this waiter.
    auto handed = std::make_unique<Job>(Job{std::move(job), nullptr});
    answered_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const HANDLE process = GetCurrentProcess();
    if (answered_ == nullptr || !DuplicateHandle(process, answered_, process, &handed->answered, 0,
                                                 FALSE, DUPLICATE_SAME_ACCESS)) {
      return GetLastError();
    }
    const HANDLE thread = CreateThread(nullptr, 0, Run, handed.get(), 0, nullptr);
    if (thread == nullptr) {
      const DWORD error = GetLastError();
      CloseHandle(handed->answered);
      return error;
    }
    static_cast<void>(handed.release());  // the thread owns it now
    CloseHandle(thread);
    return 0;
  }
  void Wait() override { WaitForSingleObject(answered_, boundMs_); }

 private:
  struct Job {
    std::function<void()> run;
    HANDLE answered;
  };

  static DWORD WINAPI Run(void* parameter) {
    const std::unique_ptr<Job> job(static_cast<Job*>(parameter));
    job->run();
    SetEvent(job->answered);
    CloseHandle(job->answered);
    return 0;
  }

  DWORD boundMs_;
  HANDLE answered_ = nullptr;
};

// Runs `ask` on a thread of its own, in a COM apartment of the given model, bounded.
ShellReport AskInApartment(DWORD model, unsigned long timeoutMs, ShellCall ask) {
  ShellCall call = [model, ask = std::move(ask)](ShellRequest& request) -> ShellReport {
    const Apartment apartment(model);
    if (FAILED(apartment.result())) {
      return {ShellOutcome::Failed, ErrorOf(apartment.result()), {}};
    }
    return ask(request);
  };
  BoundedThread worker(timeoutMs);
  return AskShell(std::move(call), worker);
}

}  // namespace

bool DesktopShellRuns() {
  return GetShellWindow() != nullptr;
}

ShellReport OpenThroughDesktopShell(const std::wstring& path,
                                    int showCommand,
                                    TrustCheck whyNotTrusted,
                                    unsigned long timeoutMs) {
  // A multithreaded apartment of the worker's own: the calls into the shell's process block
  // that thread only, and the window's thread neither joins an apartment nor pumps.
  return AskInApartment(
      COINIT_MULTITHREADED, timeoutMs,
      [path, showCommand, whyNotTrusted = std::move(whyNotTrusted)](ShellRequest& request) {
        return AskDesktopShell(path, showCommand, whyNotTrusted, request);
      });
}

}  // namespace addmorvane
