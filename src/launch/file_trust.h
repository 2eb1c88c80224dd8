// Whether a file may be opened with the program's full rights: only when nobody but the
// system and the administrators can change what gets run.
// Works on a plain picture of a security descriptor, so that the rule is tested natively.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace addmorvane {

// Access mask bits that the rule looks at, as Windows defines them.
inline constexpr std::uint32_t kFileWriteData = 0x0002;   // on a folder: add a file
inline constexpr std::uint32_t kFileAppendData = 0x0004;  // on a folder: add a subfolder
inline constexpr std::uint32_t kFileDeleteChild = 0x0040;
inline constexpr std::uint32_t kDeleteRight = 0x00010000;
inline constexpr std::uint32_t kWriteDac = 0x00040000;
inline constexpr std::uint32_t kWriteOwner = 0x00080000;
inline constexpr std::uint32_t kGenericAll = 0x10000000;
inline constexpr std::uint32_t kGenericWrite = 0x40000000;

// Entry flags: an inherit-only entry is there for the folder's children, not for the object.
inline constexpr std::uint8_t kObjectInherit = 0x01;
inline constexpr std::uint8_t kContainerInherit = 0x02;
inline constexpr std::uint8_t kInheritOnly = 0x08;
inline constexpr std::uint8_t kInherited = 0x10;

// Allow and deny entries of every layout (plain, object, callback); Other for any kind the
// reader does not know, which the rule cannot vouch for.
enum class EntryKind { Allow, Deny, Other };

struct AccessEntry {
  EntryKind kind = EntryKind::Other;
  std::uint8_t flags = 0;
  std::wstring sid;  // "S-1-5-32-544"; empty where the reader could not tell
  std::uint32_t mask = 0;
  bool operator==(const AccessEntry&) const = default;
};

struct SecuritySummary {
  std::wstring owner;    // empty when the descriptor names none
  bool hasDacl = false;  // false also for a null DACL, which grants everyone everything
  std::vector<AccessEntry> entries;
  bool operator==(const SecuritySummary&) const = default;
};

// A file is judged for changes to its content; its folder for swapping the file.
enum class Guarded { File, Folder };

enum class Distrust {
  None,
  Owner,           // `principal` owns it
  NoDacl,          // anyone may do anything
  OtherMayChange,  // `principal` is granted `rights`
  UnknownEntry,    // an entry of a kind the program cannot judge
};

struct TrustVerdict {
  Distrust reason = Distrust::None;
  std::wstring principal;
  std::uint32_t rights = 0;
  bool safe() const { return reason == Distrust::None; }
};

// Whether `sid` is SYSTEM, Administrators or TrustedInstaller: a principal that already has
// every right the program has.
bool IsSystemPrincipal(std::wstring_view sid);

// The rights that let another principal change what the program would run: for a file,
// write, append, delete, change permissions or owner; for its folder, add a file, delete or
// rename an entry, or change the folder's own permissions or owner. Generic rights count.
std::uint32_t RightsThatMatter(Guarded guarded);

// Safe when the owner is one of the trusted principals (SYSTEM, Administrators,
// TrustedInstaller), a DACL is present, and no allow entry that applies to the object itself
// grants anyone else a right that matters. Deny entries never make an object safe: a deny for
// one group does not cover the members of another. `sameRightsUser`, when not empty, is
// trusted too: a user none of whose programs runs with fewer rights than this one, which only
// a host without Windows' rights levels has (Wine: every program of the account has them all).
TrustVerdict JudgeForFullRights(const SecuritySummary& security,
                                std::wstring_view sameRightsUser,
                                Guarded guarded);

}  // namespace addmorvane
