// The check of the DOS partition as DOS will start from it, and the copy of its boot sector.
// Everything on the disk is untrusted: any user could have written it. Every offset and count
// is bounded before use, and the check reads only what it needs: the partition table, the
// boot sector, the directories, the FAT sectors of the chains it follows and the expected
// files' clusters. What it reads grows with the expected files, not with the partition.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "dospart/sector_reader.h"
#include "dospart/verdict.h"

namespace addmorvane::dospart {

struct ExpectedFile {
  std::string path;  // a DOS path below the root, e.g. "IO.SYS" or "DOS\HIMEM.SYS"
  std::vector<std::uint8_t> bytes;
  std::string master;  // where the bytes come from, for messages
};

struct Site {
  std::optional<std::uint64_t> partitionOffset;  // bytes; none: the first primary FAT one
  std::optional<std::uint32_t> diskSignature;
  std::vector<ExpectedFile> files;   // each must be there, byte for byte
  std::vector<std::string> outputs;  // may be there, with any content of at most 1 MB
  bool msdos6 = false;               // also hold the partition to MS-DOS up to 6.22's rules
};

// An output file may be at most this long: its chain is followed as far, and no further.
inline constexpr std::uint32_t kMaxOutputBytes = 1 << 20;

// Exits kSound only when every rule holds; otherwise the first rule broken.
Verdict Check(SectorReader& disk, const Site& site);

// The partition's first sector, after checking that it is a FAT boot sector that fits the
// partition.
Verdict ReadBootSector(SectorReader& disk,
                       const Site& site,
                       std::array<std::uint8_t, kSectorBytes>& sector);

}  // namespace addmorvane::dospart
