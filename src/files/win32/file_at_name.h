// Refusing to write anything but a plain file at a name: a link planted there would let the
// program's administrator rights write wherever it points.
#pragma once

#include <string>

namespace addmorvane {

// Reads the attributes and reparse tag through `file`, a handle opened on `path` with
// FILE_FLAG_OPEN_REPARSE_POINT, and returns the attributes of a plain file that may be
// written. Throws SystemError otherwise: for a link or a folder with a message of its own that
// names `path`, for a read-only file with access denied and `action`.
unsigned long RefuseUnlessWritableFile(void* file,
                                       const std::wstring& path,
                                       const std::wstring& action);

}  // namespace addmorvane
