// Which access list a file gets that replaces another: the old file's, where someone set it
// on purpose, or else a fixed list that the writer names. An access list that only inherits
// from the folder is no choice anybody made; in the root of drive C: it lets every
// authenticated user change the file. The root's integrity label (high, no write up, on
// Windows 8 and later) already keeps unelevated programs from writing such a file: the fixed
// list is defence in depth beside it, and a label an administrator set on the file is carried
// over with it.
#pragma once

#include <cstdint>
#include <vector>

namespace addmorvane {

// An access entry's flag: the entry came from the folder.
inline constexpr std::uint8_t kInheritedEntry = 0x10;
// The type of a system list's entry that holds the file's integrity label.
inline constexpr std::uint8_t kMandatoryLabelEntry = 0x11;

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

// Whether an entry of the old file's system list (SACL), of the given type and flags, is
// carried over: an integrity label set on the file itself. An inherited one comes again from
// the folder; audit entries are not carried, since setting them needs the audit privilege.
bool CarriesSystemEntry(std::uint8_t type, std::uint8_t flags);

enum class SecurityPart { None, Owner, Label };

// The system's refusals of a new file's security, by number (the Win32 layer checks them
// against the system's names).
inline constexpr unsigned long kInvalidOwnerError = 1307;      // ERROR_INVALID_OWNER
inline constexpr unsigned long kPrivilegeNotHeldError = 1314;  // ERROR_PRIVILEGE_NOT_HELD
inline constexpr unsigned long kInvalidLabelError = 1299;      // ERROR_INVALID_LABEL

// What the new file is created without once the system has refused its security with
// `error`: an owner other than the writer (ERROR_INVALID_OWNER), or a label the writer may not
// set (ERROR_PRIVILEGE_NOT_HELD, ERROR_INVALID_LABEL), which it then takes from the folder.
// The access list alone is what protects the file.
SecurityPart SecurityPartRefusedBy(unsigned long error);

}  // namespace addmorvane
