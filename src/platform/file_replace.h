#pragma once

#include <string>
#include <string_view>

namespace addmorvane {

// Replaces the whole file at `path` with `bytes` in one step: the new content goes to
// "<path>.tmp" in the same folder, reaches the disk, and is then moved over the old file.
// On any failure the old file keeps every byte, no temporary file is left behind, and a
// SystemError is thrown. A read-only file is refused, as Windows would refuse to open it.
void ReplaceFileContents(const std::wstring& path, std::string_view bytes);

}  // namespace addmorvane
