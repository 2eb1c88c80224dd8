#include "dospart/layout.h"

#include <array>
#include <string>

namespace addmorvane::dospart {
namespace {

std::uint32_t Le16(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8;
}
std::uint32_t Le32(const std::uint8_t* p) {
  return Le16(p) | Le16(p + 2) << 16;
}

std::string Hex2(std::uint8_t value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  return {kDigits[value >> 4], kDigits[value & 15], 'h'};
}

Verdict Fail(Code code, std::string message) {
  return {code, std::move(message)};
}

// The partition types DOS gives a letter, as Microsoft's partition-type table for Windows 95
// OSR2's FAT32 lists them (the s_partition structure; KB Q151414): 01 12-bit FAT, 04 16-bit
// FAT below 32 MB, 06 16-bit FAT, 0B FAT32, and 0C/0E as 0B/06 but read through the LBA
// INT 13h extensions. Hidden (1xh) and Windows-only types get none.
bool IsDosFat(std::uint8_t type) {
  return type == 0x01 || type == 0x04 || type == 0x06 || type == 0x0B || type == 0x0C ||
         type == 0x0E;
}
// These go through the BIOS's CHS INT 13h calls, which reach cylinder 1024 and no further
// (KB Q39531).
bool IsChsType(std::uint8_t type) {
  return type == 0x01 || type == 0x04 || type == 0x06 || type == 0x0B;
}
bool IsExtended(std::uint8_t type) {
  return type == 0x05 || type == 0x0F || type == 0x85;
}

}  // namespace

Verdict FindPartition(SectorReader& disk,
                      std::optional<std::uint64_t> byteOffset,
                      std::optional<std::uint32_t> signature,
                      Partition& found) {
  std::array<std::uint8_t, kSectorBytes> mbr{};
  if (!disk.Read(0, 1, mbr.data())) {
    return Fail(Code::kUnreadable, "cannot read the disk's first sector: " + disk.Error());
  }
  if (mbr[510] != 0x55 || mbr[511] != 0xAA) {
    return Fail(Code::kDisk,
                "the disk has no MBR (no 55AA in its first sector): "
                "DOS starts only from an MBR disk");
  }
  if (signature && Le32(&mbr[440]) != *signature) {
    return Fail(Code::kUnreadable, "the disk's signature changed while it was read: try again");
  }
  std::array<Partition, 4> entries{};
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::uint8_t* e = &mbr[446 + 16 * i];
    entries[i] = {Le32(e + 8), Le32(e + 12), e[4]};
    if (entries[i].type == 0xEE) {
      return Fail(Code::kDisk, "the disk is GPT, not MBR: DOS starts only from an MBR disk");
    }
  }
  const Partition* chosen = nullptr;
  bool inExtended = false;
  for (const Partition& e : entries) {
    if (e.type == 0 || e.count == 0) {
      continue;
    }
    const bool matches = byteOffset ? e.start * kSectorBytes == *byteOffset : IsDosFat(e.type);
    if (matches && !IsExtended(e.type) && chosen == nullptr) {
      chosen = &e;
    }
    if (IsExtended(e.type) && (byteOffset ? *byteOffset / kSectorBytes > e.start &&
                                                *byteOffset / kSectorBytes < e.start + e.count
                                          : true)) {
      inExtended = true;
    }
  }
  if (chosen == nullptr) {
    // KB Q51978: DOS gives C: to the primary DOS partition of the first disk; a logical drive
    // in an extended partition gets a later letter.
    if (inExtended) {
      return Fail(Code::kDisk,
                  "the DOS partition is a logical drive, not a primary partition: "
                  "DOS calls only a primary partition C:; make it primary");
    }
    return Fail(Code::kDisk, byteOffset ? "no primary partition starts at byte " +
                                              std::to_string(*byteOffset) +
                                              " of the disk: check the volume's {GUID}"
                                        : std::string("the disk has no FAT partition: "
                                                      "make one and format it FAT"));
  }
  found = *chosen;
  if (!IsDosFat(found.type)) {
    return Fail(Code::kDisk, "the partition's type is " + Hex2(found.type) +
                                 ", not a FAT type DOS reads (01h, 04h, 06h, 0Bh, 0Ch, 0Eh): "
                                 "make it a FAT partition");
  }
  // KB Q51978 does not say which of several primary DOS partitions gets C:: only one may be.
  for (const Partition& e : entries) {
    if (&e != chosen && e.count != 0 && IsDosFat(e.type)) {
      return Fail(Code::kDisk,
                  "another primary FAT partition is on the disk: DOS may call it "
                  "C:; keep the DOS partition the only one");
    }
  }
  if (found.start + found.count > disk.SectorCount()) {
    return Fail(Code::kDisk, "the partition reaches past the disk's end: make it again");
  }
  return {};
}

