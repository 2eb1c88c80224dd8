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

std::vector<std::size_t> LabelEntriesToCarry(const AccessListPicture& old) {
  std::vector<std::size_t> carried;
  for (std::size_t index = 0; index < old.systemEntries.size(); ++index) {
    const SystemEntryPicture& entry = old.systemEntries[index];
    if (entry.type == kMandatoryLabelEntry && (entry.flags & kInheritedEntry) == 0) {
      carried.push_back(index);
    }
  }
  return carried;
}

SecurityPart SecurityPartRefusedBy(unsigned long error) {
  switch (error) {
    case 1307:
      return SecurityPart::Owner;
    case 1314:
    case 1341:
      return SecurityPart::Label;
    default:
      return SecurityPart::None;
  }
}

}  // namespace addmorvane
