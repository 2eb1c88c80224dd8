#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "files/win32/temporary_names.h"

namespace addmorvane {

// Replaces the whole file at `path` with `bytes` and returns once they are on disk. Throws
// SystemError, with the old file kept whole, when the system does not allow the write.
//
// The name is only ever opened without following a link (see file_at_name.h): a link or a
// folder at it is refused with a message of its own, and a read-only file with access denied,
// as Windows would refuse to open it for writing.
//
// The new content goes to a temporary file of its own beside `path` (see temporary_names.h),
// created exclusively with its final security from the first byte and held without sharing
// until it is renamed over the old file through its open handle; on any failure it is
// removed. It takes the old file's hidden, system and archive attributes. Its owner and
// access list are the old file's where someone set them on purpose, otherwise those of
// `fixedSddl` (see files/new_access.h); the owner only where the system lets the program set
// it. The tokens of the temporary names come from `nextToken`; tests replace it to meet names
// that are taken.
//
// A file that another program holds open cannot be replaced by a rename. When the rename is
// refused for that reason, it is tried again for a moment, and then the file is rewritten in
// place, as far as the holder's sharing allows (see file_in_place.h), keeping its own access
// list. Only that rewrite, if it is cut short by a kill, can leave the file partial.
using TemporaryNameToken = std::uint64_t (*)();
void ReplaceFileContents(const std::wstring& path,
                         std::string_view bytes,
                         std::wstring_view fixedSddl,
                         TemporaryNameToken nextToken = &RandomNameToken);

}  // namespace addmorvane
