#include "dospart/check.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <utility>

#include "dospart/layout.h"

namespace addmorvane::dospart {
namespace {

// The FAT specification's limit: a directory holds at most 65536 entries (2 MB).
constexpr std::uint32_t kMaxDirEntries = 65536;
constexpr std::uint32_t kEntryBytes = 32;
// The most sectors one read asks for, so that a buffer never grows with the disk.
constexpr std::uint32_t kRunSectors = 128;

std::uint32_t Le16(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8;
}
std::uint32_t Le32(const std::uint8_t* p) {
  return Le16(p) | Le16(p + 2) << 16;
}

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    }
  }
  return text;
}

// "NAME.EXT" from a directory entry's 8 + 3 bytes.
std::string ShortName(const std::uint8_t* e) {
  std::string base(reinterpret_cast<const char*>(e), 8);
  std::string ext(reinterpret_cast<const char*>(e + 8), 3);
  if (static_cast<std::uint8_t>(base[0]) == 0x05) {
    base[0] = static_cast<char>(0xE5);  // a name that starts with E5h is stored as 05h
  }
  base.erase(base.find_last_not_of(' ') + 1);
  ext.erase(ext.find_last_not_of(' ') + 1);
  // Names go into one-line messages: a byte outside printable ASCII shows as '?', which no
  // expected name holds.
  for (std::string* part : {&base, &ext}) {
    for (char& c : *part) {
      c = c > 0x20 && c < 0x7F ? c : '?';
    }
  }
  return ext.empty() ? base : base + "." + ext;
}

// A long name is a run of entries ahead of its short entry, each with 13 UTF-16 characters
// and the short name's checksum (Microsoft's FAT specification). Only one long name matters
// here: the folder Windows makes on every volume.
class LongName {
 public:
  void Reset() { parts_ = 0; }
  void Add(const std::uint8_t* e) {
    static constexpr int kOffsets[13] = {1, 3, 5, 7, 9, 14, 16, 18, 20, 22, 24, 28, 30};
    const unsigned order = e[0] & 0x1F;
    if ((e[0] & 0x40) != 0) {
      parts_ = order;
      next_ = order;
      checksum_ = e[13];
      text_.fill(0);
    }
    if (order == 0 || order > kMaxParts || order != next_ || e[13] != checksum_) {
      parts_ = 0;
      return;
    }
    for (int k = 0; k < 13; ++k) {
      text_[(order - 1) * 13 + static_cast<unsigned>(k)] =
          static_cast<char16_t>(Le16(e + kOffsets[k]));
    }
    --next_;
  }
  // Whether the long name that ends before short entry `e` is `name` (ASCII, any case).
  bool Is(const std::uint8_t* e, std::string_view name) const {
    if (parts_ == 0 || next_ != 0) {
      return false;
    }
    std::uint8_t sum = 0;
    for (int i = 0; i < 11; ++i) {
      sum = static_cast<std::uint8_t>(((sum & 1) << 7) + (sum >> 1) + e[i]);
    }
    if (sum != checksum_) {
      return false;
    }
    std::size_t i = 0;
    for (; i < name.size(); ++i) {
      const char16_t c = text_[i];
      if (c > 0x7F ||
          Upper(std::string(1, static_cast<char>(c))) != Upper(std::string(1, name[i]))) {
        return false;
      }
    }
    return i == text_.size() || text_[i] == 0 || text_[i] == 0xFFFF;
  }

 private:
  static constexpr std::size_t kMaxParts = 20;  // 255 characters
  std::array<char16_t, kMaxParts * 13> text_{};
  unsigned parts_ = 0, next_ = 0;
  std::uint8_t checksum_ = 0;
};

Verdict Damaged(const std::string& what) {
  return {Code::kDamaged, what + ": run SCANDISK (or CHKDSK /F) and copy the files again"};
}

struct Wanted {
  std::string path;                                  // upper case
  const std::vector<std::uint8_t>* bytes = nullptr;  // none: an output file
  std::string master;
  bool found = false;
  std::uint32_t size = 0;
  std::vector<std::uint32_t> clusters;
};

std::string Differs(const Wanted& w) {
  return w.path + " differs from " + w.master + ": copy it again";
}

class Clusters {
 public:
  Clusters(SectorReader& disk, const Volume& v) : disk_(disk), v_(v) {}

