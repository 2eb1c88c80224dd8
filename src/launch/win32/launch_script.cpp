#include "launch/win32/launch_script.h"

#include <aclapi.h>

#include <cwchar>
#include <utility>

#include "base/join.h"
#include "files/at_name.h"
#include "launch/file_trust.h"
#include "launch/launch_actions.h"
#include "launch/script_start.h"
#include "launch/win32/file_security.h"
#include "launch/win32/trust_check.h"
#include "runscript/vocabulary.h"

namespace addmorvane {
namespace {

constexpr UINT kScriptEndedMessage = WM_APP + 1;
constexpr wchar_t kNotifyClass[] = L"addmorvane.LaunchScriptEnd";
constexpr std::wstring_view kLinkAtName =
    L" не открыт: на его месте ссылка на другой файл или папку (символическая ссылка или точка "
    L"соединения).";
// ERROR_DIRECTORY_NOT_SUPPORTED, which mingw-w64's headers lack.
constexpr DWORD kDirectoryNotSupported = 336;

bool RunsRedirected() {
  BOOL wow64 = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow64) != FALSE && wow64 != FALSE;
}

// The program's own environment block, whole, with its closing null.
std::wstring CurrentEnvironment() {
  wchar_t* const block = GetEnvironmentStringsW();
  if (block == nullptr) {
    return {};
  }
  const wchar_t* end = block;
  while (*end != L'\0') {
    end += std::wcslen(end) + 1;
  }
  std::wstring copy(static_cast<const wchar_t*>(block), end + 1);
  FreeEnvironmentStringsW(block);
  return copy;
}

// One name for every copy of the program in every session, so that two scripts never run at
// once. Any user may make an object of that name first; one that the system or the
// administrators did not make is a squatter's, which must not stop the run.
constexpr wchar_t kLockName[] = L"Global\\addmorvane.LaunchScript";

// What taking the lock came to: `lock` held (or null where a squatter holds the name), or the
// result that stops the start.
struct LockTaken {
  HANDLE lock = nullptr;
  OpenResult stop;
};

// O:BAD:P(A;;GA;;;BA)(A;;GA;;;SY), built by hand: parsing it from SDDL cost the press about
// 10 ms under Wine (./bench).
struct LockSecurity {
  SECURITY_DESCRIPTOR descriptor{};
  DWORD administrators[SECURITY_MAX_SID_SIZE / sizeof(DWORD)]{};
  DWORD system[SECURITY_MAX_SID_SIZE / sizeof(DWORD)]{};
  DWORD acl[(sizeof(ACL) + 2 * (sizeof(ACCESS_ALLOWED_ACE) + SECURITY_MAX_SID_SIZE)) /
            sizeof(DWORD)]{};

