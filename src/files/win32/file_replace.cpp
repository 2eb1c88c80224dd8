#include "files/win32/file_replace.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "files/win32/file_at_name.h"
#include "files/win32/file_in_place.h"
#include "files/win32/new_file_security.h"
#include "base/system_error.h"
#include "files/win32/temporary_names.h"

namespace addmorvane {
namespace {

// Names that someone else took, one after the other, before the writer gives up.
constexpr int kNameAttempts = 64;
// Virus scanners and indexers hold a file they look at for tens of milliseconds; a copy of
// the program that has just replaced the file holds it for far less.
constexpr ULONGLONG kRenameRetryMs = 250;

// What the new file takes over from the old one.
struct OldFile {
  DWORD attributes = INVALID_FILE_ATTRIBUTES;  // none: there is no old file
  std::vector<unsigned char> security;         // owner, access rules, label; self-relative
};

struct HandleCloser {
  void operator()(void* handle) const { CloseHandle(handle); }
};

// Opens the name itself, only to read its attributes and security: a link there is not
// followed, and a folder there is opened too (to be refused), but never for writing.
OldFile ReadOldFile(const std::wstring& path, const std::wstring& action) {
  OldFile old;
  HANDLE opened =
      CreateFileW(path.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                  FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (opened == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) {
      return old;
    }
    throw SystemError(error, action);
  }
  const std::unique_ptr<void, HandleCloser> file(opened);
  old.attributes = RefuseUnlessWritableFile(opened, path, action);
  // Reading the label needs no privilege, unlike the rest of the system list.
  constexpr SECURITY_INFORMATION kWanted =
      OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION | LABEL_SECURITY_INFORMATION;
  DWORD needed = 0;
  GetKernelObjectSecurity(opened, kWanted, nullptr, 0, &needed);
  old.security.resize(needed);
  if (needed == 0 ||
      !GetKernelObjectSecurity(opened, kWanted, old.security.data(), needed, &needed)) {
    throw SystemError(GetLastError(), action);
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

  // Creates the file under a name nobody else has taken, with its final security from the
  // first byte; returns the error when the folder refuses it.
  DWORD Create(const std::wstring& target,
               DWORD attributes,
               NewFileSecurity& security,
               TemporaryNameToken nextToken) {
    DWORD error = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
      const std::wstring name = TemporaryNameFor(target, nextToken());
      // Nothing at the name is followed: whatever stands there, a link included, makes the
      // exclusive creation fail.
      do {
        handle_ = CreateFileW(name.c_str(), GENERIC_WRITE | DELETE, 0, security.attributes(),
                              CREATE_NEW, attributes | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        error = handle_ == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
      } while (error != ERROR_SUCCESS && security.Drop(SecurityPartRefusedBy(error)));
      if (error == ERROR_SUCCESS) {
        return ERROR_SUCCESS;
      }
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
  // the write and the rename. The rename replaces the folder's entry at `target` and follows
  // no link there: a symbolic link put in the script's place after the check is replaced
  // itself, and a junction, being a folder, makes the rename fail.
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

// Whether the target may be held open by another program (or another copy of this one),
// which keeps a rename from replacing it though writing into it may still be allowed. What
// stood at the name was checked before; whatever took its place since, the in-place write
// checks again through its own handle.
bool HeldByAnother(DWORD error) {
  return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
}

}  // namespace

void ReplaceFileContents(const std::wstring& path,
                         std::string_view bytes,
                         std::wstring_view fixedSddl,
                         TemporaryNameToken nextToken) {
  const std::wstring action = L"Не удалось записать файл " + path + L".";

  OldFile old = ReadOldFile(path, action);
  NewFileSecurity security(old.security, fixedSddl, action);
  RemoveLeftoverTemporaries(path);
  constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
  const DWORD attributes =
      old.attributes == INVALID_FILE_ATTRIBUTES || (old.attributes & kKept) == 0
          ? FILE_ATTRIBUTE_NORMAL
          : old.attributes & kKept;
  TemporaryFile temporary;
  DWORD error = temporary.Create(path, attributes, security, nextToken);
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
    if (!HeldByAnother(error)) {
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
