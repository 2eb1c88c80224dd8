#include "files/win32/file_in_place.h"

#include <windows.h>

#include "files/win32/file_at_name.h"
#include "base/system_error.h"

namespace addmorvane {
namespace {

// Another writer in place holds the file or its lock for the few milliseconds of one write;
// a holder that keeps either longer than this makes the write fail with the system's error.
constexpr ULONGLONG kWaitForOtherWriterMs = 2000;
// A replacing writer holds the new file it has just renamed into place for far less.
constexpr ULONGLONG kWaitToOpenMs = 250;
constexpr DWORD kPauseMs = 2;

// Opens the file for writing beside whatever else holds it open. The name itself is opened,
// never what a link there points to; and only a file that exists, which keeps its access
// list: a new one would take the folder's.
HANDLE OpenSharedForWriting(const std::wstring& path, const std::wstring& action) {
  const ULONGLONG deadline = GetTickCount64() + kWaitToOpenMs;
  for (;;) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      try {
        RefuseUnlessWritableFile(file, path, action);
      } catch (...) {
        CloseHandle(file);
        throw;
      }
      return file;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_SHARING_VIOLATION || GetTickCount64() >= deadline) {
      throw SystemError(error, action);
    }
    Sleep(kPauseMs);
  }
}

// The lock is taken without waiting and asked for again: a blocking wait would hang the
// window for as long as any program that can read the file kept a lock on it.
DWORD LockWholeFile(HANDLE file, OVERLAPPED& range) {
  const ULONGLONG deadline = GetTickCount64() + kWaitForOtherWriterMs;
  for (;;) {
    range = OVERLAPPED{};
    if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD,
                   &range)) {
      return ERROR_SUCCESS;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_LOCK_VIOLATION || GetTickCount64() >= deadline) {
      return error;
    }
    Sleep(kPauseMs);
  }
}

bool SeekTo(HANDLE file, std::size_t offset) {
  LARGE_INTEGER position{};
  position.QuadPart = static_cast<LONGLONG>(offset);
  return SetFilePointerEx(file, position, nullptr, FILE_BEGIN) != FALSE;
}

DWORD WriteLocked(HANDLE file, std::string_view bytes) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size)) {
    return GetLastError();
  }
  // Room for the longer content first: a full disk then refuses the write before any old byte
  // is overwritten.
  if (static_cast<ULONGLONG>(size.QuadPart) < bytes.size() &&
      (!SeekTo(file, bytes.size()) || !SetEndOfFile(file))) {
    return GetLastError();
  }
  DWORD written = 0;
  if (!SeekTo(file, 0) ||
      !WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
    return GetLastError();
  }
  if (written != bytes.size()) {
    return ERROR_DISK_FULL;
  }
  if (!SetEndOfFile(file) || !FlushFileBuffers(file)) {
    return GetLastError();
  }
  return ERROR_SUCCESS;
}

}  // namespace

void RewriteFileInPlace(const std::wstring& path,
                        std::string_view bytes,
                        const std::wstring& action) {
  HANDLE file = OpenSharedForWriting(path, action);
  OVERLAPPED range{};
  DWORD error = LockWholeFile(file, range);
  if (error == ERROR_SUCCESS) {
    error = WriteLocked(file, bytes);
    range = OVERLAPPED{};
    UnlockFileEx(file, 0, MAXDWORD, MAXDWORD, &range);
  }
  if (!CloseHandle(file) && error == ERROR_SUCCESS) {
    error = GetLastError();
  }
  if (error != ERROR_SUCCESS) {
    throw SystemError(error, action);
  }
}

}  // namespace addmorvane
