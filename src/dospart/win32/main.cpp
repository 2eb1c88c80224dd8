// dospart-check.exe: checks the DOS partition, read raw, as DOS will start from it, and writes
// its boot sector to a file. A console program: one line of text and an exit code
// (docs/dospart-check.md). It opens nothing for writing but bootsect's output file.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "dospart/check.h"
#include "dospart/command_line.h"
#include "dospart/win32/disk.h"

namespace addmorvane::dospart {
namespace {

// Master copies are small: a larger one is refused rather than read into memory.
constexpr LONGLONG kMaxMasterBytes = 64LL << 20;

void Say(DWORD stream, const std::string& line) {
  const std::wstring text = Wide(line) + L"\r\n";
  HANDLE out = GetStdHandle(stream);
  DWORD written = 0;
  if (GetConsoleMode(out, &written)) {
    WriteConsoleW(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return;
  }
  // Redirected: in the console's code page, as cmd's own commands write.
  const UINT page = GetConsoleOutputCP() != 0 ? GetConsoleOutputCP() : GetOEMCP();
  const int n = WideCharToMultiByte(page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  WideCharToMultiByte(page, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n, nullptr,
                      nullptr);
  WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

Verdict ReadMaster(const std::wstring& path, std::vector<std::uint8_t>& bytes) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  LARGE_INTEGER size{};
  DWORD got = 0;
  bool ok = h != INVALID_HANDLE_VALUE && GetFileSizeEx(h, &size);
  DWORD error = ok ? ERROR_SUCCESS : GetLastError();
  if (ok && size.QuadPart > kMaxMasterBytes) {
    CloseHandle(h);
    return {Code::kUnreadable, Utf8(path) + " is larger than 64 MB: it is no DOS file"};
  }
  if (ok) {
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    ok = ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) &&
         got == bytes.size();
    error = ok ? ERROR_SUCCESS : GetLastError();
  }
  if (h != INVALID_HANDLE_VALUE) {
    CloseHandle(h);
  }
  if (!ok) {
    return {Code::kUnreadable, "cannot read " + Utf8(path) + ": " + ErrorText(error)};
  }
  return {};
}

// Elevated, it must not write through a link a standard user planted or over a file that is
// there: only a new file, and a reparse point at the name is itself the file that exists.
Verdict WriteSector(const std::wstring& path, const std::array<std::uint8_t, kSectorBytes>& s) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE &&
      (GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS)) {
    return {Code::kUnreadable, Utf8(path) + " exists already: delete it first"};
  }
  DWORD written = 0;
  const bool ok = h != INVALID_HANDLE_VALUE &&
                  WriteFile(h, s.data(), kSectorBytes, &written, nullptr) &&
                  written == kSectorBytes && FlushFileBuffers(h);
  const DWORD error = GetLastError();
  if (h != INVALID_HANDLE_VALUE) {
    FILE_DISPOSITION_INFO gone{TRUE};  // no half-written sector left behind
    if (!ok) {
      SetFileInformationByHandle(h, FileDispositionInfo, &gone, sizeof(gone));
    }
    CloseHandle(h);
  }
  if (!ok) {
    return {Code::kUnreadable, "cannot write " + Utf8(path) + ": " + ErrorText(error)};
  }
  return {};
}

Verdict Run(const Options& options, std::string& done) {
  OpenedDisk disk;
  Verdict verdict =
      options.image.empty() ? OpenVolumeDisk(options.volume, disk) : OpenImage(options.image, disk);
  if (verdict.code != Code::kSound) {
    return verdict;
  }
  Site site;
  site.partitionOffset = options.image.empty() ? disk.partitionOffset : options.offset;
  site.diskSignature = disk.signature;
  site.msdos6 = options.msdos6;
  CountingReader counted(*disk.reader);
  if (options.command == Options::Command::kBootSect) {
    std::array<std::uint8_t, kSectorBytes> sector{};
    verdict = ReadBootSector(counted, site, sector);
    if (verdict.code == Code::kSound) {
      verdict = WriteSector(options.output, sector);
    }
    done = "wrote the DOS partition's boot sector to " + Utf8(options.output);
    return verdict;
  }
  for (const std::string& name : options.files) {
    ExpectedFile file{name, {}, Utf8(options.master) + "\\" + name};
    verdict = ReadMaster(options.master + L"\\" + Wide(name), file.bytes);
    if (verdict.code != Code::kSound) {
      return verdict;
    }
    site.files.push_back(std::move(file));
  }
  ExpectedFile run{"MORVANE.BAT", {}, Utf8(options.runScript)};
  verdict = ReadMaster(options.runScript, run.bytes);
  if (verdict.code != Code::kSound) {
    return verdict;
  }
  site.files.push_back(std::move(run));
  site.outputs = options.outputs;
  verdict = Check(counted, site);
  done = "the DOS partition is sound (" + std::to_string(counted.Bytes()) + " bytes read)";
  return verdict;
}

}  // namespace
}  // namespace addmorvane::dospart

int wmain(int argc, wchar_t** argv) {
  using namespace addmorvane::dospart;
  std::vector<std::wstring> args(argv + 1, argv + argc);
  Options options;
  std::string error;
  if (!ParseCommandLine(args, options, error)) {
    Say(STD_ERROR_HANDLE, "dospart-check: " + error);
    Say(STD_ERROR_HANDLE, kUsage);
    return static_cast<int>(Code::kUsage);
  }
  std::string done;
  const Verdict verdict = Run(options, done);
  if (verdict.code != Code::kSound) {
    Say(STD_ERROR_HANDLE, "dospart-check: " + verdict.message);
  } else {
    Say(STD_OUTPUT_HANDLE, "dospart-check: " + done);
  }
  return static_cast<int>(verdict.code);
}
