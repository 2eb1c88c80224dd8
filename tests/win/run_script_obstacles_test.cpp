// The run script written at start-up with things in its way that other programs or users
// leave in C:\: files and folders at temporary names, the script held open by another
// process. The program writes the script wherever the system allows it and otherwise ends
// with its message, the old script whole; what others left is never touched, except the
// writer's own leftovers.
#include <windows.h>
#include <sddl.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "file_holder.h"
#include "harness.h"
#include "settings_fixture.h"
#include "files/win32/file_replace.h"
#include "files/win32/new_file_security.h"
#include "base/system_error.h"
#include "runscript/vocabulary.h"

namespace addmorvane::wintest {
namespace {

const std::string kDefaultScript = "C:\\Morvane.com\r\r\n@C:\\morvane2.bat\r\n";
const std::string kOldScript = "old content\r\n";
const std::string kDecoyBytes = "not the program's\r\n";
constexpr DWORD kHiddenReadOnly = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY;
constexpr DWORD kShareReadWrite = FILE_SHARE_READ | FILE_SHARE_WRITE;

// Something at a name in C:\ before the program starts.
struct Entry {
  const wchar_t* name;
  bool folder = false;
  DWORD attributes = FILE_ATTRIBUTE_NORMAL;  // of a file
  DWORD heldWithShare = MAXDWORD;            // held by another process with this sharing
  bool removed = false;                      // a leftover the writer is to clear away
};

void Remove(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return;
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    RemoveDirectoryW(path.c_str());
  } else {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
  }
}

void RemoveEverythingOfTheScript() {
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(L"C:\\morvane.bat*", &found);
  if (search == INVALID_HANDLE_VALUE) {
    return;
  }
  do {
    Remove(std::wstring(L"C:\\") + found.cFileName);
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

void Plant(const Entry& entry, const std::string& bytes) {
  const std::wstring path = std::wstring(L"C:\\") + entry.name;
  if (entry.folder) {
    ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr)) << GetLastError();
    return;
  }
  WriteFileBytes(path, bytes);
  ASSERT_TRUE(SetFileAttributesW(path.c_str(), entry.attributes)) << GetLastError();
}

template <typename Action>
DWORD FailureCode(Action&& action) {
  try {
    action();
  } catch (const SystemError& error) {
    return error.code();
  }
  return ERROR_SUCCESS;
}

class RunScriptObstacleTest : public FormTest {
 protected:
  RunScriptObstacleTest() { startInSetUp_ = false; }
  void SetUp() override {
    RemoveEverythingOfTheScript();
    FormTest::SetUp();
  }
  void TearDown() override {
    FormTest::TearDown();
    RemoveEverythingOfTheScript();
  }
};

TEST_F(RunScriptObstacleTest, StartUpWritesTheScriptWhereverTheSystemAllowsIt) {
  struct Row {
    const char* what;
    Entry script;               // the run script before start-up
    std::vector<Entry> others;  // other names in C:\ of the script's family
    DWORD error;                // ERROR_SUCCESS: the window opens over the default script
  };
  const Row rows[] = {
      {"a folder at the name of the old fixed temporary",
       {L"morvane.bat"},
       {{L"morvane.bat.tmp", true}},
       ERROR_SUCCESS},
      {"a read-only hidden file at that name",
       {L"morvane.bat"},
       {{L"morvane.bat.tmp", false, kHiddenReadOnly}},
       ERROR_SUCCESS},
      {"a file at that name held open without sharing",
       {L"morvane.bat"},
       {{L"morvane.bat.tmp", false, FILE_ATTRIBUTE_NORMAL, 0}},
       ERROR_SUCCESS},
      {"leftovers of killed writes, one hidden",
       {L"morvane.bat"},
       {{L"morvane.bat.00000000deadbeef.tmp", false, FILE_ATTRIBUTE_NORMAL, MAXDWORD, true},
        {L"morvane.bat.0123456789abcdef.tmp", false, FILE_ATTRIBUTE_HIDDEN, MAXDWORD, true}},
       ERROR_SUCCESS},
      {"a temporary that another writer holds, a folder and a read-only file at such names",
       {L"morvane.bat"},
       {{L"morvane.bat.1111111111111111.tmp", false, FILE_ATTRIBUTE_NORMAL, 0},
        {L"morvane.bat.2222222222222222.tmp", true},
        {L"morvane.bat.3333333333333333.tmp", false, kHiddenReadOnly}},
       ERROR_SUCCESS},
      {"the script held open with read and write sharing",
       {L"morvane.bat", false, FILE_ATTRIBUTE_NORMAL, kShareReadWrite},
       {},
       ERROR_SUCCESS},
      {"the script held open with read, write and delete sharing",
       {L"morvane.bat", false, FILE_ATTRIBUTE_NORMAL, kShareReadWrite | FILE_SHARE_DELETE},
       {},
       ERROR_SUCCESS},
      {"a hidden system script",
       {L"morvane.bat", false, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM},
       {},
       ERROR_SUCCESS},
      {"a hidden script held open with read and write sharing",
       {L"morvane.bat", false, FILE_ATTRIBUTE_HIDDEN, kShareReadWrite},
       {},
       ERROR_SUCCESS},
      {"the script held open by a program that lets others only read it",
       {L"morvane.bat", false, FILE_ATTRIBUTE_NORMAL, FILE_SHARE_READ},
       {},
       ERROR_SHARING_VIOLATION},
      {"a read-only script",
       {L"morvane.bat", false, FILE_ATTRIBUTE_READONLY},
       {},
       ERROR_ACCESS_DENIED},
      {"a folder at the script's name", {L"morvane.bat", true}, {}, ERROR_ACCESS_DENIED},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    RemoveEverythingOfTheScript();
    std::vector<std::unique_ptr<FileHolder>> holders;
    std::vector<const Entry*> planted{&row.script};
    for (const Entry& other : row.others) {
      planted.push_back(&other);
    }
    for (const Entry* entry : planted) {
      Plant(*entry, entry == &row.script ? kOldScript : kDecoyBytes);
      if (entry->heldWithShare != MAXDWORD) {
        holders.push_back(std::make_unique<FileHolder>());
        ASSERT_TRUE(holders.back()->Hold(std::wstring(L"C:\\") + entry->name, GENERIC_READ,
                                         entry->heldWithShare));
      }
    }

    form_ = std::make_unique<Program>(actions_);
    const ULONGLONG begin = GetTickCount64();
    const DWORD error = FailureCode([&] { form_->Start(); });
    const ULONGLONG took = GetTickCount64() - begin;
    std::printf("[   INFO   ] %s: %s %lu, %llu ms\n", row.what,
                error == ERROR_SUCCESS ? "written" : "error", error, took);
    EXPECT_EQ(error, row.error);
    EXPECT_EQ(IsWindowVisible(form_->window().hwnd()) != FALSE, row.error == ERROR_SUCCESS);
    if (!row.script.folder) {
      // Read while any holder still has the file open, as it would read it.
      EXPECT_EQ(RunScript(), row.error == ERROR_SUCCESS ? kDefaultScript : kOldScript);
      constexpr DWORD kShown =
          FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY;
      EXPECT_EQ(GetFileAttributesW(RunScriptPath().c_str()) & kShown,
                row.script.attributes & kShown);
    }
    holders.clear();
    form_.reset();
    wintest::Flush(nullptr);

    std::vector<std::wstring> kept;
    for (const Entry& other : row.others) {
      const std::wstring path = std::wstring(L"C:\\") + other.name;
      const DWORD attributes = GetFileAttributesW(path.c_str());
      if (other.removed) {
        EXPECT_EQ(attributes, INVALID_FILE_ATTRIBUTES) << Utf8(other.name) << " left behind";
        continue;
      }
      kept.push_back(other.name);
      if (attributes == INVALID_FILE_ATTRIBUTES) {
        ADD_FAILURE() << Utf8(other.name) << " removed";
        continue;
      }
      EXPECT_EQ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0, other.folder) << Utf8(other.name);
      if (!other.folder) {
        EXPECT_EQ(attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY),
                  other.attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY))
            << Utf8(other.name);
        EXPECT_EQ(ReadFileBytes(path), kDecoyBytes) << Utf8(other.name);
      }
    }
    for (const std::wstring& name : TemporaryFilesInRoot()) {
      EXPECT_NE(std::find(kept.begin(), kept.end(), name), kept.end())
          << Utf8(name) << " left behind";
    }
  }
}

