// The disk the check reads: the physical disk that holds a volume, or a disk image file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "dospart/sector_reader.h"
#include "dospart/verdict.h"

namespace addmorvane::dospart {

// Text for the console and for messages: UTF-8 inside the check, UTF-16 for Windows.
std::string Utf8(const std::wstring& text);
std::wstring Wide(const std::string& utf8);
// "the system's text (error N)" for a Win32 error number.
std::string ErrorText(DWORD code);

struct OpenedDisk {
  std::unique_ptr<SectorReader> reader;
  std::optional<std::uint64_t> partitionOffset;
  std::optional<std::uint32_t> signature;
};

// The disk that holds the volume \\?\Volume{GUID}\, opened for reading only; it works while
// the volume is offline.
Verdict OpenVolumeDisk(const std::wstring& guid, OpenedDisk& disk);

// A whole-disk image file, opened for reading only.
Verdict OpenImage(const std::wstring& path, OpenedDisk& disk);

}  // namespace addmorvane::dospart
