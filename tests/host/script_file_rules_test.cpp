// What the run script's writer makes of what stands at the script's name (attributes and
// reparse tags as data) and of the old script's access list (descriptors as data, each with
// its SDDL beside it).
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

#include "files/at_name.h"
#include "files/new_access.h"
#include "runscript/vocabulary.h"

namespace addmorvane {
namespace {

TEST(ScriptFileRules, OnlyAPlainFileAtTheNameIsWritten) {
  struct Case {
    const char* what;
    std::uint32_t attributes;
    std::uint32_t reparseTag;
    AtName verdict;
  };
  const Case cases[] = {
      {"normal file", 0x80, 0, AtName::File},
      {"hidden system file", 0x26, 0, AtName::File},
      {"read-only file", 0x21, 0, AtName::ReadOnlyFile},
      {"folder", 0x10, 0, AtName::Folder},
      {"symbolic link to a file", 0x420, 0xA000000C, AtName::Link},
      {"read-only symbolic link", 0x421, 0xA000000C, AtName::Link},
      {"junction", 0x410, 0xA0000003, AtName::Link},
      {"link of the Linux subsystem (a name surrogate)", 0x420, 0xA000001D, AtName::Link},
      {"app execution alias", 0x420, 0x8000001B, AtName::Link},
      {"deduplicated file", 0x420, 0x80000013, AtName::File},
      {"file compressed by the system", 0x420, 0x80000017, AtName::File},
      {"cloud file", 0x420, 0x9000001A, AtName::File},
      {"read-only cloud file", 0x421, 0x9000601A, AtName::ReadOnlyFile},
      {"cloud folder", 0x410, 0x9000001A, AtName::Folder},
      {"a link's tag without the reparse attribute", 0x20, 0xA000000C, AtName::File},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(JudgeWhatIsAtName(c.attributes, c.reparseTag), c.verdict) << c.what;
  }
}

TEST(ScriptFileRules, OldAccessListIsKeptOnlyWhereSomeoneSetIt) {
  constexpr std::uint8_t kId = 0x10;
  struct Case {
    const char* sddl;
    AccessListPicture old;
    NewAccess choice;
  };
  const Case cases[] = {
      {"(no old script)", {}, NewAccess::Fixed},
      // Created in C:\ by an administrator: everything inherited, users may modify.
      {"O:BAD:AI(A;ID;FA;;;BA)(A;ID;FA;;;SY)(A;ID;0x1301bf;;;AU)(A;ID;0x1200a9;;;BU)",
       {true, false, {kId, kId, kId, kId}},
       NewAccess::Fixed},
      {"O:BAD:AI(A;OICIID;FA;;;BA)(A;OICIID;0x1301bf;;;AU)",
       {true, false, {0x13, 0x13}},
       NewAccess::Fixed},
      // The list the program sets, or an administrator's "icacls /inheritance:r".
      {"O:BAD:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;0x1200a9;;;BU)",
       {true, true, {0, 0, 0}},
       NewAccess::KeepOld},
      {"O:BAD:PAI(A;ID;FA;;;BA)", {true, true, {kId}}, NewAccess::KeepOld},
      {"O:BAD:P", {true, true, {}}, NewAccess::KeepOld},
      // A site's own grant beside what C:\ hands down.
      {"O:BAD:AI(A;;0x1301bf;;;S-1-5-21-1-2-3-1003)(A;ID;FA;;;BA)(A;ID;0x1301bf;;;AU)",
       {true, false, {0, kId, kId}},
       NewAccess::KeepOld},
      {"O:BAD:AI(A;ID;FA;;;BA)(D;;FA;;;AU)", {true, false, {kId, 0}}, NewAccess::KeepOld},
      {"O:BAD:(A;OICI;FA;;;BA)", {true, false, {0x03}}, NewAccess::KeepOld},
      // As Wine reports any file: explicit entries from the Unix permissions.
      {"O:S-1-5-21-1-2-3-1000D:(A;;FA;;;SY)(A;;FA;;;S-1-5-21-1-2-3-1000)(A;;0x1200a9;;;WD)",
       {true, false, {0, 0, 0}},
       NewAccess::KeepOld},
      // A null DACL lets anyone do anything, protected or not: nobody's choice worth keeping.
      {"O:BAD:PNO_ACCESS_CONTROL", {false, true, {}}, NewAccess::Fixed},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ChooseNewAccess(c.old), c.choice) << c.sddl;
  }
  EXPECT_EQ(kRunScriptAccess, L"O:BAD:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;0x1200a9;;;BU)");
}

TEST(ScriptFileRules, OnlyALabelSetOnTheScriptItselfIsCarriedAndRefusedPartsAreDropped) {
  struct Entry {
    const char* sddl;
    std::uint8_t type;
    std::uint8_t flags;
    bool carried;
  };
  const Entry entries[] = {
      {"S:(ML;;NW;;;ME), icacls /setintegritylevel M", 0x11, 0x00, true},
      {"S:(ML;;NWNR;;;LW)", 0x11, 0x00, true},
      {"S:AI(ML;ID;NW;;;HI), inherited from C:\\", 0x11, 0x10, false},
      {"S:(AU;SA;FA;;;WD), an audit entry", 0x02, 0x40, false},
  };
  for (const Entry& e : entries) {
    EXPECT_EQ(CarriesSystemEntry(e.type, e.flags), e.carried) << e.sddl;
  }
  // Refused by the system: another owner (1307), a label (1314, 1299); anything else stands.
  const std::pair<unsigned long, SecurityPart> refusals[] = {{1307, SecurityPart::Owner},
                                                             {1314, SecurityPart::Label},
                                                             {1299, SecurityPart::Label},
                                                             {1341, SecurityPart::None},
                                                             {5, SecurityPart::None}};
  for (const auto& [error, part] : refusals) {
    EXPECT_EQ(SecurityPartRefusedBy(error), part) << error;
  }
}

}  // namespace
}  // namespace addmorvane
