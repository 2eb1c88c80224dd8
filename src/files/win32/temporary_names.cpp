#include "files/win32/temporary_names.h"

#include <windows.h>

#include <atomic>

namespace addmorvane {
namespace {

constexpr std::size_t kTokenDigits = 16;
constexpr std::wstring_view kSuffix = L".tmp";

std::wstring FileNameOf(const std::wstring& path) {
  return path.substr(path.find_last_of(L"\\/") + 1);
}

std::wstring FolderOf(const std::wstring& path) {
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

bool IsHexDigit(wchar_t c) {
  return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f');
}

}  // namespace

std::wstring TemporaryNameFor(const std::wstring& path, std::uint64_t token) {
  static constexpr wchar_t kDigits[] = L"0123456789abcdef";
  std::wstring hex(kTokenDigits, L'0');
  for (std::size_t i = kTokenDigits; i-- > 0; token >>= 4) {
    hex[i] = kDigits[token & 0xF];
  }
  return path + L"." + hex + std::wstring(kSuffix);
}

bool IsTemporaryNameOf(const std::wstring& path, std::wstring_view fileName) {
  const std::wstring stem = FileNameOf(path) + L".";
  if (fileName.size() != stem.size() + kTokenDigits + kSuffix.size() ||
      CompareStringOrdinal(fileName.data(), int(stem.size()), stem.data(), int(stem.size()),
                           TRUE) != CSTR_EQUAL ||
      fileName.substr(stem.size() + kTokenDigits) != kSuffix) {
    return false;
  }
  for (const wchar_t c : fileName.substr(stem.size(), kTokenDigits)) {
    if (!IsHexDigit(c)) {
      return false;
    }
  }
  return true;
}

// Not the system's random numbers: advapi32 forwards them to a DLL that is not a known one,
// which the loader would look for in the program's folder first. A name only has to differ
// from the last one: a name that is taken is met by creating the file exclusively and trying
// the next one.
std::uint64_t RandomNameToken() {
  static std::atomic<std::uint64_t> counter{0};
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  return (std::uint64_t(GetCurrentProcessId()) << 40) ^ std::uint64_t(now.QuadPart) ^
         (++counter * 0x9E3779B97F4A7C15ull);
}

void RemoveLeftoverTemporaries(const std::wstring& path) {
  const std::wstring folder = FolderOf(path);
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((path + L".*" + std::wstring(kSuffix)).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    return;
  }
  do {
    // Folders, links and read-only files were not left by a write; a file that a writer still
    // holds cannot be opened without sharing.
    constexpr DWORD kNotOurs =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_READONLY;
    if ((found.dwFileAttributes & kNotOurs) != 0 || !IsTemporaryNameOf(path, found.cFileName)) {
      continue;
    }
    HANDLE leftover =
        CreateFileW((folder + found.cFileName).c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                    FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (leftover != INVALID_HANDLE_VALUE) {
      CloseHandle(leftover);
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

}  // namespace addmorvane
