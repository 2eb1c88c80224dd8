#include "launch/file_trust.h"

#include <array>

namespace addmorvane {
namespace {

// The principals that already hold full rights over the machine: their access gives nobody
// anything the program would not have. Not the user running the program: his programs that
// run without elevation, at medium integrity, could change what he owns or may write.
constexpr std::array<std::wstring_view, 3> kSystemPrincipals = {
    L"S-1-5-18",                                                        // SYSTEM
    L"S-1-5-32-544",                                                    // Administrators
    L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464",  // TrustedInstaller
};

bool Trusted(std::wstring_view sid, std::wstring_view sameRightsUser) {
  return !sid.empty() && (sid == sameRightsUser || IsSystemPrincipal(sid));
}

}  // namespace

bool IsSystemPrincipal(std::wstring_view sid) {
  for (const std::wstring_view system : kSystemPrincipals) {
    if (sid == system) {
      return true;
    }
  }
  return false;
}

std::uint32_t RightsThatMatter(Guarded guarded) {
  constexpr std::uint32_t common =
      kDeleteRight | kWriteDac | kWriteOwner | kGenericAll | kGenericWrite;
  // On a folder, adding a subfolder cannot put anything in the place of a file that stays:
  // the file must first be deleted or renamed, which the other rights cover. The root of a
  // Windows system drive lets every user add subfolders, so counting it would refuse every
  // launch script there.
  return guarded == Guarded::File ? common | kFileWriteData | kFileAppendData
                                  : common | kFileWriteData | kFileDeleteChild;
}

TrustVerdict JudgeForFullRights(const SecuritySummary& security,
                                std::wstring_view sameRightsUser,
                                Guarded guarded) {
  if (!Trusted(security.owner, sameRightsUser)) {
    return {Distrust::Owner, security.owner, 0};
  }
  if (!security.hasDacl) {
    return {Distrust::NoDacl, {}, 0};
  }
  const std::uint32_t matter = RightsThatMatter(guarded);
  for (const AccessEntry& entry : security.entries) {
    if (entry.kind == EntryKind::Deny || (entry.flags & kInheritOnly) != 0) {
      continue;
    }
    if (entry.kind == EntryKind::Other) {
      return {Distrust::UnknownEntry, entry.sid, entry.mask};
    }
    if ((entry.mask & matter) != 0 && !Trusted(entry.sid, sameRightsUser)) {
      return {Distrust::OtherMayChange, entry.sid, entry.mask & matter};
    }
  }
  return {};
}

}  // namespace addmorvane
