#include "platform/file_replace.h"

#include <windows.h>

#include "platform/system_error.h"

namespace addmorvane {
namespace {

// Deletes the temporary file unless the move has taken it.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::wstring path) : path_(std::move(path)) {}
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (!path_.empty()) {
      DeleteFileW(path_.c_str());
    }
  }
  const std::wstring& path() const { return path_; }
  void Release() { path_.clear(); }

 private:
  std::wstring path_;
};

void WriteAll(const std::wstring& path, std::string_view bytes, const std::wstring& action) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    throw SystemError(GetLastError(), action);
  }
  DWORD error = ERROR_SUCCESS;
  DWORD written = 0;
  if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
    error = GetLastError();
  } else if (written != bytes.size()) {
    error = ERROR_DISK_FULL;
  } else if (!FlushFileBuffers(file)) {
    error = GetLastError();
  }
  if (!CloseHandle(file) && error == ERROR_SUCCESS) {
    error = GetLastError();
  }
  if (error != ERROR_SUCCESS) {
    throw SystemError(error, action);
  }
}

}  // namespace

void ReplaceFileContents(const std::wstring& path, std::string_view bytes) {
  const std::wstring action = L"Не удалось записать файл " + path + L".";

  // The move below would replace a read-only file on some systems; Windows users expect the
  // attribute to protect the file, so honour it here.
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    throw SystemError(ERROR_ACCESS_DENIED, action);
  }

  // One fixed name beside the file: a write cut short by a power failure or a killed process
  // leaves at most this one file behind, and the next write replaces it.
  TemporaryFile temporary(path + L".tmp");
  WriteAll(temporary.path(), bytes, action);
  if (!MoveFileExW(temporary.path().c_str(), path.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    throw SystemError(GetLastError(), action);
  }
  temporary.Release();
}

}  // namespace addmorvane
