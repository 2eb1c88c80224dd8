#include "app_process.h"

#include <tlhelp32.h>

#include <algorithm>

#include "app/layout.h"

namespace addmorvane::e2e {
namespace {

struct WindowSearch {
  DWORD processId;            // 0: any process
  std::wstring_view caption;  // empty: any visible window of the process
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND hwnd, LPARAM param) {
  auto& search = *reinterpret_cast<WindowSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if ((search.processId == 0 || owner == search.processId) && IsWindowVisible(hwnd) &&
      (search.caption.empty() || TextOf(hwnd) == search.caption)) {
    search.found.push_back(hwnd);
  }
  return TRUE;
}

BOOL CALLBACK FindChild(HWND hwnd, LPARAM param) {
  auto& search = *reinterpret_cast<WindowSearch*>(param);
  if (TextOf(hwnd) == search.caption) {
    search.found.push_back(hwnd);
    return FALSE;
  }
  return TRUE;
}

void Send(DWORD flags, POINT screen) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = MulDiv(screen.x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
  input.mi.dy = MulDiv(screen.y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
  input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
  SendInput(1, &input, sizeof(input));
}

}  // namespace

std::wstring TestProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  const std::wstring self(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
  return self.substr(0, self.find_last_of(L'\\'));
}

std::wstring ProgramPath() {
  return TestProgramFolder() + L"\\addmorvane.exe";
}

std::wstring TextOf(HWND hwnd) {
  wchar_t text[256] = {};
  return std::wstring(text, static_cast<std::size_t>(GetWindowTextW(hwnd, text, 256)));
}

AppProcess::~AppProcess() {
  Terminate();
}

bool AppProcess::Start(const std::wstring& exe, DWORD timeoutMs) {
  return Launch(exe) && WaitForWindow(timeoutMs);
}

bool AppProcess::Launch(const std::wstring& exe) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return false;
  }
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  id_ = info.dwProcessId;
  return true;
}

bool AppProcess::WaitForWindow(DWORD timeoutMs) {
  // Poll for the window; the process handle turns signalled if the program ends instead.
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    WindowSearch search{id_, L"addmorvane", {}};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    if (!search.found.empty()) {
      window_ = search.found.front();
      return true;
    }
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline ||
        WaitForSingleObject(process_, static_cast<DWORD>(std::min<ULONGLONG>(
                                          50, deadline - now))) == WAIT_OBJECT_0) {
      return false;
    }
  }
}

HWND AppProcess::Control(std::wstring_view caption) const {
  WindowSearch search{id_, caption, {}};
  EnumChildWindows(window_, FindChild, reinterpret_cast<LPARAM>(&search));
  return search.found.empty() ? nullptr : search.found.front();
}

bool AppProcess::Click(std::wstring_view caption) const {
  const HWND control = Control(caption);
  if (control == nullptr) {
    return false;
  }
  RECT rect{};
  GetWindowRect(control, &rect);
  return ClickAt(control, {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
}

bool AppProcess::ClickCloseBox() const {
  // Wine draws the caption bar itself; ask the window where its close box is.
  RECT rect{};
  GetWindowRect(window_, &rect);
  for (int y = rect.top + 1; y < rect.top + 40; y += 2) {
    for (int x = rect.right - 2; x > rect.right - 80; x -= 2) {
      const LRESULT hit = SendMessageW(window_, WM_NCHITTEST, 0, MAKELPARAM(x, y));
      if (hit == HTCLOSE) {
        return ClickAt(window_, {x, y});
      }
    }
  }
  return false;
}

bool AppProcess::WaitForExit(DWORD timeoutMs) const {
  return WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0;
}

DWORD AppProcess::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process_, &code);
  return code;
}

std::vector<HWND> AppProcess::VisibleWindows() const {
  return e2e::VisibleWindows(id_);
}

HWND AppProcess::WaitForMessageBox(DWORD timeoutMs) const {
  HWND box = nullptr;
  WaitFor(
      [&] {
        for (const HWND hwnd : VisibleWindows()) {
          wchar_t className[16] = {};
          GetClassNameW(hwnd, className, 16);
          if (std::wstring_view(className) == L"#32770") {
            box = hwnd;
            return true;
          }
        }
        return false;
      },
      timeoutMs);
  return box;
}

