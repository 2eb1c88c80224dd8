#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace addmorvane {

// Replaces the whole file at `path` with `bytes` and returns once they are on disk. Throws
// SystemError, with the old file kept whole, when the system does not allow the write.
//
// The new content goes to a temporary file of its own beside `path` (see temporary_names.h),
// created exclusively and held without sharing until it is renamed over the old file through
// its open handle; on any failure it is removed. It takes the old file's hidden, system and
// archive attributes and its access rules before the rename. A read-only file is refused, as
// Windows would refuse to open it for writing.
//
// A file that another program holds open cannot be replaced by a rename. When the rename is
// refused for that reason, it is tried again for a moment, and then the file is rewritten in
// place, as far as the holder's sharing allows (see file_in_place.h). Only that rewrite, if it
// is cut short by a kill, can leave the file partial.
void ReplaceFileContents(const std::wstring& path, std::string_view bytes);

// The same, with the tokens of the temporary names drawn from `nextToken` instead of from the
// system's random numbers: tests use it to meet names that are taken.
using TemporaryNameToken = std::uint64_t (*)();
void ReplaceFileContents(const std::wstring& path,
                         std::string_view bytes,
                         TemporaryNameToken nextToken);

}  // namespace addmorvane
