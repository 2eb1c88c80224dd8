// The partition table and the boot sector of the DOS partition, read and judged by DOS's rules.
#pragma once

#include <cstdint>
#include <optional>

#include "dospart/sector_reader.h"
#include "dospart/verdict.h"

namespace addmorvane::dospart {

struct Partition {
  std::uint64_t start = 0;  // first sector, counted from the disk's first
  std::uint64_t count = 0;  // sectors
  std::uint8_t type = 0;
};

// Finds the DOS partition in the disk's MBR: the primary one that starts at `byteOffset`, or
// without it the first primary one of a FAT type. Holds it to the disk's rules (MBR, primary,
// a FAT type, the only primary FAT partition, within the disk and the reach of its type).
// `signature`, when known, must be the MBR's disk signature.
Verdict FindPartition(SectorReader& disk,
                      std::optional<std::uint64_t> byteOffset,
                      std::optional<std::uint32_t> signature,
                      Partition& found);

enum class FatKind { kFat12, kFat16, kFat32 };

// The boot sector's BPB, bounded: every region lies inside the partition.
struct Volume {
  FatKind kind = FatKind::kFat12;
  std::uint32_t sectorsPerCluster = 0;
  std::uint64_t fatStart = 0;  // disk sectors of the active FAT
  std::uint32_t fatSectors = 0;
  std::uint64_t rootStart = 0;  // FAT12/16: the fixed root directory
  std::uint32_t rootEntries = 0;
  std::uint32_t rootCluster = 0;  // FAT32
  std::uint64_t dataStart = 0;    // disk sector of cluster 2
  std::uint32_t clusterCount = 0;
  std::uint8_t driveNumber = 0;
  std::uint32_t heads = 0;
  std::uint32_t sectorsPerTrack = 0;
  std::uint32_t hiddenSectors = 0;
};

// Judges `sector` as a FAT boot sector for `partition`: 55AA, a sound BPB that fits the
// partition; with `forStart` also the rules DOS's start needs (hidden sectors, drive 80h,
// clusters of at most 32 KB, a type that matches the FAT, CHS reach).
Verdict ReadVolume(const std::uint8_t* sector,
                   const Partition& partition,
                   bool forStart,
                   Volume& volume);

}  // namespace addmorvane::dospart
