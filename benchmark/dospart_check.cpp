#include "dospart_check.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "programs.h"

namespace bench {
namespace {

const wchar_t* const kKit[] = {L"IO.SYS",       L"MSDOS.SYS",    L"COMMAND.COM", L"CONFIG.SYS",
                               L"AUTOEXEC.BAT", L"MORVANE2.BAT", L"MORVANE.COM", L"UTIL\\MEM.EXE"};

double SizeOf(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
    Fail("no master copy for the check");
  }
  return static_cast<double>(data.nFileSizeLow) + 4294967296.0 * data.nFileSizeHigh;
}

}  // namespace

CheckRuns RunCheck(const std::wstring& exe,
                   const std::wstring& folder,
                   const std::wstring& image,
                   int runs) {
  CheckRuns result;
  std::wstring files;
  for (const wchar_t* name : kKit) {
    files += (files.empty() ? L"" : L" ") + std::wstring(name);
    result.filesBytes += SizeOf(folder + L"\\master\\" + name);
  }
  result.filesBytes += SizeOf(folder + L"\\run.bat");
  // Without an image: the program's start and end alone (it prints its usage, exit code 1).
  const std::wstring line = image.empty()
                                ? L"\"" + exe + L"\""
                                : L"\"" + exe + L"\" check --image \"" + image + L"\" --master \"" +
                                      folder + L"\\master\" --files \"" + files +
                                      L"\" --run-script \"" + folder + L"\\run.bat\"";
  const DWORD expected = image.empty() ? 1 : 0;
  for (int run = -1; run < runs; ++run) {  // one unmeasured run first
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
      Fail("no pipe for the check's output");
    }
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = writeEnd;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = line;
    const double start = NowMs();
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                        nullptr, nullptr, &startup, &process)) {
      Fail("cannot start dospart-check.exe");
    }
    CloseHandle(writeEnd);
    std::string out;
    char buffer[512];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof(buffer), &got, nullptr) && got > 0) {
      out.append(buffer, got);
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    const double ms = NowMs() - start;
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    CloseHandle(readEnd);
    if (code != expected) {
      std::fprintf(stderr, "bench_driver: the check failed: %s", out.c_str());
      result.sound = false;
    }
    const std::size_t at = out.find('(');
    result.bytesRead = at == std::string::npos ? -1 : std::atof(out.c_str() + at + 1);
    if (run >= 0) {
      result.ms.push_back(ms);
    }
  }
  return result;
}

}  // namespace bench