std::wstring MessageBoxText(HWND box) {
  // The message itself is the box's static control with the id 0xFFFF.
  wchar_t text[2048] = {};
  return std::wstring(text, static_cast<std::size_t>(GetDlgItemTextW(box, 0xFFFF, text, 2048)));
}

void CloseMessageBox(HWND box) {
  PostMessageW(box, WM_COMMAND, IDOK, 0);
}

bool UnixChmod(const std::wstring& mode, const std::wstring& folder, const std::wstring& name) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  std::wstring commandLine = L"/bin/chmod " + mode + L" " + name;
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &startup, &info)) {
    return false;
  }
  // Wine hands out no handle that can be waited on for a Unix program.
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return true;
}

std::vector<HWND> VisibleWindows(DWORD processId) {
  WindowSearch search{processId, {}, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void AppProcess::Terminate() {
  if (process_ == nullptr) {
    return;
  }
  if (!WaitForExit(0)) {
    TerminateProcess(process_, 1);
    WaitForExit(5000);
  }
  CloseHandle(process_);
  process_ = nullptr;
}

namespace {

bool SendToProgram(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result) != 0;
}

bool ChooseEntry(HWND combo, int index) {
  return SendToProgram(combo, CB_SETCURSEL, WPARAM(index)) &&
         SendToProgram(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(combo));
}

}  // namespace

bool RoundDriver::Attach(const AppProcess& app) {
  trial = app.Control(L"проба");
  work = app.Control(L"работа");
  apply = app.Control(L"применить");
  const HWND frame = app.Control(L"настройка");
  cycle = GetDlgItem(frame, int(ControlId::Combo1));
  pass = GetDlgItem(frame, int(ControlId::Combo2));
  return trial && work && apply && cycle && pass;
}

DWORD WINAPI RoundDriver::Loop(void* self) {
  auto& d = *static_cast<RoundDriver*>(self);
  while (d.rounds < d.limit && SendToProgram(d.work, BM_CLICK) && ChooseEntry(d.cycle, 1) &&
         ChooseEntry(d.pass, 1) && SendToProgram(d.apply, BM_CLICK) &&
         SendToProgram(d.trial, BM_CLICK)) {
    InterlockedIncrement(&d.rounds);
  }
  return 0;
}

bool ClickAt(HWND target, POINT screen) {
  const HWND topLevel = GetAncestor(target, GA_ROOT);
  SetWindowPos(topLevel, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetForegroundWindow(topLevel);
  // The window manager and the Wine server need a moment to restack.
  if (!WaitFor([&] { return WindowFromPoint(screen) == target; }, 3000)) {
    return false;
  }
  Send(0, screen);
  Send(MOUSEEVENTF_LEFTDOWN, screen);
  Send(MOUSEEVENTF_LEFTUP, screen);
  return true;
}

std::vector<DWORD> ProcessesNamed(std::wstring_view exeName) {
  std::vector<DWORD> ids;
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    if (CompareStringOrdinal(entry.szExeFile, -1, exeName.data(), int(exeName.size()), TRUE) ==
        CSTR_EQUAL) {
      ids.push_back(entry.th32ProcessID);
    }
  }
  CloseHandle(snapshot);
  return ids;
}

void EndNewProcesses(std::wstring_view exeName, const std::vector<DWORD>& knownIds) {
  for (const DWORD id : ProcessesNamed(exeName)) {
    if (std::find(knownIds.begin(), knownIds.end(), id) != knownIds.end()) {
      continue;
    }
    if (const HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id)) {
      TerminateProcess(process, 1);
      WaitForSingleObject(process, 5000);
      CloseHandle(process);
    }
  }
}

bool FileExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WriteTextFile(const std::wstring& path, const std::string& text) {
  const HANDLE file =
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return false;
  }
  DWORD written = 0;
  const bool ok =
      WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr) && written == text.size();
  CloseHandle(file);
  return ok;
}

}  // namespace addmorvane::e2e
