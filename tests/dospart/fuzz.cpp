// libFuzzer target: the check and bootsect on a disk of any content. An input is a list of
// sectors, each 8 bytes of LBA and 512 of content; any other sector reads as zeros, and reads
// past the disk's size (the largest LBA + 1) fail. Seeds are the sectors that the check of
// each real test disk reads (DOSPART_SEED_IMAGE=disk DOSPART_SEED_OUT=file: write one, quit);
// DOSPART_MASTER names the folder with the kit's master copies the check compares with.
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>

#include "dospart/check.h"

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
class Recorder : public SectorReader {
 public:
  Recorder(const char* image, const char* out) : in_(image, std::ios::binary), out_(out) {
    in_.seekg(0, std::ios::end);
    count_ = static_cast<std::uint64_t>(in_.tellg()) / kSectorBytes;
  }
  bool Read(std::uint64_t lba, std::uint32_t count, std::uint8_t* out) override {
    in_.seekg(static_cast<std::streamoff>(lba * kSectorBytes));
    in_.read(reinterpret_cast<char*>(out), std::streamsize{count} * kSectorBytes);
    for (std::uint32_t i = 0; i < count && in_; ++i) {
      if (seen_.emplace(lba + i, true).second) {
        const std::uint64_t at = lba + i;
        out_.write(reinterpret_cast<const char*>(&at), 8);
        out_.write(reinterpret_cast<const char*>(out + i * kSectorBytes), kSectorBytes);
      }
    }
    return static_cast<bool>(in_);
  }
  std::uint64_t SectorCount() const override { return count_; }
  std::string Error() const override { return "past the end"; }
  void End() {  // the disk's size, as a last zero sector
    const std::uint64_t last = count_ - 1;
    const std::array<char, kSectorBytes> zero{};
    out_.write(reinterpret_cast<const char*>(&last), 8);
    out_.write(zero.data(), zero.size());
  }

 private:
  std::ifstream in_;
  std::ofstream out_;
  std::uint64_t count_ = 0;
  std::map<std::uint64_t, bool> seen_;
};

std::vector<std::uint8_t> Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (const char* master = std::getenv("DOSPART_MASTER")) {
    const std::string dir = master;
    for (const char* name : {"IO.SYS", "MSDOS.SYS", "COMMAND.COM", "CONFIG.SYS", "AUTOEXEC.BAT",
                             "MORVANE2.BAT", "MORVANE.COM"}) {
      site.files.push_back({name, Bytes(dir + "/master/" + name), name});
    }
    site.files.push_back({"UTIL\\MEM.EXE", Bytes(dir + "/master/UTIL/MEM.EXE"), "MEM.EXE"});
    site.files.push_back({"MORVANE.BAT", Bytes(dir + "/run.bat"), "run.bat"});
    site.outputs = {"RESULT.TXT"};
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