  std::uint32_t ClusterBytes() const { return v_.sectorsPerCluster * kSectorBytes; }
  std::uint64_t ClusterSector(std::uint32_t c) const {
    return v_.dataStart + std::uint64_t{c - 2} * v_.sectorsPerCluster;
  }

  bool ReadSectors(std::uint64_t lba, std::uint32_t count, std::uint8_t* out, Verdict& failure) {
    if (disk_.Read(lba, count, out)) {
      return true;
    }
    failure = {Code::kUnreadable,
               "cannot read sector " + std::to_string(lba) + " of the disk: " + disk_.Error()};
    return false;
  }

  // Follows `name`'s chain from `first` over at most `most` clusters. `ended` says whether the
  // chain ended there; the clusters are claimed, so that two chains that meet are caught.
  bool Follow(const std::string& name,
              std::uint32_t first,
              std::uint32_t most,
              std::vector<std::uint32_t>& clusters,
              bool& ended,
              Verdict& failure) {
    ended = false;
    std::uint32_t c = first;
    const std::size_t me = owners_.size();
    owners_.push_back(name);
    while (true) {
      if (c < 2 || c >= v_.clusterCount + 2) {
        failure = Damaged(name + "'s FAT chain leads out of the partition's clusters");
        return false;
      }
      // A chain that meets a cluster already claimed loops or crosses, also one past `most`.
      const auto it = claimed_.find(c);
      if (it != claimed_.end()) {
        failure = Damaged(it->second == me ? name + "'s FAT chain loops"
                                           : name + "'s FAT chain joins " + owners_[it->second] +
                                                 "'s (a cross-link)");
        return false;
      }
      if (clusters.size() == most) {
        return true;
      }
      claimed_.emplace(c, me);
      clusters.push_back(c);
      std::uint32_t next = 0;
      if (!Entry(c, next, failure)) {
        return false;
      }
      const std::uint32_t end = v_.kind == FatKind::kFat12   ? 0xFF8
                                : v_.kind == FatKind::kFat16 ? 0xFFF8
                                                             : 0x0FFFFFF8;
      if (next >= end) {
        ended = true;
        return true;
      }
      c = next;
    }
  }

  // The FAT's entry for cluster `c`, through a cache of a few FAT sectors.
  bool Entry(std::uint32_t c, std::uint32_t& value, Verdict& failure) {
    const std::uint64_t offset = v_.kind == FatKind::kFat12   ? c + c / 2
                                 : v_.kind == FatKind::kFat16 ? std::uint64_t{c} * 2
                                                              : std::uint64_t{c} * 4;
    const unsigned width = v_.kind == FatKind::kFat32 ? 4 : 2;
    std::uint8_t b[4] = {};
    for (unsigned i = 0; i < width; ++i) {
      const std::uint8_t* sector = FatSector((offset + i) / kSectorBytes, failure);
      if (sector == nullptr) {
        return false;
      }
      b[i] = sector[(offset + i) % kSectorBytes];
    }
    value = v_.kind == FatKind::kFat32 ? Le32(b) & 0x0FFFFFFF : Le16(b);
    if (v_.kind == FatKind::kFat12) {
      value = (c & 1) != 0 ? value >> 4 : value & 0xFFF;
    }
    return true;
  }

 private:
  const std::uint8_t* FatSector(std::uint64_t index, Verdict& failure) {
    for (Slot& s : cache_) {
      if (s.valid && s.index == index) {
        return s.bytes.data();
      }
    }
    Slot& s = cache_[nextSlot_++ % cache_.size()];
    s.valid = false;
    if (index >= v_.fatSectors || !ReadSectors(v_.fatStart + index, 1, s.bytes.data(), failure)) {
      if (index >= v_.fatSectors) {
        failure = Damaged("a FAT entry lies past the FAT");
      }
      return nullptr;
    }
    s.valid = true;
    s.index = index;
    return s.bytes.data();
  }

  struct Slot {
    bool valid = false;
    std::uint64_t index = 0;
    std::array<std::uint8_t, kSectorBytes> bytes{};
  };
  SectorReader& disk_;
  const Volume& v_;
  std::array<Slot, 4> cache_{};
  std::size_t nextSlot_ = 0;
  std::unordered_map<std::uint32_t, std::size_t> claimed_;  // grows with the chains followed
  std::vector<std::string> owners_;
};

