// What the image tests and the fuzz target share: a disk image read as the checker reads a disk,
// and the kit that make-images put beside the images (DIR/master, DIR/run.bat).
#pragma once

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "dospart/check.h"

namespace addmorvane::dospart {

class ImageDisk : public SectorReader {
 public:
  explicit ImageDisk(const std::string& path) : file_(path, std::ios::binary) {
    file_.seekg(0, std::ios::end);
    size_ = static_cast<std::uint64_t>(file_.tellg());
  }
  bool Read(std::uint64_t lba, std::uint32_t count, std::uint8_t* out) override {
    file_.seekg(static_cast<std::streamoff>(lba * kSectorBytes));
    file_.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(count) * kSectorBytes);
    return file_.good();
  }
  std::uint64_t SectorCount() const override { return size_ / kSectorBytes; }
  std::string Error() const override { return "past the image's end"; }

 private:
  std::ifstream file_;
  std::uint64_t size_ = 0;
};

inline std::vector<std::uint8_t> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

inline Site Kit(const std::string& dir, bool msdos6) {
  Site site;
  for (const char* name : {"IO.SYS", "MSDOS.SYS", "COMMAND.COM", "CONFIG.SYS", "AUTOEXEC.BAT",
                           "MORVANE2.BAT", "MORVANE.COM"}) {
    site.files.push_back({name, FileBytes(dir + "/master/" + name), name});
  }
  site.files.push_back({"UTIL\\MEM.EXE", FileBytes(dir + "/master/UTIL/MEM.EXE"), "MEM.EXE"});
  site.files.push_back({"MORVANE.BAT", FileBytes(dir + "/run.bat"), "run.bat"});
  site.outputs = {"RESULT.TXT"};
  site.msdos6 = msdos6;
  return site;
}

}  // namespace addmorvane::dospart