Verdict ReadVolume(const std::uint8_t* s, const Partition& partition, bool forStart, Volume& v) {
  const std::string sys = "format it again and run SYS C:";
  if (s[510] != 0x55 || s[511] != 0xAA) {
    return Fail(Code::kBootSector,
                "the partition's first sector does not end with 55AA, so it "
                "is no boot sector: " +
                    sys);
  }
  // EB xx 90 or E9: the jump DOS's FORMAT writes. Windows 95 OSR2, 98 and Me (MSWIN4.1) write
  // 0Eh in place of the NOP to make their own code read through the INT 13h extensions (LBA).
  if (!(s[0] == 0xEB && (s[2] == 0x90 || s[2] == 0x0E)) && s[0] != 0xE9) {
    return Fail(Code::kBootSector,
                "the partition's first sector starts with no jump, so it "
                "is no FAT boot sector: " +
                    sys);
  }
  // The BPB, as Microsoft's FAT specification lays it out (fatgen103).
  const std::uint32_t bytesPerSector = Le16(s + 11);
  v.sectorsPerCluster = s[13];
  const std::uint32_t reserved = Le16(s + 14);
  const std::uint32_t fats = s[16];
  v.rootEntries = Le16(s + 17);
  const std::uint32_t total16 = Le16(s + 19);
  const std::uint32_t fat16Size = Le16(s + 22);
  v.sectorsPerTrack = Le16(s + 24);
  v.heads = Le16(s + 26);
  v.hiddenSectors = Le32(s + 28);
  const std::uint32_t total = total16 != 0 ? total16 : Le32(s + 32);
  const bool fat32Layout = fat16Size == 0;
  v.fatSectors = fat32Layout ? Le32(s + 36) : fat16Size;
  std::uint32_t activeFat = 0;
  if (fat32Layout && (Le16(s + 40) & 0x80) != 0) {
    activeFat = Le16(s + 40) & 0x0F;
  }
  v.rootCluster = fat32Layout ? Le32(s + 44) : 0;
  v.driveNumber = fat32Layout ? s[64] : s[36];

  const auto unsound = [&](const char* what) {
    return Fail(Code::kBootSector,
                std::string("the boot sector's BPB is not sound (") + what + "): " + sys);
  };
  const std::uint32_t spc = v.sectorsPerCluster;
  if (bytesPerSector != kSectorBytes) {
    return unsound("sectors are not of 512 bytes");
  }
  if (spc == 0 || (spc & (spc - 1)) != 0) {
    return unsound("sectors per cluster is not a power of two");
  }
  if (reserved == 0 || fats == 0 || fats > 2 || activeFat >= fats || v.fatSectors == 0) {
    return unsound("reserved sectors or FATs");
  }
  if (total == 0 || total > partition.count) {
    return unsound("it claims more sectors than the partition has");
  }
  if ((v.rootEntries * 32) % kSectorBytes != 0 || fat32Layout != (v.rootEntries == 0)) {
    return unsound("root directory size");
  }
  const std::uint64_t rootSectors = v.rootEntries * 32 / kSectorBytes;
  const std::uint64_t meta = reserved + std::uint64_t{fats} * v.fatSectors + rootSectors;
  if (meta >= total) {
    return unsound("FATs and root directory fill the whole partition");
  }
  const std::uint64_t clusters = (total - meta) / spc;
  // The FAT type follows from the cluster count alone (fatgen103).
  v.kind = clusters < 4085 ? FatKind::kFat12 : clusters < 65525 ? FatKind::kFat16 : FatKind::kFat32;
  if ((v.kind == FatKind::kFat32) != fat32Layout || clusters > 0x0FFFFFF5) {
    return unsound("its FAT type does not match its cluster count");
  }
  v.clusterCount = static_cast<std::uint32_t>(clusters);
  const std::uint64_t entryBits = v.kind == FatKind::kFat12   ? 12
                                  : v.kind == FatKind::kFat16 ? 16
                                                              : 32;
  if ((v.clusterCount + 2) * entryBits > std::uint64_t{v.fatSectors} * kSectorBytes * 8) {
    return unsound("the FAT is too small for its clusters");
  }
  if (fat32Layout && (v.rootCluster < 2 || v.rootCluster >= v.clusterCount + 2)) {
    return unsound("root directory cluster out of range");
  }
  v.fatStart = partition.start + reserved + std::uint64_t{activeFat} * v.fatSectors;
  v.rootStart = partition.start + reserved + std::uint64_t{fats} * v.fatSectors;
  v.dataStart = v.rootStart + rootSectors;
  if (!forStart) {
    return {};
  }

  if (v.hiddenSectors != partition.start) {
    return Fail(Code::kBootSector,
                "the boot sector's hidden sectors (" + std::to_string(v.hiddenSectors) +
                    ") are not the partition's start (" + std::to_string(partition.start) +
                    "), so DOS finds no system: format it again in place and run SYS C:");
  }
  if (v.driveNumber != 0x80) {
    return Fail(Code::kBootSector, "the boot sector's drive number is " + Hex2(v.driveNumber) +
                                       ", not 80h (the first hard disk): run SYS C: again "
                                       "from DOS started on this PC");
  }
  // No MS-DOS or Windows 9x reads 64 KB clusters (KB Q127851).
  if (spc * kSectorBytes > 32768) {
    return Fail(Code::kBootSector, "clusters of " + std::to_string(spc / 2) +
                                       " KB: no MS-DOS or Windows 9x reads more than 32 KB; "
                                       "format it again with smaller clusters");
  }
  const bool fat32Type = partition.type == 0x0B || partition.type == 0x0C;
  if (fat32Type != (v.kind == FatKind::kFat32) ||
      (partition.type == 0x01 && v.kind != FatKind::kFat12)) {
    return Fail(Code::kDisk, "the partition's type " + Hex2(partition.type) +
                                 " does not match its FAT: use 0Bh/0Ch for FAT32, "
                                 "04h/06h/0Eh for FAT16, 01h/04h/06h/0Eh for FAT12");
  }
  // Type 04h is FAT16 below 32 MB, which DOS before 4.0 reads with 16-bit sector numbers.
  if (partition.type == 0x04 && partition.count >= 65536) {
    return Fail(Code::kDisk,
                "the partition has type 04h, which is for FAT16 below 32 MB: "
                "set type 06h");
  }
  // KB Q39531: CHS calls reach the first 1024 cylinders, by the geometry in the BPB.
  if (IsChsType(partition.type)) {
    if (v.heads == 0 || v.heads > 255 || v.sectorsPerTrack == 0 || v.sectorsPerTrack > 63) {
      return unsound("heads or sectors per track outside what the BIOS reports");
    }
    const std::uint64_t reach = 1024ULL * v.heads * v.sectorsPerTrack;
    if (partition.start + partition.count > reach) {
      return Fail(Code::kDisk, "the partition (type " + Hex2(partition.type) +
                                   ") ends past cylinder 1024 (sector " + std::to_string(reach) +
                                   "), which DOS cannot reach: move it below 8 GB, or use "
                                   "type 0Ch/0Eh with MS-DOS 7.1 or FreeDOS");
    }
  }
  return {};
}

}  // namespace addmorvane::dospart
