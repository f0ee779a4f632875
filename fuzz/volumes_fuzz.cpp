// The volume enumeration, mount paths and extents as a hostile platform answers them,
// and volume names of any shape.
#include <cstdint>
#include <string>

#include "fuzz_checks.h"
#include "hostile_platform.h"
#include "support/fake_view.h"
#include "volumes/volume_routines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace sb;
  fuzz::FuzzInput input(data, size);
  // A name of any length and content: no terminator, too short, longer than any buffer.
  const auto name_bytes = input.Bytes(input.Length(300));
  const std::string name(name_bytes.begin(), name_bytes.end());
  fuzz::HostilePlatform platform(input);
  test::FakeView view;

  const std::string device = VolumeNameToDeviceName(platform, view, name);
  fuzz::Require(device.size() <= kDosDeviceLength, "a device name fits its buffer");
  bool read = true;
  const DiskExtent extent = _GetVolumeExtent(platform, view, name, &read);
  if (!read) {
    fuzz::Require(
        extent.disk_number == 0 && extent.starting_offset == 0 && extent.extent_length == 0,
        "an extent that was not read is all zero");
  }
  platform.CheckHandles();

  VolumeTable table;
  const std::size_t count = list_volumes(platform, view, table);
  platform.CheckHandles();
  fuzz::Require(count <= table.size(), "list_volumes writes at most the table");
  for (std::size_t i = 0; i < count; ++i) {
    fuzz::Require(table[i].volume_name.size() <= kVolumeNameBufferSize,
                  "a volume name fits its buffer");
    fuzz::Require(table[i].mount_path.size() <= kVolumePathsLength, "a mount path fits its buffer");
  }
  return 0;
}
