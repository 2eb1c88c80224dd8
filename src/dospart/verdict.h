// What a check ends with: an exit code from a small fixed table and one line that names the
// rule broken and the fix. The table is documented in docs/dospart-check.md; the codes never
// change meaning, since the launch script and technicians' scripts test them.
#pragma once

#include <string>

namespace addmorvane::dospart {

enum class Code {
  kSound = 0,       // every rule holds
  kUsage = 1,       // the command line is wrong
  kUnreadable = 2,  // the disk, an image, a master copy or the output file cannot be used;
                    // the output file exists; the volume is still mounted
  kDisk = 3,        // the partition table: GPT, not primary, not a DOS FAT type, not C:
  kBootSector = 4,  // the partition's boot sector or its BPB
  kMsDos6 = 5,      // a rule of MS-DOS up to 6.22 (asked for with --msdos6)
  kDamaged = 6,     // the file system's structures: a chain or a directory is malformed
  kFiles = 7,       // a file is missing, unexpected or differs from its master copy
  kBootFile = 8,    // BOOTSECT.DOS is not the partition's own first sector
};

struct Verdict {
  Code code = Code::kSound;
  std::string message;  // one line, no line end; empty when sound
};

}  // namespace addmorvane::dospart