class Checker {
 public:
  Checker(SectorReader& disk, const Volume& v, std::vector<Wanted>& wanted)
      : v_(v), part_(disk, v), wanted_(wanted) {}

  Clusters& Part() { return part_; }

  // Walks the folder `path` ("" for the root) and every expected folder below it.
  bool WalkFolder(const std::string& path, std::uint32_t firstCluster, Verdict& failure) {
    const std::string label = path.empty() ? "the root folder" : "folder " + path;
    std::vector<std::uint64_t> runs;  // the folder's sectors, one a cluster or the fixed root
    std::uint32_t sectorsEach = v_.sectorsPerCluster;
    if (path.empty() && v_.kind != FatKind::kFat32) {
      for (std::uint32_t i = 0; i < v_.rootEntries * kEntryBytes / kSectorBytes; ++i) {
        runs.push_back(v_.rootStart + i);
      }
      sectorsEach = 1;
    } else {
      std::vector<std::uint32_t> clusters;
      bool ended = false;
      const std::uint32_t most = kMaxDirEntries * kEntryBytes / part_.ClusterBytes();
      if (firstCluster == 0 || !part_.Follow(label, firstCluster, most, clusters, ended, failure)) {
        if (firstCluster == 0) {
          failure = Damaged(label + " has no clusters");
        }
        return false;
      }
      if (!ended) {
        failure = Damaged(label + " never ends (more than 65536 entries)");
        return false;
      }
      for (std::uint32_t c : clusters) {
        runs.push_back(part_.ClusterSector(c));
      }
    }
    std::vector<std::uint8_t> buffer(std::size_t{sectorsEach} * kSectorBytes);
    LongName longName;
    std::vector<std::pair<std::string, std::uint32_t>> subfolders;
    std::uint32_t slot = 0;
    for (std::uint64_t lba : runs) {
      if (!part_.ReadSectors(lba, sectorsEach, buffer.data(), failure)) {
        return false;
      }
      for (std::size_t at = 0; at < buffer.size(); at += kEntryBytes, ++slot) {
        const std::uint8_t* e = &buffer[at];
        if (path.empty() && slot < 2) {
          firstSlots_[slot] = std::string(reinterpret_cast<const char*>(e), 11);
        }
        if (e[0] == 0x00) {
          return WalkSubfolders(subfolders, failure);
        }
        const std::uint8_t attributes = e[11];
        if (e[0] == 0xE5) {
          longName.Reset();
          continue;
        }
        if ((attributes & 0x3F) == 0x0F) {
          longName.Add(e);
          continue;
        }
        const std::string name = ShortName(e);
        const bool isFolder = (attributes & 0x10) != 0;
        if (name == "." || name == ".." || ((attributes & 0x08) != 0 && !isFolder)) {
          longName.Reset();
          continue;  // the folder itself, its parent, the volume's label
        }
        if (path.empty() && isFolder && longName.Is(e, "System Volume Information")) {
          // Windows' own folder on every volume it mounts. DOS never reads it and the check
          // does not look inside.
          longName.Reset();
          continue;
        }
        longName.Reset();
        const std::uint32_t first =
            Le16(e + 26) | (v_.kind == FatKind::kFat32 ? Le16(e + 20) << 16 : 0);
        std::string full = path;
        full += path.empty() ? "" : "\\";
        full += name;
        if (isFolder && IsExpectedFolder(full)) {
          subfolders.emplace_back(full, first);
          continue;
        }
        Wanted* w = isFolder ? nullptr : Find(full);
        if (w == nullptr) {
          failure = {Code::kFiles, "unexpected " + std::string(isFolder ? "folder " : "file ") +
                                       full + " on the DOS partition: delete it"};
          return false;
        }
        if (!FileChain(*w, first, Le32(e + 28), failure)) {
          return false;
        }
      }
    }
    return WalkSubfolders(subfolders, failure);
  }

  const std::string& FirstSlot(int i) const { return firstSlots_[i]; }

 private:
  bool WalkSubfolders(const std::vector<std::pair<std::string, std::uint32_t>>& subfolders,
                      Verdict& failure) {
    for (const auto& [full, first] : subfolders) {
      if (!WalkFolder(full, first, failure)) {
        return false;
      }
    }
    return true;
  }