// Names drawn in order from a list, where the first ones are taken.
std::uint64_t NextScriptedToken() {
  static const std::uint64_t kTokens[] = {0x1, 0x2, 0x3, 0x4};
  static std::size_t next = 0;
  return kTokens[next++ % 4];
}

TEST_F(RunScriptObstacleTest, WriterTakesTheNextNameWhenOneIsTaken) {
  WriteFileBytes(RunScriptPath(), kOldScript);
  const Entry taken[] = {{L"morvane.bat.0000000000000001.tmp", true},
                         {L"morvane.bat.0000000000000002.tmp", false, kHiddenReadOnly}};
  for (const Entry& entry : taken) {
    Plant(entry, kDecoyBytes);
  }
  EXPECT_EQ(FailureCode([] {
              ReplaceFileContents(RunScriptPath(), "new\r\n", kRunScriptAccess, NextScriptedToken);
            }),
            DWORD{ERROR_SUCCESS});
  EXPECT_EQ(RunScript(), "new\r\n");
  EXPECT_EQ(TemporaryFilesInRoot(), (std::vector<std::wstring>{taken[0].name, taken[1].name}));
  EXPECT_EQ(ReadFileBytes(std::wstring(L"C:\\") + taken[1].name), kDecoyBytes);
}

// What Wine cannot show: it reports a file's access rules from its Unix permissions and keeps
// none that a program sets, so only that the rules read back alike is checked here (Wine's
// rules are entries of the file's own, which are kept); which rules the replaced script gets
// is the portable choice tested as data (script_file_rules_test.cpp).
TEST_F(RunScriptObstacleTest, AttributesAndAccessRulesOfTheScriptSurviveItsReplacement) {
  const auto rules = [] {
    DWORD needed = 0;
    GetFileSecurityW(RunScriptPath().c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &needed);
    std::string descriptor(needed, '\0');
    EXPECT_TRUE(GetFileSecurityW(RunScriptPath().c_str(), DACL_SECURITY_INFORMATION,
                                 descriptor.data(), needed, &needed))
        << GetLastError();
    return descriptor;
  };
  for (const DWORD attributes :
       {DWORD{FILE_ATTRIBUTE_NORMAL}, DWORD{FILE_ATTRIBUTE_HIDDEN},
        DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE}}) {
    SCOPED_TRACE(testing::Message() << "attributes " << attributes);
    Remove(RunScriptPath());
    WriteFileBytes(RunScriptPath(), kOldScript);
    ASSERT_TRUE(SetFileAttributesW(RunScriptPath().c_str(), attributes));
    const std::string before = rules();
    EXPECT_EQ(
        FailureCode([] { ReplaceFileContents(RunScriptPath(), "new\r\n", kRunScriptAccess); }),
        DWORD{ERROR_SUCCESS});
    EXPECT_EQ(RunScript(), "new\r\n");
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY;
    EXPECT_EQ(GetFileAttributesW(RunScriptPath().c_str()) & kKept, attributes & kKept);
    EXPECT_EQ(rules(), before);
  }
}

