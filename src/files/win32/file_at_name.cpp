#include "files/win32/file_at_name.h"

#include <windows.h>

#include "files/at_name.h"
#include "base/system_error.h"

namespace addmorvane {

unsigned long RefuseUnlessWritableFile(void* file,
                                       const std::wstring& path,
                                       const std::wstring& action) {
  FILE_ATTRIBUTE_TAG_INFO info{};
  if (!GetFileInformationByHandleEx(file, FileAttributeTagInfo, &info, sizeof(info))) {
    throw SystemError(GetLastError(), action);
  }
  const AtName verdict = JudgeWhatIsAtName(info.FileAttributes, info.ReparseTag);
  if (verdict == AtName::Link) {
    throw SystemError(ERROR_CANT_ACCESS_FILE,
                      L"Файл " + path +
                          L" не записан: на его месте ссылка на другой файл или папку "
                          L"(символическая ссылка или точка соединения).");
  }
  if (verdict == AtName::Folder) {
    // The code that the system gives for a folder opened for writing, which the program no
    // longer does to find out.
    throw SystemError(ERROR_ACCESS_DENIED, L"Файл " + path + L" не записан: на его месте папка.");
  }
  if (verdict == AtName::ReadOnlyFile) {
    // A rename would replace a read-only file on some systems; Windows users expect the
    // attribute to protect the file.
    throw SystemError(ERROR_ACCESS_DENIED, action);
  }
  return info.FileAttributes;
}

}  // namespace addmorvane
