#include "dospart/win32/disk.h"

#include <winioctl.h>

#include <cstring>
#include <vector>

#include "platform/error_text.h"

namespace addmorvane::dospart {
namespace {

// Reads through a page-aligned buffer: a raw disk takes only reads whose buffer meets its
// alignment ("File Buffering", Microsoft Learn), and a page meets every disk's.
class HandleReader : public SectorReader {
 public:
  HandleReader(HANDLE handle, std::uint64_t sectors, std::wstring name)
      : handle_(handle), sectors_(sectors), name_(std::move(name)) {
    buffer_ = static_cast<std::uint8_t*>(VirtualAlloc(nullptr, SIZE_T{kChunk} * kSectorBytes,
                                                      MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  }
  ~HandleReader() override {
    if (buffer_ != nullptr) {
      VirtualFree(buffer_, 0, MEM_RELEASE);
    }
    CloseHandle(handle_);
  }
  HandleReader(const HandleReader&) = delete;
  HandleReader& operator=(const HandleReader&) = delete;

  bool Read(std::uint64_t lba, std::uint32_t count, std::uint8_t* out) override {
    if (buffer_ == nullptr) {
      error_ = ErrorText(ERROR_NOT_ENOUGH_MEMORY);
      return false;
    }
    while (count > 0) {
      const std::uint32_t n = count < kChunk ? count : kChunk;
      if (lba >= sectors_ || sectors_ - lba < n) {
        error_ = "it lies past the end of " + Utf8(name_);
        return false;
      }
      LARGE_INTEGER at;
      at.QuadPart = static_cast<LONGLONG>(lba * kSectorBytes);
      DWORD got = 0;
      if (!SetFilePointerEx(handle_, at, nullptr, FILE_BEGIN) ||
          !ReadFile(handle_, buffer_, n * kSectorBytes, &got, nullptr)) {
        error_ = ErrorText(GetLastError());
        return false;
      }
      if (got != n * kSectorBytes) {
        error_ = Utf8(name_) + " ended early";
        return false;
      }
      std::memcpy(out, buffer_, got);
      out += got;
      lba += n;
      count -= n;
    }
    return true;
  }
  std::uint64_t SectorCount() const override { return sectors_; }
  std::string Error() const override { return error_; }

 private:
  static constexpr std::uint32_t kChunk = 128;
  HANDLE handle_;
  std::uint64_t sectors_;
  std::wstring name_;
  std::uint8_t* buffer_ = nullptr;
  std::string error_;
};

Verdict Unreadable(const std::wstring& what, DWORD code) {
  return {Code::kUnreadable, "cannot read " + Utf8(what) + ": " + ErrorText(code)};
}

}  // namespace

std::string Utf8(const std::wstring& text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

std::wstring Wide(const std::string& utf8) {
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

std::string ErrorText(DWORD code) {
  return Utf8(SystemMessageText(code)) + " (error " + std::to_string(code) + ")";
}

Verdict OpenVolumeDisk(const std::wstring& guid, OpenedDisk& disk) {
  // The mount manager keeps each volume's unique ID under HKLM\SYSTEM\MountedDevices, value
  // "\??\Volume{GUID}" (the ID IOCTL_MOUNTMGR_QUERY_POINTS returns, mountmgr.h). For a
  // partition of an MBR basic disk the ID is 12 bytes: the disk's signature (4 bytes, as
  // IOCTL_DISK_GET_DRIVE_LAYOUT_EX reports it in Mbr.Signature) and the partition's byte
  // offset (8 bytes), little-endian: "the disk signature and the starting offset of the
  // partition" (Windows 2000 Resource Kit, on MountedDevices; the layout as the winreg-kb
  // project lists it). A GPT partition's ID is "DMIO:ID:" and a partition GUID (24 bytes);
  // other devices' are strings. Only administrators and the system can change the key.
  std::uint8_t id[64] = {};
  DWORD size = sizeof(id);
  const std::wstring value = L"\\??\\Volume" + guid;
  const LSTATUS status = RegGetValueW(HKEY_LOCAL_MACHINE, L"SYSTEM\\MountedDevices", value.c_str(),
                                      RRF_RT_REG_BINARY, nullptr, id, &size);
  if (status == ERROR_FILE_NOT_FOUND) {
    return {Code::kUnreadable, "Windows knows no volume " + Utf8(guid) +
                                   ": check the {GUID} (mountvol lists the volumes)"};
  }
  if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) {
    return Unreadable(L"the mount manager's list (HKLM\\SYSTEM\\MountedDevices)",
                      static_cast<DWORD>(status));
  }
  if (status == ERROR_MORE_DATA || size != 12) {
    return {Code::kDisk, "volume " + Utf8(guid) +
                             " is not a partition of an MBR basic disk: DOS starts only "
                             "from a primary partition of an MBR disk"};
  }
  // A mounted volume's cached writes may not be on the disk yet ("File Caching", Microsoft
  // Learn), so the raw read is sound only while it is offline. A handle with no access rights
  // does not mount it; FSCTL_IS_VOLUME_MOUNTED succeeds only on a mounted volume. A volume
  // that cannot be opened, or that answers with an error, is taken as offline.
  const std::wstring device = L"\\\\.\\Volume" + guid;
  HANDLE volume = CreateFileW(device.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  if (volume != INVALID_HANDLE_VALUE) {
    DWORD got = 0;
    const bool mounted = DeviceIoControl(volume, FSCTL_IS_VOLUME_MOUNTED, nullptr, 0, nullptr, 0,
                                         &got, nullptr) != FALSE;
    CloseHandle(volume);
    if (mounted) {
      return {Code::kUnreadable, "the volume is mounted: take it offline first (mountvol X: /p)"};
    }
  }
  std::uint32_t signature = 0;
  std::uint64_t offset = 0;
  std::memcpy(&signature, id, 4);
  std::memcpy(&offset, id + 4, 8);

  // \\.\PhysicalDriveN, read access only ("Physical Disks and Volumes" under CreateFile on
  // Microsoft Learn): administrators can read a disk raw while its volumes are offline.
  std::vector<std::uint8_t> layout(sizeof(DRIVE_LAYOUT_INFORMATION_EX) +
                                   255 * sizeof(PARTITION_INFORMATION_EX));
  DWORD lastError = ERROR_FILE_NOT_FOUND;
  for (int n = 0; n < 128; ++n) {
    const std::wstring name = L"\\\\.\\PhysicalDrive" + std::to_wstring(n);
    HANDLE h = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      if (GetLastError() != ERROR_FILE_NOT_FOUND) {
        lastError = GetLastError();
      }
      continue;
    }
    DWORD got = 0;
    const auto* info = reinterpret_cast<const DRIVE_LAYOUT_INFORMATION_EX*>(layout.data());
    DISK_GEOMETRY_EX geometry{};
    const bool ours = DeviceIoControl(h, IOCTL_DISK_GET_DRIVE_LAYOUT_EX, nullptr, 0, layout.data(),
                                      static_cast<DWORD>(layout.size()), &got, nullptr) &&
                      info->PartitionStyle == PARTITION_STYLE_MBR &&
                      info->Mbr.Signature == signature;
    if (!ours) {
      CloseHandle(h);
      continue;
    }
    if (disk.reader) {
      CloseHandle(h);
      return {Code::kDisk, "two disks carry the signature of volume " + Utf8(guid) +
                               "'s disk: take the other one out while the check runs"};
    }
    if (!DeviceIoControl(h, IOCTL_DISK_GET_DRIVE_GEOMETRY_EX, nullptr, 0, &geometry,
                         sizeof(geometry), &got, nullptr)) {
      const DWORD e = GetLastError();
      CloseHandle(h);
      return Unreadable(name + L"'s size", e);
    }
    if (geometry.Geometry.BytesPerSector != kSectorBytes) {
      CloseHandle(h);
      return {Code::kDisk, "the disk has sectors of " +
                               std::to_string(geometry.Geometry.BytesPerSector) +
                               " bytes: DOS reads only disks of 512-byte sectors"};
    }
    disk.reader = std::make_unique<HandleReader>(
        h, static_cast<std::uint64_t>(geometry.DiskSize.QuadPart) / kSectorBytes, name);
  }
  if (!disk.reader) {
    if (lastError == ERROR_ACCESS_DENIED) {
      return Unreadable(L"the disks (run it as administrator)", lastError);
    }
    return {Code::kUnreadable, "no disk carries the signature of volume " + Utf8(guid) +
                                   "'s disk: " + ErrorText(lastError)};
  }
  disk.partitionOffset = offset;
  disk.signature = signature;
  return {};
}

Verdict OpenImage(const std::wstring& path, OpenedDisk& disk) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  LARGE_INTEGER size{};
  if (h == INVALID_HANDLE_VALUE || !GetFileSizeEx(h, &size)) {
    const DWORD e = GetLastError();
    if (h != INVALID_HANDLE_VALUE) {
      CloseHandle(h);
    }
    return Unreadable(path, e);
  }
  disk.reader = std::make_unique<HandleReader>(
      h, static_cast<std::uint64_t>(size.QuadPart) / kSectorBytes, path);
  return {};
}

}  // namespace addmorvane::dospart
