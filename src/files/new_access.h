// Which access list a file gets that replaces another: the old file's, where someone set it
// on purpose, or else a fixed list that the writer names. An access list that only inherits
// from the folder is no choice anybody made; in the root of drive C: it lets every
// authenticated user change the file.
#pragma once

#include <cstdint>
#include <vector>

namespace addmorvane {

// An access entry's flag: the entry came from the folder.
inline constexpr std::uint8_t kInheritedEntry = 0x10;

// The part of the old file's security descriptor that the choice rests on.
struct AccessListPicture {
  bool hasDacl = false;      // false for no old file, and for a null DACL (no protection at all)
  bool isProtected = false;  // the DACL takes nothing from the folder
  std::vector<std::uint8_t> entryFlags;  // the flags of each entry, in order
};

enum class NewAccess { KeepOld, Fixed };

// The old list is kept whole when it is protected or has an entry of its own (not inherited);
// otherwise the fixed list is used.
NewAccess ChooseNewAccess(const AccessListPicture& old);

}  // namespace addmorvane
