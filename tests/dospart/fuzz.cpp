// libFuzzer target: the check and bootsect on a disk of any content. An input is a list of
// sectors, 8 bytes of LBA and 512 of content each; other sectors read as zeros, and reads past the
// largest LBA fail. DOSPART_SEED_IMAGE=disk DOSPART_SEED_OUT=file writes the sectors the check of
// a test disk reads, as a seed, and quits; DOSPART_MASTER names make-images' folder (the kit).
#include <cstdlib>
#include <cstring>
#include <map>

#include "image_disk.h"

using namespace addmorvane::dospart;

namespace {

Site site;

class InputDisk : public SectorReader {
 public:
  InputDisk(const std::uint8_t* data, std::size_t size) {
    for (std::size_t at = 0; at + 8 + kSectorBytes <= size; at += 8 + kSectorBytes) {
      std::uint64_t lba = 0;
      std::memcpy(&lba, data + at, 8);
      lba %= 1ULL << 40;
      sectors_.emplace(lba, data + at + 8);
      count_ = std::max(count_, lba + 1);
    }
  }
  bool Read(std::uint64_t lba, std::uint32_t count, std::uint8_t* out) override {
    for (std::uint32_t i = 0; i < count; ++i, out += kSectorBytes) {
      if (lba + i >= count_) {
        return false;
      }
      const auto it = sectors_.find(lba + i);
      if (it == sectors_.end()) {
        std::memset(out, 0, kSectorBytes);
      } else {
        std::memcpy(out, it->second, kSectorBytes);
      }
    }
    return true;
  }
  std::uint64_t SectorCount() const override { return count_; }
  std::string Error() const override { return "past the end"; }

 private:
  std::map<std::uint64_t, const std::uint8_t*> sectors_;
  std::uint64_t count_ = 0;
};

// Reads an image file and writes each sector it is asked for, once, as an input record.
class Recorder : public ImageDisk {
 public:
  Recorder(const char* image, const char* out) : ImageDisk(image), out_(out) {}
  bool Read(std::uint64_t lba, std::uint32_t count, std::uint8_t* out) override {
    const bool read = ImageDisk::Read(lba, count, out);
    for (std::uint32_t i = 0; i < count && read; ++i) {
      if (seen_.emplace(lba + i, true).second) {
        const std::uint64_t at = lba + i;
        out_.write(reinterpret_cast<const char*>(&at), 8);
        out_.write(reinterpret_cast<const char*>(out + i * kSectorBytes), kSectorBytes);
      }
    }
    return read;
  }
  void End() {  // the disk's size, as a last zero sector
    const std::uint64_t last = SectorCount() - 1;
    const std::array<char, kSectorBytes> zero{};
    out_.write(reinterpret_cast<const char*>(&last), 8);
    out_.write(zero.data(), zero.size());
  }

 private:
  std::ofstream out_;
  std::map<std::uint64_t, bool> seen_;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (const char* master = std::getenv("DOSPART_MASTER")) {
    site = Kit(master, false);
  }
  const char* image = std::getenv("DOSPART_SEED_IMAGE");
  const char* out = std::getenv("DOSPART_SEED_OUT");
  if (image != nullptr && out != nullptr) {
    Recorder recorder(image, out);
    site.msdos6 = true;
    Check(recorder, site);
    std::array<std::uint8_t, kSectorBytes> sector{};
    ReadBootSector(recorder, site, sector);
    recorder.End();
    std::exit(0);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  InputDisk disk(data, size);
  for (bool msdos6 : {false, true}) {
    site.msdos6 = msdos6;
    const Verdict verdict = Check(disk, site);
    if (verdict.message.find('\n') != std::string::npos ||
        (verdict.code == Code::kSound) != verdict.message.empty()) {
      std::abort();  // one line for each failure, none for a sound disk
    }
  }
  std::array<std::uint8_t, kSectorBytes> sector{};
  ReadBootSector(disk, site, sector);
  return 0;
}
