// Device-change broadcasts of any event and record, and the refresh they cause on a
// hostile platform.
#include <cstdint>

#include "fuzz_checks.h"
#include "hostile_platform.h"
#include "platform/records.h"
#include "support/fake_view.h"
#include "ui/main_form.h"
#include "ui/notices.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace sb;
  fuzz::FuzzInput input(data, size);
  std::uint32_t event = 0;
  switch (input.Byte() % 3) {
    case 0:
      event = win::kDbtDeviceArrival;
      break;
    case 1:
      event = win::kDbtDeviceRemoveComplete;
      break;
    default:
      event = input.U32();
  }
  const auto record = input.Bytes(input.Length(2 * rec::kBroadcastVolumeSize));

  const Text drive = UnitMaskToDrive(record);
  fuzz::Require(
      drive.empty() || (drive.size() == 2 && drive[0] >= 'A' && drive[0] <= 'Z' && drive[1] == ':'),
      "a drive is a letter and a colon");

  fuzz::HostilePlatform platform(input);
  test::FakeView view;
  VolumeTable table;
  MainForm form(platform, view, table);
  form.WMDeviceChange(event, record);
  platform.CheckHandles();
  fuzz::Require(view.rows.size() <= 16, "at most 16 disks are listed");
  fuzz::Require(view.events.empty() || view.events.front().rfind("status: ", 0) == 0,
                "a handled notice writes its status line first");
  return 0;
}
