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

bool CarriesSystemEntry(std::uint8_t type, std::uint8_t flags) {
  return type == kMandatoryLabelEntry && (flags & kInheritedEntry) == 0;
}

SecurityPart SecurityPartRefusedBy(unsigned long error) {
  switch (error) {
    case kInvalidOwnerError:
      return SecurityPart::Owner;
    case kPrivilegeNotHeldError:
    case kInvalidLabelError:
      return SecurityPart::Label;
    default:
      return SecurityPart::None;
  }
}

}  // namespace addmorvane
