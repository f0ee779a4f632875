#include "disk/descriptor.h"

#include <array>

#include "platform/handle.h"
#include "platform/records.h"

namespace sb {
namespace {

bool IsPrintable(std::uint8_t byte) {
  return byte >= 32 && byte <= 126;
}
bool IsBlank(std::uint8_t byte) {
  return byte == 9 || byte == 13 || byte == 32;
}

int HexValue(std::uint8_t byte) {
  if (byte >= '0' && byte <= '9') return byte - '0';
  if (byte >= 'a' && byte <= 'f') return byte - 'a' + 10;
  if (byte >= 'A' && byte <= 'F') return byte - 'A' + 10;
  return -1;
}

std::string PlainPass(const std::string& source) {
  for (char c : source) {
    if (!IsPrintable(static_cast<std::uint8_t>(c))) return std::string();
  }
  return source;
}

// Keeps the bytes from the first to the last non-blank one; text of blanks only stays.
std::string Trim(const std::string& text) {
  std::size_t first = 0;
  while (first < text.size() && IsBlank(static_cast<std::uint8_t>(text[first]))) ++first;
  if (first == text.size()) return text;
  std::size_t last = text.size() - 1;
  while (IsBlank(static_cast<std::uint8_t>(text[last]))) --last;
  return text.substr(first, last - first + 1);
}

std::string UpToZero(const std::string& text) {
  return text.substr(0, text.find('\0'));
}

}  // namespace

bool HexPass(const std::string& source, std::string& output) {
  int byte = 0;
  int digits = 0;
  for (char c : source) {
    const int value = HexValue(static_cast<std::uint8_t>(c));
    if (value < 0) return false;
    byte = byte * 16 + value;
    if (++digits == 2) {
      if (byte != 0 && !IsPrintable(static_cast<std::uint8_t>(byte))) return false;
      output.push_back(static_cast<char>(byte));
      byte = 0;
      digits = 0;
    }
  }
  return true;  // an unpaired last digit is dropped
}

std::string DecodeIdString(ConstBytes descriptor, std::int32_t offset) {
  if (offset <= 0) return std::string();
  const std::string source =
      ByteReader(descriptor).ZeroTerminated(static_cast<std::uint64_t>(offset));
  std::string output;
  if (!HexPass(source, output)) output = PlainPass(source);
  return Trim(UpToZero(output));
}

Text BusTypeName(std::uint32_t code) {
  static constexpr const Char* kNames[] = {
      SB_T("unknown"), SB_T("Scsi"), SB_T("Atapi"), SB_T("Ata"),   SB_T("1394"), SB_T("Ssa"),
      SB_T("Fibre"),   SB_T("Usb"),  SB_T("RAID"),  SB_T("iSCSI"), SB_T("Sas"),  SB_T("Sata"),
  };
  const std::uint32_t low = code & 0xFF;
  return low < std::size(kNames) ? kNames[low] : SB_T("unknown");
}

bool GetDiskProperty(Platform& platform, const Text& path, TDisk_Property& property) {
  const UniqueHandle device = OpenExisting(platform, path, win::kGenericRead, kShareReadWrite);
  if (!device.valid()) return false;
  // StorageDeviceProperty, PropertyStandardQuery: the whole query is zero. Members the
  // device leaves out of its answer read as zero from the zero-filled buffer.
  std::array<std::uint8_t, rec::kStoragePropertyQuerySize> query{};
  std::array<std::uint8_t, rec::kDescriptorBufferSize> buffer{};
  if (!platform.DeviceIoControl(device.get(), ioctl::kStorageQueryProperty, query, buffer)) {
    return false;
  }
  const ByteReader reader(buffer);
  auto decode = [&](std::size_t member) {
    return AsciiToText(DecodeIdString(buffer, static_cast<std::int32_t>(reader.U32(member))));
  };
  property.vendor_id = decode(rec::kDescriptorVendorIdOffset);
  property.product_id = decode(rec::kDescriptorProductIdOffset);
  property.product_revision = decode(rec::kDescriptorProductRevisionOffset);
  property.serial_number = decode(rec::kDescriptorSerialNumberOffset);
  property.removable = reader.U8(rec::kDescriptorRemovableMedia) != 0;
  property.bus_type = BusTypeName(reader.U32(rec::kDescriptorBusType));
  return true;
}

}  // namespace sb
