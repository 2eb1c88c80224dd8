// The reader that turns a real security descriptor into the plain picture the trust rule
// judges. Wine keeps no descriptor that a program sets on a file, so the descriptors are
// built in memory from SDDL.
#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <string>

#include "launch/win32/file_security.h"

namespace addmorvane {
namespace {

const std::wstring kUser = L"S-1-5-21-1004336348-1177238915-682003330-1001";

struct ReaderCase {
  std::wstring sddl;
  SecuritySummary expected;
};

TEST(FileSecurityReader, TurnsDescriptorsFromSddlIntoTheirPlainPicture) {
  const ReaderCase cases[] = {
      // A file created in C:\ by an administrator, inheriting from the root.
      {L"O:BAD:AI(A;ID;FA;;;BA)(A;ID;FA;;;SY)(A;ID;0x1301bf;;;AU)(A;ID;0x1200a9;;;BU)",
       {L"S-1-5-32-544",
        true,
        {{EntryKind::Allow, 0x10, L"S-1-5-32-544", 0x1F01FF},
         {EntryKind::Allow, 0x10, L"S-1-5-18", 0x1F01FF},
         {EntryKind::Allow, 0x10, L"S-1-5-11", 0x1301BF},
         {EntryKind::Allow, 0x10, L"S-1-5-32-545", 0x1200A9}}}},
      // The root itself: inherit-only and generic rights, owned by the running user.
      {L"O:" + kUser + L"D:P(A;OICI;FA;;;SY)(A;OICIIO;SDGXGWGR;;;AU)(A;;LC;;;AU)",
       {kUser,
        true,
        {{EntryKind::Allow, 0x03, L"S-1-5-18", 0x1F01FF},
         {EntryKind::Allow, 0x0B, L"S-1-5-11", 0xE0010000},
         {EntryKind::Allow, 0x00, L"S-1-5-11", 0x4}}}},
      // A deny beside an allow.
      {L"O:BAD:(D;;FA;;;AU)(A;;0x1301bf;;;BU)",
       {L"S-1-5-32-544",
        true,
        {{EntryKind::Deny, 0, L"S-1-5-11", 0x1F01FF},
         {EntryKind::Allow, 0, L"S-1-5-32-545", 0x1301BF}}}},
      // Generic write for everyone; empty and absent DACLs.
      {L"O:BAD:(A;;GW;;;WD)",
       {L"S-1-5-32-544", true, {{EntryKind::Allow, 0, L"S-1-1-0", 0x40000000}}}},
      {L"O:BAD:", {L"S-1-5-32-544", true, {}}},
      {L"O:BA", {L"S-1-5-32-544", false, {}}},
      // No owner at all.
      {L"D:(A;;FA;;;BA)", {L"", true, {{EntryKind::Allow, 0, L"S-1-5-32-544", 0x1F01FF}}}},
      // The install folder's list in the packages (MsiLockPermissionsEx): no typo (error 1943).
      {L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)",
       {L"S-1-5-32-544",
        true,
        {{EntryKind::Allow, 0x03, L"S-1-5-18", 0x1F01FF},
         {EntryKind::Allow, 0x03, L"S-1-5-32-544", 0x1F01FF},
         {EntryKind::Allow, 0x03, L"S-1-5-32-545", 0x1200A9}}}},
  };
  for (const ReaderCase& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(c.sddl.begin(), c.sddl.end())));
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
        c.sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        << GetLastError();
    const SecuritySummary summary = SummarizeSecurityDescriptor(descriptor);
    LocalFree(descriptor);
    EXPECT_EQ(summary.owner, c.expected.owner);
    EXPECT_EQ(summary.hasDacl, c.expected.hasDacl);
    ASSERT_EQ(summary.entries.size(), c.expected.entries.size());
    for (std::size_t i = 0; i < summary.entries.size(); ++i) {
      SCOPED_TRACE(i);
      const AccessEntry& got = summary.entries[i];
      const AccessEntry& want = c.expected.entries[i];
      EXPECT_EQ(got.kind, want.kind);
      EXPECT_EQ(got.flags, want.flags);
      EXPECT_EQ(got.sid, want.sid);
      EXPECT_EQ(got.mask, want.mask);
    }
  }
}

TEST(FileSecurityReader, NullDaclIsNoDacl) {
  // Built by hand: Wine's SDDL parser makes "D:NO_ACCESS_CONTROL" an empty DACL instead.
  SECURITY_DESCRIPTOR descriptor{};
  ASSERT_TRUE(InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION));
  ASSERT_TRUE(SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE));
  const SecuritySummary summary = SummarizeSecurityDescriptor(&descriptor);
  EXPECT_EQ(summary.owner, L"");
  EXPECT_FALSE(summary.hasDacl);
  EXPECT_TRUE(summary.entries.empty());
}

TEST(FileSecurityReader, ReadsTheRunningUserAndAFileOnDriveC) {
  const std::wstring user = CurrentUserSid();
  ASSERT_EQ(user.rfind(L"S-1-5-", 0), 0u)
      << testing::PrintToString(std::string(user.begin(), user.end()));
  // A file this process creates is owned by its user (Wine: the Unix user running it).
  const std::wstring path = L"C:\\file-security-test.txt";
  const HANDLE file =
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  SecuritySummary summary;
  EXPECT_EQ(ReadFileSecurity(path, summary), 0u);
  DeleteFileW(path.c_str());
  EXPECT_EQ(summary.owner, user);
  EXPECT_TRUE(summary.hasDacl);
  EXPECT_EQ(ReadFileSecurity(L"C:\\no-such-file-here.txt", summary),
            static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(AccountName(L"S-1-5-32-544"), L"BUILTIN\\Administrators");
  EXPECT_EQ(AccountName(L"S-1-5-99-12345"), L"S-1-5-99-12345");
}

}  // namespace
}  // namespace addmorvane
