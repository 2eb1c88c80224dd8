#include "platform/file_replace.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/file_in_place.h"
#include "platform/system_error.h"
#include "platform/temporary_names.h"

namespace addmorvane {
namespace {

// Names that someone else took, one after the other, before the writer gives up.
constexpr int kNameAttempts = 64;
// Virus scanners and indexers hold a file they look at for tens of milliseconds; a copy of
// the program that has just replaced the file holds it for far less.
constexpr ULONGLONG kRenameRetryMs = 250;

// What an in-place write would keep of the old file and a new file does not get by itself.
struct OldFile {
  DWORD attributes = INVALID_FILE_ATTRIBUTES;
  std::vector<unsigned char> security;  // owner and access rules, self-relative
};

OldFile ReadOldFile(const std::wstring& path) {
  OldFile old;
  old.attributes = GetFileAttributesW(path.c_str());
  if (old.attributes == INVALID_FILE_ATTRIBUTES ||
      (old.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return old;
  }
  constexpr SECURITY_INFORMATION kWanted = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
  DWORD needed = 0;
  GetFileSecurityW(path.c_str(), kWanted, nullptr, 0, &needed);
  old.security.resize(needed);
  if (needed == 0 ||
      !GetFileSecurityW(path.c_str(), kWanted, old.security.data(), needed, &needed)) {
    old.security.clear();  // the new file keeps what it inherits from the folder
  }
  return old;
}

// The temporary file: held without sharing from its creation on, and deleted through that
// handle unless it has replaced the target.
class TemporaryFile {
 public:
  TemporaryFile() = default;
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (handle_ == INVALID_HANDLE_VALUE) {
      return;
    }
    if (!renamed_) {
      FILE_DISPOSITION_INFO remove{TRUE};
      SetFileInformationByHandle(handle_, FileDispositionInfo, &remove, sizeof(remove));
    }
    CloseHandle(handle_);
  }

  // Creates the file under a name nobody else has taken; returns the error when the folder
  // refuses it.
  DWORD Create(const std::wstring& target, DWORD attributes, TemporaryNameToken nextToken) {
    DWORD error = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
      const std::wstring name = TemporaryNameFor(target, nextToken());
      handle_ = CreateFileW(name.c_str(), GENERIC_WRITE | DELETE | WRITE_DAC | WRITE_OWNER, 0,
                            nullptr, CREATE_NEW, attributes, nullptr);
      if (handle_ != INVALID_HANDLE_VALUE) {
        return ERROR_SUCCESS;
      }
      error = GetLastError();
      // A folder, a file being deleted or one that is not ours may stand at the name.
      const bool taken = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
                         (error == ERROR_ACCESS_DENIED &&
                          GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES);
      if (!taken) {
        return error;
      }
    }
    return error;
  }

  // The old file's owner and access rules, as an in-place write would keep them. Setting an
  // owner other than oneself needs a privilege; the rules alone are what protect the file.
  DWORD TakeSecurity(std::vector<unsigned char>& security) const {
    if (security.empty()) {
      return ERROR_SUCCESS;
    }
    if (SetKernelObjectSecurity(handle_, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                security.data()) ||
        (GetLastError() == ERROR_INVALID_OWNER &&
         SetKernelObjectSecurity(handle_, DACL_SECURITY_INFORMATION, security.data()))) {
      return ERROR_SUCCESS;
    }
    return GetLastError();
  }

  DWORD Write(std::string_view bytes) const {
    DWORD written = 0;
    if (!WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
      return GetLastError();
    }
    if (written != bytes.size()) {
      return ERROR_DISK_FULL;
    }
    return FlushFileBuffers(handle_) ? ERROR_SUCCESS : GetLastError();
  }

  // Renames the file over `target` through the handle: nobody can open or change it between
  // the write and the rename.
  DWORD RenameOver(const std::wstring& target) {
    std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + target.size() * sizeof(wchar_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = TRUE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(target.size() * sizeof(wchar_t));
    std::copy(target.begin(), target.end(), rename->FileName);
    if (!SetFileInformationByHandle(handle_, FileRenameInfo, rename,
                                    static_cast<DWORD>(buffer.size()))) {
      return GetLastError();
    }
    renamed_ = true;
    // The replaced file is let go at once: another copy of the program may be waiting to
    // replace it in turn.
    CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return ERROR_SUCCESS;
  }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  bool renamed_ = false;
};

bool IsReadOnly(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

bool IsFolder(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Whether the target is held open by another program (or another copy of this one), which
// keeps a rename from replacing it though writing into it may still be allowed.
bool HeldByAnother(DWORD error, const std::wstring& target) {
  return (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) &&
         !IsReadOnly(GetFileAttributesW(target.c_str())) &&
         !IsFolder(GetFileAttributesW(target.c_str()));
}

}  // namespace

void ReplaceFileContents(const std::wstring& path, std::string_view bytes) {
  ReplaceFileContents(path, bytes, &RandomNameToken);
}

void ReplaceFileContents(const std::wstring& path,
                         std::string_view bytes,
                         TemporaryNameToken nextToken) {
  const std::wstring action = L"Не удалось записать файл " + path + L".";

  OldFile old = ReadOldFile(path);
  // A rename would replace a read-only file on some systems; Windows users expect the
  // attribute to protect the file, so honour it here.
  if (IsReadOnly(old.attributes)) {
    throw SystemError(ERROR_ACCESS_DENIED, action);
  }
  // Nothing replaces a folder; opening it for writing gives the system's own refusal.
  if (IsFolder(old.attributes)) {
    RewriteFileInPlace(path, bytes, action);
    return;
  }

  RemoveLeftoverTemporaries(path);
  constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
  const DWORD attributes =
      old.attributes == INVALID_FILE_ATTRIBUTES || (old.attributes & kKept) == 0
          ? FILE_ATTRIBUTE_NORMAL
          : old.attributes & kKept;
  TemporaryFile temporary;
  DWORD error = temporary.Create(path, attributes, nextToken);
  if (error == ERROR_SUCCESS) {
    error = temporary.TakeSecurity(old.security);
  }
  if (error == ERROR_SUCCESS) {
    error = temporary.Write(bytes);
  }
  if (error != ERROR_SUCCESS) {
    throw SystemError(error, action);
  }

  const ULONGLONG deadline = GetTickCount64() + kRenameRetryMs;
  for (DWORD pauseMs = 1;; pauseMs = std::min<DWORD>(pauseMs * 2, 32)) {
    error = temporary.RenameOver(path);
    if (error == ERROR_SUCCESS) {
      return;
    }
    if (!HeldByAnother(error, path)) {
      throw SystemError(error, action);
    }
    if (GetTickCount64() >= deadline) {
      break;
    }
    Sleep(pauseMs);
  }
  // Still held: write into it, as far as the holder allows.
  RewriteFileInPlace(path, bytes, action);
}

}  // namespace addmorvane
