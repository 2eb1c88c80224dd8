// The one way the check reaches the disk: whole 512-byte sectors, counted.
#pragma once

#include <cstdint>
#include <string>

namespace addmorvane::dospart {

inline constexpr std::uint32_t kSectorBytes = 512;

class SectorReader {
 public:
  virtual ~SectorReader() = default;
  // Reads `count` sectors from `lba` (counted from the disk's first sector) into `out`, which
  // holds count * 512 bytes. False when the disk cannot give them; Error() then says why.
  virtual bool Read(std::uint64_t lba, std::uint32_t count, std::uint8_t* out) = 0;
  // The disk's size in sectors.
  virtual std::uint64_t SectorCount() const = 0;
  // The system's text for the last failed Read.
  virtual std::string Error() const = 0;
};

}  // namespace addmorvane::dospart

namespace addmorvane::dospart {

// Counts what passes through, so a check can say what it cost.
class CountingReader : public SectorReader {
 public:
  explicit CountingReader(SectorReader& inner) : inner_(inner) {}
  bool Read(std::uint64_t lba, std::uint32_t count, std::uint8_t* out) override {
    bytes_ += std::uint64_t{count} * kSectorBytes;
    return inner_.Read(lba, count, out);
  }
  std::uint64_t SectorCount() const override { return inner_.SectorCount(); }
  std::string Error() const override { return inner_.Error(); }
  std::uint64_t Bytes() const { return bytes_; }

 private:
  SectorReader& inner_;
  std::uint64_t bytes_ = 0;
};

}  // namespace addmorvane::dospart
