#include "files/new_access.h"

#include <algorithm>

namespace addmorvane {

NewAccess ChooseNewAccess(const AccessListPicture& old) {
  if (!old.hasDacl) {
    return NewAccess::Fixed;
  }
  const bool ownEntry =
      std::any_of(old.entryFlags.begin(), old.entryFlags.end(),
                  [](std::uint8_t flags) { return (flags & kInheritedEntry) == 0; });
  return old.isProtected || ownEntry ? NewAccess::KeepOld : NewAccess::Fixed;
}

}  // namespace addmorvane
