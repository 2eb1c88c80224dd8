// Which files the program may open with its administrator rights: security descriptors as
// data, each with its SDDL beside it.
#include "launch/file_trust.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launch/trust_refusal.h"

namespace addmorvane {
namespace {

const std::wstring kUser = L"S-1-5-21-1004336348-1177238915-682003330-1001";   // the runner
const std::wstring kOther = L"S-1-5-21-1004336348-1177238915-682003330-1002";  // a standard user
const std::wstring kAdmins = L"S-1-5-32-544";
const std::wstring kSystem = L"S-1-5-18";
const std::wstring kInstaller = L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
const std::wstring kAuthenticated = L"S-1-5-11";
const std::wstring kUsers = L"S-1-5-32-545";
const std::wstring kEveryone = L"S-1-1-0";

constexpr std::uint32_t kFull = 0x001F01FF;    // FA
constexpr std::uint32_t kModify = 0x001301BF;  // what "Modify" grants a file
constexpr std::uint32_t kReadExecute = 0x001200A9;
constexpr std::uint32_t kInheritOnlyModify = 0xE0010000;  // SDGXGWGR
constexpr std::uint8_t kOiCi = 0x03;
constexpr std::uint8_t kOiCiIo = 0x0B;
constexpr std::uint8_t kId = 0x10;

AccessEntry Allow(const std::wstring& sid, std::uint32_t mask, std::uint8_t flags = 0) {
  return {EntryKind::Allow, flags, sid, mask};
}
AccessEntry Deny(const std::wstring& sid, std::uint32_t mask) {
  return {EntryKind::Deny, 0, sid, mask};
}

struct Case {
  const char* name;
  SecuritySummary security;
  Guarded guarded;
  Distrust reason;
  std::wstring principal;
  std::uint32_t rights;
};

TEST(FileTrust, JudgesDescriptorsForFullRights) {
  const Case cases[] = {
      // O:BAD:AI(A;ID;FA;;;BA)(A;ID;FA;;;SY)(A;ID;0x1301bf;;;AU)(A;ID;0x1200a9;;;BU)
      {"file created in C:\\ by an administrator",
       {kAdmins,
        true,
        {Allow(kAdmins, kFull, kId), Allow(kSystem, kFull, kId),
         Allow(kAuthenticated, kModify, kId), Allow(kUsers, kReadExecute, kId)}},
       Guarded::File,
       Distrust::OtherMayChange,
       kAuthenticated,
       0x00010006},
      // O:BAD:P(A;;FA;;;BA)(A;;FA;;;SY)(A;;0x1200a9;;;BU)
      {"administrators only, users may read",
       {kAdmins, true, {Allow(kAdmins, kFull), Allow(kSystem, kFull), Allow(kUsers, kReadExecute)}},
       Guarded::File,
       Distrust::None,
       {},
       0},
      // O:<user>D:P(A;;FA;;;<user>)(A;;FA;;;SY)(A;;FA;;;BA)
      // His programs without elevation could change it.
      {"owned by and writable by the running user",
       {kUser, true, {Allow(kUser, kFull), Allow(kSystem, kFull), Allow(kAdmins, kFull)}},
       Guarded::File,
       Distrust::Owner,
       kUser,
       0},
      {"writable by the running user",
       {kAdmins, true, {Allow(kAdmins, kFull), Allow(kUser, kModify)}},
       Guarded::File,
       Distrust::OtherMayChange,
       kUser,
       0x00010006},
      // O:S-1-5-80-...D:P(A;;FA;;;S-1-5-80-...)(A;;0x1200a9;;;BA)(A;;0x1200a9;;;BU)
      {"owned by TrustedInstaller",
       {kInstaller,
        true,
        {Allow(kInstaller, kFull), Allow(kAdmins, kReadExecute), Allow(kUsers, kReadExecute)}},
       Guarded::File,
       Distrust::None,
       {},
       0},
      // O:BAD:(A;;FA;;;BA)(A;;0x120116;;;WD)
      {"everyone may write",
       {kAdmins, true, {Allow(kAdmins, kFull), Allow(kEveryone, 0x00120116)}},
       Guarded::File,
       Distrust::OtherMayChange,
       kEveryone,
       0x00000006},
      // O:BAD:(A;;FA;;;BA)(A;;0x1301bf;;;BU)
      {"users may modify",
       {kAdmins, true, {Allow(kAdmins, kFull), Allow(kUsers, kModify)}},
       Guarded::File,
       Distrust::OtherMayChange,
       kUsers,
       0x00010006},
      // O:BAD:(D;;FA;;;AU)(A;;FA;;;BA)(A;;0x1301bf;;;BU)
      {"users allowed beside a deny for authenticated users",
       {kAdmins,
        true,
        {Deny(kAuthenticated, kFull), Allow(kAdmins, kFull), Allow(kUsers, kModify)}},
       Guarded::File,
       Distrust::OtherMayChange,
       kUsers,
       0x00010006},
      // O:BAD:(A;;FA;;;BA)(A;;FA;;;SY)(A;OICIIO;SDGXGWGR;;;AU)
      {"inherit-only allow does not apply",
       {kAdmins,
        true,
        {Allow(kAdmins, kFull), Allow(kSystem, kFull),
         Allow(kAuthenticated, kInheritOnlyModify, kOiCiIo)}},
       Guarded::File,
       Distrust::None,
       {},
       0},
      // O:<other>D:P(A;;FA;;;BA)(A;;FA;;;SY)
      {"owned by a standard user",
       {kOther, true, {Allow(kAdmins, kFull), Allow(kSystem, kFull)}},
       Guarded::File,
       Distrust::Owner,
       kOther,
       0},
      // D:P(A;;FA;;;BA) with no owner
      {"no owner", {{}, true, {Allow(kAdmins, kFull)}}, Guarded::File, Distrust::Owner, {}, 0},
      // O:BAD:(A;;FA;;;BA)(A;;GW;;;AU)
      {"generic write",
       {kAdmins, true, {Allow(kAdmins, kFull), Allow(kAuthenticated, kGenericWrite)}},
       Guarded::File,
       Distrust::OtherMayChange,
       kAuthenticated,
       kGenericWrite},
      // O:BAD:(A;;GA;;;BU)
      {"generic all",
       {kAdmins, true, {Allow(kUsers, kGenericAll)}},
       Guarded::File,
       Distrust::OtherMayChange,
       kUsers,
       kGenericAll},
      // O:BAD:(A;;0x1200a9;;;BU)(A;;WDWO;;;BU)
      {"users may change permissions and owner",
       {kAdmins, true, {Allow(kUsers, kReadExecute), Allow(kUsers, kWriteDac | kWriteOwner)}},
       Guarded::File,
       Distrust::OtherMayChange,
       kUsers,
       kWriteDac | kWriteOwner},
      // O:BAD:(A;;0x4;;;BU)
      {"append is a change",
       {kAdmins, true, {Allow(kUsers, kFileAppendData)}},
       Guarded::File,
       Distrust::OtherMayChange,
       kUsers,
       kFileAppendData},
      // O:BAD:(A;;0x100;;;BU): file attributes only
      {"writing attributes changes nothing that runs",
       {kAdmins, true, {Allow(kUsers, 0x100)}},
       Guarded::File,
       Distrust::None,
       {},
       0},
      // O:BA
      {"no DACL at all", {kAdmins, false, {}}, Guarded::File, Distrust::NoDacl, {}, 0},
      // O:BAD:P
      {"empty DACL: only the owner", {kAdmins, true, {}}, Guarded::File, Distrust::None, {}, 0},
      // An entry of a kind the reader does not know, for a standard user.
      {"unknown entry",
       {kAdmins, true, {Allow(kAdmins, kFull), {EntryKind::Other, 0, kUsers, kReadExecute}}},
       Guarded::File,
       Distrust::UnknownEntry,
       kUsers,
       kReadExecute},

      // Folders: the file in them must not be swapped.
      // O:S-1-5-80-...D:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICIIO;SDGXGWGR;;;AU)
      //   (A;;LC;;;AU)(A;OICI;0x1200a9;;;BU)  -- C:\ on Windows 10
      {"root of the system drive",
       {kInstaller,
        true,
        {Allow(kAdmins, kFull, kOiCi), Allow(kSystem, kFull, kOiCi),
         Allow(kAuthenticated, kInheritOnlyModify, kOiCiIo), Allow(kAuthenticated, kFileAppendData),
         Allow(kUsers, kReadExecute, kOiCi)}},
       Guarded::Folder,
       Distrust::None,
       {},
       0},
      // O:BAD:AI(A;ID;FA;;;BA)(A;OICIID;0x1301bf;;;AU)  -- a folder made in C:\ by an admin
      {"folder made in C:\\ by an administrator",
       {kAdmins, true, {Allow(kAdmins, kFull, kId), Allow(kAuthenticated, kModify, kOiCi | kId)}},
       Guarded::Folder,
       Distrust::OtherMayChange,
       kAuthenticated,
       0x00010002},
      // O:BAD:(A;;FA;;;BA)(A;;0x2;;;BU)
      {"users may add files",
       {kAdmins, true, {Allow(kAdmins, kFull), Allow(kUsers, kFileWriteData)}},
       Guarded::Folder,
       Distrust::OtherMayChange,
       kUsers,
       kFileWriteData},
      // O:BAD:(A;;FA;;;BA)(A;;0x40;;;AU)
      {"users may delete entries",
       {kAdmins, true, {Allow(kAdmins, kFull), Allow(kAuthenticated, kFileDeleteChild)}},
       Guarded::Folder,
       Distrust::OtherMayChange,
       kAuthenticated,
       kFileDeleteChild},
      // O:<user>D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;<user>)  -- a profile folder
      {"the running user's own folder",
       {kUser,
        true,
        {Allow(kSystem, kFull, kOiCi), Allow(kAdmins, kFull, kOiCi), Allow(kUser, kFull, kOiCi)}},
       Guarded::Folder,
       Distrust::Owner,
       kUser,
       0},
      // O:<other>D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;<other>)  -- another profile
      {"another user's folder",
       {kOther,
        true,
        {Allow(kSystem, kFull, kOiCi), Allow(kAdmins, kFull, kOiCi), Allow(kOther, kFull, kOiCi)}},
       Guarded::Folder,
       Distrust::Owner,
       kOther,
       0},
      // O:BAD:(A;;FA;;;BA)(A;;0x40;;;BU): deleting children means nothing on a file
      {"delete-child on a file",
       {kAdmins, true, {Allow(kAdmins, kFull), Allow(kUsers, kFileDeleteChild)}},
       Guarded::File,
       Distrust::None,
       {},
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TrustVerdict verdict = JudgeForFullRights(c.security, L"", c.guarded);
    EXPECT_EQ(verdict.reason, c.reason);
    EXPECT_EQ(verdict.principal, c.principal);
    EXPECT_EQ(verdict.rights, c.rights);
    EXPECT_EQ(verdict.safe(), c.reason == Distrust::None);
  }
}

TEST(FileTrust, AUserIsTrustedOnlyWhereNoneOfHisProgramsHasFewerRights) {
  // O:<user>D:(A;;FA;;;<user>): safe only for a user named so (Wine's one rights level).
  const SecuritySummary own{kUser, true, {Allow(kUser, kFull)}};
  EXPECT_TRUE(JudgeForFullRights(own, kUser, Guarded::File).safe());
  EXPECT_EQ(JudgeForFullRights(own, kOther, Guarded::File).reason, Distrust::Owner);
  // As Wine reports a file that is world-writable:
  // O:<user>D:(A;;FA;;;SY)(A;;FA;;;<user>)(A;;0x12019f;;;WD)
  const SecuritySummary world{
      kUser, true, {Allow(kSystem, kFull), Allow(kUser, kFull), Allow(kEveryone, 0x0012019F)}};
  const TrustVerdict verdict = JudgeForFullRights(world, kUser, Guarded::File);
  EXPECT_EQ(verdict.reason, Distrust::OtherMayChange);
  EXPECT_EQ(verdict.principal, kEveryone);
}

TEST(TrustRefusal, NamesTheFileTheReasonAndTheRemedy) {
  const std::wstring lead =
      L"Файл C:\\morvane1.bat не открыт: программа работает с правами администратора, а этот "
      L"файл может изменить не только администратор.\n\n";
  const std::wstring remedy =
      L"\n\nАдминистратор может ограничить доступ в свойствах файла и его папки, на вкладке "
      L"«Безопасность»: владельцем сделать группу «Администраторы», а право изменять файл и "
      L"менять файлы в папке оставить только администраторам и системе.";
  // The launch script's: restricted in place, it stays open to whoever opened it before.
  const std::wstring replace =
      L"\n\nНе меняйте разрешения этого файла на месте: кто открыл его раньше, сохранит доступ к "
      L"нему. Администратор создаёт новый файл в папке, которую могут открыть только "
      L"администраторы, делает его владельцем группу «Администраторы», оставляет право изменять "
      L"его только администраторам и системе и переносит его на место командой move /y (раздел 5 "
      L"файла README.txt).";
  struct Text {
    Guarded guarded;
    TrustVerdict verdict;
    std::wstring principal;
    std::wstring reason;
  };
  const Text texts[] = {
      {Guarded::File,
       {Distrust::OtherMayChange, kAuthenticated, 0x10006},
       L"NT AUTHORITY\\Authenticated Users",
       L"Изменять или удалять файл разрешено: NT AUTHORITY\\Authenticated Users."},
      {Guarded::File, {Distrust::Owner, kOther, 0}, L"PC\\ivan", L"Владелец файла: PC\\ivan."},
      {Guarded::File,
       {Distrust::NoDacl, {}, 0},
       L"",
       L"У файла нет списка разрешений: изменять его может любой."},
      {Guarded::File,
       {Distrust::UnknownEntry, {}, 0},
       L"",
       L"В разрешениях файла есть запись, которую программа не умеет проверить."},
      {Guarded::Folder,
       {Distrust::OtherMayChange, kUsers, 0x2},
       L"BUILTIN\\Users",
       L"Добавлять, удалять или переименовывать файлы в папке C:\\ разрешено: BUILTIN\\Users."},
      {Guarded::Folder,
       {Distrust::Owner, kOther, 0},
       L"PC\\ivan",
       L"Владелец папки C:\\: PC\\ivan."},
      {Guarded::Folder,
       {Distrust::NoDacl, {}, 0},
       L"",
       L"У папки C:\\ нет списка разрешений: менять в ней может любой."},
      {Guarded::Folder,
       {Distrust::UnknownEntry, {}, 0},
       L"",
       L"В разрешениях папки C:\\ есть запись, которую программа не умеет проверить."},
  };
  for (const Text& t : texts) {
    SCOPED_TRACE(&t - texts);
    const std::wstring_view judged = t.guarded == Guarded::File ? L"C:\\morvane1.bat" : L"C:\\";
    EXPECT_EQ(RefusalText(L"C:\\morvane1.bat", judged, t.guarded, t.verdict, t.principal,
                          Remedy::Restrict),
              lead + t.reason + remedy);
    EXPECT_EQ(RefusalText(L"C:\\morvane1.bat", judged, t.guarded, t.verdict, t.principal,
                          Remedy::Replace),
              lead + t.reason + replace);
  }
}

}  // namespace
}  // namespace addmorvane
