// The checker on disks made by the real tools (tests/dospart/make-images), one case a row.
#include <gtest/gtest.h>

#include "image_disk.h"

namespace addmorvane::dospart {
namespace {

const std::string kDir = DOSPART_IMAGES;

struct Row {
  const char* image;
  bool msdos6;
  int code;          // of check
  const char* says;  // a phrase of its message
  int bootsect;      // of bootsect
};

// clang-format off
const Row kRows[] = {
    {"sound",       true,  0, "",                     0},
    {"fat12",       false, 0, "",                     0},
    {"fat32",       false, 0, "",                     0},
    {"lba",         false, 0, "",                     0},
    {"extra-root",  true,  7, "unexpected file EXTRA.TXT", 0},
    {"extra-sub",   true,  7, "UTIL\\EXTRA.TXT",      0},
    {"tester",      true,  7, "MORVANE.COM differs",  0},
    {"runscript",   true,  7, "MORVANE.BAT differs",  0},
    {"sysfirst",    true,  5, "first two entries",    0},
    {"sysfirst",    false, 0, "",                     0},
    {"drive81",     true,  4, "81h",                  0},
    {"clusters64k", false, 4, "64 KB",                0},
    {"past8g",      true,  3, "cylinder 1024",        0},
    {"type04",      false, 3, "type 04h",             0},
    {"type01",      false, 3, "type 01h",             0},
    {"gpt",         false, 3, "GPT",                  3},
    {"logical",     false, 3, "logical drive",        3},
    {"loop",        true,  6, "loops",                0},
    {"crosslink",   true,  6, "cross-link",           0},
    {"sizepast",    true,  6, "past the end",         0},
    {"stale",       true,  8, "BOOTSECT.DOS",         0},
    {"notfat",      false, 4, "55AA",                 4},
};
// clang-format on

TEST(DospartImages, EachDiskEndsWithItsCode) {
  for (const Row& row : kRows) {
    ImageDisk disk(kDir + "/" + row.image + ".img");
    const Verdict verdict = Check(disk, Kit(kDir, row.msdos6));
    EXPECT_EQ(static_cast<int>(verdict.code), row.code) << row.image << ": " << verdict.message;
    EXPECT_NE(verdict.message.find(row.says), std::string::npos)
        << row.image << ": " << verdict.message;
    EXPECT_EQ(verdict.message.find('\n'), std::string::npos) << row.image;

    std::array<std::uint8_t, kSectorBytes> sector{};
    ImageDisk again(kDir + "/" + row.image + ".img");
    EXPECT_EQ(static_cast<int>(ReadBootSector(again, Site{}, sector).code), row.bootsect)
        << row.image;
    if (row.code == 0) {  // the first sector as the recipe copied it
      const std::vector<std::uint8_t> copy = FileBytes(kDir + "/" + row.image + ".sec");
      EXPECT_TRUE(std::equal(sector.begin(), sector.end(), copy.begin(), copy.end())) << row.image;
    }
  }
}

}  // namespace
}  // namespace addmorvane::dospart