  bool Build() {
    DWORD size = sizeof(administrators);
    DWORD systemSize = sizeof(system);
    const auto list = reinterpret_cast<PACL>(acl);
    return CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size) &&
           CreateWellKnownSid(WinLocalSystemSid, nullptr, system, &systemSize) &&
           InitializeAcl(list, sizeof(acl), ACL_REVISION) &&
           AddAccessAllowedAce(list, ACL_REVISION, GENERIC_ALL, administrators) &&
           AddAccessAllowedAce(list, ACL_REVISION, GENERIC_ALL, system) &&
           InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
           SetSecurityDescriptorOwner(&descriptor, administrators, FALSE) &&
           SetSecurityDescriptorDacl(&descriptor, TRUE, list, FALSE) &&
           SetSecurityDescriptorControl(&descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
  }
};

LockTaken TakeLaunchLock() {
  // Owned by the administrators, open to them and the system only.
  LockSecurity security;
  if (!security.Build()) {
    return {nullptr, {GetLastError(), {}}};
  }
  // Made with the token's default list, which an elevated token limits to the administrators
  // and the system, and given its own at once: a list passed to CreateMutexW cost the press
  // about 10 ms under Wine (./bench).
  HANDLE lock = CreateMutexW(nullptr, FALSE, kLockName);
  const DWORD error = GetLastError();
  if (lock != nullptr && error != ERROR_ALREADY_EXISTS &&
      !SetKernelObjectSecurity(lock, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                               &security.descriptor)) {
    const DWORD failed = GetLastError();
    CloseHandle(lock);
    return {nullptr, {failed, {}}};
  }
  if (lock == nullptr) {
    // A squatter's object that keeps the administrators out, or one of another kind under the
    // name (events, mutexes and the rest share one namespace).
    return error == ERROR_ACCESS_DENIED || error == ERROR_INVALID_HANDLE
               ? LockTaken{}
               : LockTaken{nullptr, {error, {}}};
  }
  if (error != ERROR_ALREADY_EXISTS) {
    return {lock, {}};
  }
  PSECURITY_DESCRIPTOR existing = nullptr;
  std::wstring owner;
  if (GetSecurityInfo(lock, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, nullptr, nullptr, nullptr,
                      nullptr, &existing) == ERROR_SUCCESS) {
    owner = SummarizeSecurityDescriptor(existing).owner;
    LocalFree(existing);
  }
  CloseHandle(lock);
  if (IsSystemPrincipal(owner)) {
    return {nullptr, {0, std::wstring(kScriptRunsInAnotherCopyText)}};
  }
  return {};
}

std::wstring WindowsFolder() {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemWindowsDirectoryW(folder, MAX_PATH);
  return length == 0 || length >= MAX_PATH ? std::wstring() : std::wstring(folder, length);
}

}  // namespace

struct LaunchScriptRunner::Run {
  Run() = default;
  Run(const Run&) = delete;
  Run& operator=(const Run&) = delete;
  ~Run() {
    if (wait != nullptr) {
      // Waits for a callback already under way, which only posts a message.
      UnregisterWaitEx(wait, INVALID_HANDLE_VALUE);
    }
    if (process != nullptr) {
      CloseHandle(process);
    }
    if (held != INVALID_HANDLE_VALUE) {
      CloseHandle(held);
    }
    if (lock != nullptr) {
      CloseHandle(lock);
    }
  }

  // The script, open for reading with no sharing but reading: the interpreter reads it line by
  // line while it runs, and nobody may change it in between.
  HANDLE held = INVALID_HANDLE_VALUE;
  // Keeps other copies from starting the script while it runs; the program's own, never
  // handed to the script.
  HANDLE lock = nullptr;
  HANDLE process = nullptr;
  HANDLE wait = nullptr;
  DWORD waitError = 0;
  std::function<void(ScriptEnd)> ended;
};

LaunchScriptRunner::LaunchScriptRunner() = default;

LaunchScriptRunner::~LaunchScriptRunner() {
  run_.reset();
  if (notifyWindow_ != nullptr) {
    DestroyWindow(notifyWindow_);
  }
}

