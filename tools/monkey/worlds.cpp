#include "tools/monkey/worlds.h"

#include <cstdint>

#include "disk/device_path.h"
#include "platform/bytes.h"
#include "platform/records.h"
#include "tools/testdisk/disk_image.h"

namespace sb::monkey {
namespace {

// The state words as the list shows them.
std::string StateText(std::uint64_t word) {
  if ((word & ~std::uint64_t{3}) != 0 && (word & 3) == 0) return "";
  return std::string(word & 1 ? "Offline" : "Online") + (word & 2 ? " Read-Only " : " Read-Write ");
}

std::string Row(std::uint32_t number, const DiskNames& names, std::int64_t length,
                const std::string& state) {
  const std::string caption = std::to_string(number);
  const auto name = names.find(caption);
  return caption + "|DISK|" + (name == names.end() ? "?" : name->second) + "|" +
         std::to_string(length / 1048576) + "|" + state;
}

}  // namespace

DemoWorld::DemoWorld() : notices_(::GetModuleHandle(nullptr), L"SpindlebayMonkeyNotices") {
  demo::BuildDemoMachine(machine_);
  machine_.set_notice_window(notices_.hwnd());
}

std::vector<std::string> DemoWorld::ExpectedRows(const DiskNames& names) {
  std::vector<std::string> rows;
  for (std::uint32_t number = 0; number < 16; ++number) {
    const sim::Disk* disk = machine_.disk(number);
    if (disk == nullptr || disk->open_error != 0) continue;
    rows.push_back(Row(number, names, disk->answers_length ? disk->length : 0,
                       disk->answers_attributes ? StateText(disk->attributes) : ""));
  }
  return rows;
}

std::vector<std::string> DemoWorld::Leaks() {
  std::vector<std::string> leaks = machine_.OpenHandles();
  if (machine_.bad_closes() != 0) leaks.push_back("handles closed that were not open");
  return leaks;
}

bool DriverWorld::Load() {
  if (!control_.is_open() || !control_.Reset()) return false;
  sim::SimMachine machine;
  demo::BuildDemoMachine(machine);
  std::vector<std::string> warnings;
  for (std::uint32_t number = 1; number < 16; ++number) {
    const sim::Disk* disk = machine.disk(number);
    if (disk != nullptr && !control_.AddDisk(testdisk::DescribeDisk(number, *disk, warnings))) {
      return false;
    }
  }
  return true;
}

std::vector<std::string> DriverWorld::ExpectedRows(const DiskNames& names) {
  std::vector<std::string> rows;
  for (std::uint32_t number = 0; number < 16; ++number) {
    const HANDLE disk = CreateFileT(DiskPath(DecUnsigned(number)).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, 0);
    if (disk == INVALID_HANDLE_VALUE) continue;
    std::int64_t length = 0;
    std::uint8_t attributes[rec::kGetDiskAttributesSize] = {};
    DWORD bytes = 0;
    if (!::DeviceIoControl(disk, ioctl::kDiskGetLengthInfo, nullptr, 0, &length, sizeof length,
                           &bytes, nullptr)) {
      length = 0;
    }
    const bool state_read =
        ::DeviceIoControl(disk, ioctl::kDiskGetDiskAttributes, nullptr, 0, attributes,
                          sizeof attributes, &bytes, nullptr) != FALSE;
    ::CloseHandle(disk);
    const std::uint64_t word = ByteReader(ConstBytes(attributes, sizeof attributes))
                                   .U64(rec::kGetDiskAttributesAttributes);
    rows.push_back(Row(number, names, length, state_read ? StateText(word) : ""));
  }
  return rows;
}

std::string DriverWorld::Summary() {
  return ", " + std::to_string(platform_.changes()) + " attribute changes accepted";
}

std::vector<std::string> DriverWorld::Leaks() {
  if (platform_.open() == 0) return {};
  return {std::to_string(platform_.open()) + " device or enumeration handles"};
}

}  // namespace sb::monkey