  bool IsExpectedFolder(const std::string& folder) const {
    return std::any_of(wanted_.begin(), wanted_.end(), [&](const Wanted& w) {
      return w.path.size() > folder.size() && w.path.compare(0, folder.size(), folder) == 0 &&
             w.path[folder.size()] == '\\';
    });
  }

  Wanted* Find(const std::string& path) {
    for (Wanted& w : wanted_) {
      if (w.path == path) {
        return w.found ? nullptr : &w;  // a second entry of one name is unexpected
      }
    }
    return nullptr;
  }

  bool FileChain(Wanted& w, std::uint32_t first, std::uint32_t size, Verdict& failure) {
    w.found = true;
    w.size = size;
    const std::uint32_t cb = part_.ClusterBytes();
    const std::uint64_t need = (std::uint64_t{size} + cb - 1) / cb;
    if (need == 0 || first == 0) {
      if (need != 0 || first != 0) {
        failure = Damaged(w.path + "'s size and first cluster disagree");
        return false;
      }
      return true;
    }
    const std::uint64_t cap = w.bytes != nullptr ? w.bytes->size() : kMaxOutputBytes;
    const auto most = static_cast<std::uint32_t>(std::min<std::uint64_t>(need, cap / cb + 1));
    bool ended = false;
    if (!part_.Follow(w.path, first, most, w.clusters, ended, failure)) {
      return false;
    }
    if (ended && w.clusters.size() < need) {
      failure = Damaged(w.path + "'s size reaches past the end of its FAT chain");
      return false;
    }
    if (!ended && most == need) {
      failure = Damaged(w.path + "'s FAT chain is longer than its size");
      return false;
    }
    if (!ended) {
      failure = {Code::kFiles, w.bytes != nullptr
                                   ? Differs(w)
                                   : "output file " + w.path + " is larger than 1 MB: delete it"};
      return false;
    }
    return true;
  }

  const Volume& v_;
  Clusters part_;
  std::vector<Wanted>& wanted_;
  std::array<std::string, 2> firstSlots_;
};

// Compares `w`'s clusters with `bytes`, reading runs of neighbouring clusters at once.
bool SameBytes(Clusters& part,
               const Wanted& w,
               const std::vector<std::uint8_t>& bytes,
               bool& same,
               Verdict& failure) {
  same = w.size == bytes.size();
  if (!same) {
    return true;
  }
  const std::uint32_t spc = part.ClusterBytes() / kSectorBytes;
  std::vector<std::uint8_t> buffer(std::size_t{kRunSectors} * kSectorBytes);
  std::size_t done = 0;
  for (std::size_t i = 0; i < w.clusters.size() && same;) {
    std::size_t n = 1;
    while (i + n < w.clusters.size() && w.clusters[i + n] == w.clusters[i] + n &&
           (n + 1) * spc <= kRunSectors) {
      ++n;
    }
    const auto sectors = static_cast<std::uint32_t>(n * spc);
    const std::size_t want =
        std::min<std::size_t>(bytes.size() - done, std::size_t{sectors} * kSectorBytes);
    const auto read = static_cast<std::uint32_t>((want + kSectorBytes - 1) / kSectorBytes);
    if (!part.ReadSectors(part.ClusterSector(w.clusters[i]), read, buffer.data(), failure)) {
      return false;
    }
    same = std::memcmp(buffer.data(), bytes.data() + done, want) == 0;
    done += want;
    i += n;
  }
  return true;
}

Verdict Locate(SectorReader& disk,
               const Site& site,
               bool forStart,
               Partition& partition,
               std::array<std::uint8_t, kSectorBytes>& sector,
               Volume& volume) {
  Verdict verdict = FindPartition(disk, site.partitionOffset, site.diskSignature, partition);
  if (verdict.code != Code::kSound) {
    return verdict;
  }
  if (!disk.Read(partition.start, 1, sector.data())) {
    return {Code::kUnreadable, "cannot read the partition's first sector: " + disk.Error()};
  }
  return ReadVolume(sector.data(), partition, forStart, volume);
}

}  // namespace

Verdict ReadBootSector(SectorReader& disk,
                       const Site& site,
                       std::array<std::uint8_t, kSectorBytes>& sector) {
  Partition partition;
  Volume volume;
  return Locate(disk, site, false, partition, sector, volume);
}

