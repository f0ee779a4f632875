// The storage descriptor as a hostile device answers it: arbitrary bytes and offsets.
#include <cstdint>

#include "disk/descriptor.h"
#include "fuzz_checks.h"
#include "hostile_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace sb;
  fuzz::FuzzInput input(data, size);
  const auto offset = static_cast<std::int32_t>(input.U32());
  const auto rest = input.Rest();

  // The decoder on its own, at an arbitrary offset into arbitrary bytes.
  const std::string decoded = DecodeIdString(rest, offset);
  fuzz::Require(fuzz::AllPrintable(decoded), "DecodeIdString gives only bytes 32 to 126");
  fuzz::Require(decoded.size() <= rest.size(), "DecodeIdString gives no more than the buffer");

  // The whole query, the device answering from the same bytes.
  fuzz::FuzzInput answers(rest.data(), rest.size());
  fuzz::HostilePlatform platform(answers);
  TDisk_Property property;
  property.product_id = SB_T("untouched");
  const bool ok = GetDiskProperty(platform, SB_T("\\\\.\\PhysicalDrive0"), property);
  platform.CheckHandles();
  if (ok) {
    fuzz::Require(fuzz::AllPrintable(property.vendor_id) &&
                      fuzz::AllPrintable(property.product_id) &&
                      fuzz::AllPrintable(property.product_revision) &&
                      fuzz::AllPrintable(property.serial_number),
                  "identifiers hold only bytes 32 to 126");
    fuzz::Require(!property.bus_type.empty(), "a bus type is always named");
  } else {
    fuzz::Require(property.product_id == SB_T("untouched"), "a failed query leaves the record");
  }
  return 0;
}