OpenResult LaunchScriptRunner::Start(std::function<void(ScriptEnd)> ended) {
  const std::wstring script(kLaunchScriptPath);
  if (run_) {
    // A script whose end could not be watched is let go only once its process has ended.
    if (run_->wait != nullptr || WaitForSingleObject(run_->process, 0) == WAIT_TIMEOUT) {
      return {0, std::wstring(kScriptStillRunsUnwatchedText)};
    }
    run_.reset();
  }
  const HWND notify = NotifyWindow();
  if (notify == nullptr) {
    return {GetLastError(), {}};
  }
  auto run = std::make_unique<Run>();
  LockTaken taken = TakeLaunchLock();
  if (!taken.stop.opened()) {
    return taken.stop;
  }
  run->lock = taken.lock;
  // Opened on the name itself, not through a link, and a folder too, so that both are told
  // for what they are.
  run->held = CreateFileW(script.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (run->held == INVALID_HANDLE_VALUE) {
    return {GetLastError(), {}};
  }
  FILE_ATTRIBUTE_TAG_INFO info{};
  if (!GetFileInformationByHandleEx(run->held, FileAttributeTagInfo, &info, sizeof(info))) {
    return {GetLastError(), {}};
  }
  switch (JudgeWhatIsAtName(info.FileAttributes, info.ReparseTag)) {
    case AtName::Link:
      return {0, Join({L"Файл ", script, kLinkAtName})};
    case AtName::Folder:
      return {kDirectoryNotSupported, {}};
    case AtName::File:
    case AtName::ReadOnlyFile:
      break;
  }
  if (std::wstring refusal = WhyNotTrusted(script, Remedy::Replace); !refusal.empty()) {
    return {0, std::move(refusal)};
  }

  const std::wstring windows = WindowsFolder();
  if (windows.empty()) {
    return {GetLastError() != 0 ? GetLastError() : static_cast<DWORD>(ERROR_PATH_NOT_FOUND), {}};
  }
  const InterpreterStart start = LaunchScriptStart(windows, RunsRedirected());
  std::wstring commandLine = start.commandLine;
  std::wstring environment = ScriptEnvironment(CurrentEnvironment(), windows);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(start.application.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                      CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT, environment.data(),
                      start.currentFolder.c_str(), &startup, &process)) {
    return {GetLastError(), {}};
  }
  CloseHandle(process.hThread);
  run->process = process.hProcess;
  // The interpreter gets its own handles to the held script and the lock, not inheritable, so
  // that both stay as long as it runs, also when the program ends first ("выход" while it runs).
  // Best effort: where a copy fails, they end with the program, as they did before.
  for (const HANDLE handle : {run->held, run->lock}) {
    HANDLE kept = nullptr;
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) {
      DuplicateHandle(GetCurrentProcess(), handle, process.hProcess, &kept, 0, FALSE,
                      DUPLICATE_SAME_ACCESS);
    }
  }
  run->ended = std::move(ended);
  if (!RegisterWaitForSingleObject(&run->wait, run->process, OnProcessEnded, notify, INFINITE,
                                   WT_EXECUTEONLYONCE)) {
    // The script runs, but its end could not be watched: say so at once, as its end.
    run->wait = nullptr;
    run->waitError = GetLastError();
    PostMessageW(notify, kScriptEndedMessage, 0, 0);
  }
  run_ = std::move(run);
  return {};
}

void CALLBACK LaunchScriptRunner::OnProcessEnded(void* window, BOOLEAN /*timedOut*/) {
  PostMessageW(static_cast<HWND>(window), kScriptEndedMessage, 0, 0);
}

void LaunchScriptRunner::Finish() {
  if (!run_) {
    return;
  }
  ScriptEnd end;
  std::function<void(ScriptEnd)> ended;
  if (run_->waitError != 0) {
    // The script may still run: it keeps its hold on the file and the lock until a later start
    // finds its process ended. The user hears that its end is unknown.
    end.error = run_->waitError;
    ended = std::move(run_->ended);
    run_->waitError = 0;
    if (ended) {
      ended(end);
    }
    return;
  }
  {
    // Released before anyone hears of the end, so that the script may be changed again.
    const std::unique_ptr<Run> run = std::move(run_);
    DWORD code = 0;
    if (GetExitCodeProcess(run->process, &code)) {
      end.exitCode = code;
    } else {
      end.error = GetLastError();
    }
    ended = std::move(run->ended);
  }
  ended(end);
}

LRESULT CALLBACK LaunchScriptRunner::NotifyProc(HWND hwnd,
                                                UINT message,
                                                WPARAM wParam,
                                                LPARAM lParam) {
  if (message == kScriptEndedMessage) {
    auto* runner = reinterpret_cast<LaunchScriptRunner*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (runner != nullptr) {
      runner->Finish();
    }
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// A message-only window of the window's thread: a message posted to a window reaches it from
// any message loop of that thread, a message box's included.
HWND LaunchScriptRunner::NotifyWindow() {
  if (notifyWindow_ != nullptr) {
    return notifyWindow_;
  }
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = NotifyProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kNotifyClass;
  if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    return nullptr;
  }
  notifyWindow_ = CreateWindowExW(0, kNotifyClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  instance, nullptr);
  if (notifyWindow_ != nullptr) {
    SetWindowLongPtrW(notifyWindow_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  return notifyWindow_;
}

}  // namespace addmorvane