// Wine keeps no label that a program sets either: the old script's own label comes from SDDL;
// checked are that the new file's security carries it, or not once dropped, and that Wine
// creates the file either way. Which labels are carried is the portable choice.
TEST_F(RunScriptObstacleTest, AnOldScriptsOwnLabelGoesToTheNewFileOrIsLeftToTheFolder) {
  PSECURITY_DESCRIPTOR old = nullptr;
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
      L"O:BAD:P(A;;FA;;;SY)(A;;FA;;;BA)S:(ML;;NW;;;ME)", SDDL_REVISION_1, &old, nullptr));
  const auto* bytes = static_cast<const unsigned char*>(old);
  NewFileSecurity security({bytes, bytes + GetSecurityDescriptorLength(old)}, kRunScriptAccess,
                           L"");
  LocalFree(old);
  for (const bool labelled : {true, false}) {
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL sacl = nullptr;
    void* ace = nullptr;
    GetSecurityDescriptorSacl(security.attributes()->lpSecurityDescriptor, &present, &sacl,
                              &defaulted);
    EXPECT_EQ(present && sacl != nullptr && sacl->AceCount == 1 && GetAce(sacl, 0, &ace) &&
                  static_cast<ACE_HEADER*>(ace)->AceType == SYSTEM_MANDATORY_LABEL_ACE_TYPE,
              labelled);
    const std::wstring path = L"C:\\morvane-label-test.tmp";
    CloseHandle(CreateFileW(path.c_str(), 0, 0, security.attributes(), CREATE_NEW, 0, nullptr));
    EXPECT_TRUE(DeleteFileW(path.c_str())) << "not created: " << GetLastError();
    EXPECT_EQ(security.Drop(SecurityPart::Label), labelled) << "a refused label is left out";
  }
}

}  // namespace
}  // namespace addmorvane::wintest
