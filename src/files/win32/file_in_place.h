#pragma once

#include <string>
#include <string_view>

namespace addmorvane {

// Rewrites the file at `path` in place with `bytes`: opened for writing with every sharing
// mode, so that a program that holds it open and allows writing does not block it; every byte
// written, the end of file set after them, the content flushed. Writers in place take turns
// through an exclusive lock on the file's bytes, so two copies of the program never interleave.
// Throws SystemError(code, action) when the system does not allow it.
void RewriteFileInPlace(const std::wstring& path,
                        std::string_view bytes,
                        const std::wstring& action);

}  // namespace addmorvane