Verdict Check(SectorReader& disk, const Site& site) {
  Partition partition;
  Volume v;
  std::array<std::uint8_t, kSectorBytes> bootSector{};
  Verdict verdict = Locate(disk, site, true, partition, bootSector, v);
  if (verdict.code != Code::kSound) {
    return verdict;
  }
  // MS-DOS up to 6.22 knows FAT16 as types 04h and 06h only, through CHS (above): 0Ch and 0Eh
  // came with Windows 95 OSR2 and mean the LBA INT 13h extensions (Microsoft's partition-type
  // table for FAT32, the s_partition structure; KB Q151414).
  if (site.msdos6 && partition.type != 0x04 && partition.type != 0x06) {
    return {Code::kMsDos6,
            "MS-DOS 6.22 starts only from a FAT16 partition of type 04h or 06h: "
            "make one below 8 GB, or use MS-DOS 7.1 or FreeDOS"};
  }

  std::vector<Wanted> wanted;
  const std::vector<std::uint8_t> boot(bootSector.begin(), bootSector.end());
  const Wanted* bootFile = nullptr;
  for (const ExpectedFile& f : site.files) {
    wanted.push_back({Upper(f.path), &f.bytes, f.master, false, 0, {}});
  }
  for (const std::string& name : site.outputs) {
    wanted.push_back({Upper(name), nullptr, {}, false, 0, {}});
  }
  const auto hasBootFile = [&] {
    return std::any_of(wanted.begin(), wanted.end(),
                       [](const Wanted& w) { return w.path == "BOOTSECT.DOS"; });
  };
  if (!hasBootFile()) {
    wanted.push_back({"BOOTSECT.DOS", &boot, {}, false, 0, {}});
  }
  Checker checker(disk, v, wanted);
  Verdict failure;
  if (!checker.WalkFolder("", v.rootCluster, failure)) {
    return failure;
  }
  for (const Wanted& w : wanted) {
    if (w.path == "BOOTSECT.DOS") {
      bootFile = &w;
    }
    if (!w.found && w.bytes != nullptr && w.bytes != &boot) {
      return {Code::kFiles, w.path + " is missing on the DOS partition: copy it there"};
    }
  }
  if (site.msdos6) {
    // KB Q66530 (SYS.COM requirements): the system files must occupy the root's first two
    // entries; SYS puts them there.
    if (checker.FirstSlot(0) != "IO      SYS" || checker.FirstSlot(1) != "MSDOS   SYS") {
      return {Code::kMsDos6,
              "IO.SYS and MSDOS.SYS are not the root's first two entries: "
              "run SYS C: again"};
    }
    // KB Q66530: from MS-DOS 5.0 the boot sector loads IO.SYS's first three sectors in one go,
    // so they must be contiguous; the rest may lie anywhere.
    for (const Wanted& w : wanted) {
      const std::size_t spanned = (3 + v.sectorsPerCluster - 1) / v.sectorsPerCluster;
      if (w.path != "IO.SYS") {
        continue;
      }
      for (std::size_t i = 1; i < spanned && i < w.clusters.size(); ++i) {
        if (w.clusters[i] != w.clusters[i - 1] + 1) {
          return {Code::kMsDos6,
                  "IO.SYS's first three sectors are not contiguous: run SYS C: "
                  "again"};
        }
      }
    }
  }
  if (bootFile == nullptr || !bootFile->found) {
    return {Code::kBootFile,
            "BOOTSECT.DOS is missing on the DOS partition: make it with "
            "bootsect and copy it there"};
  }
  for (const Wanted& w : wanted) {
    bool same = true;
    if (&w == bootFile && !SameBytes(checker.Part(), w, boot, same, failure)) {
      return failure;
    }
    if (!same) {
      return {Code::kBootFile,
              "BOOTSECT.DOS is not the partition's own first sector (left "
              "from before the last SYS): make it again with bootsect"};
    }
    if (w.bytes != nullptr && w.found && w.bytes != &boot &&
        !SameBytes(checker.Part(), w, *w.bytes, same, failure)) {
      return failure;
    }
    if (!same) {
      return {Code::kFiles, Differs(w)};
    }
  }
  return {};
}

}  // namespace addmorvane::dospart
