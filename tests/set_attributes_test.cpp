#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "disk/set_attributes.h"
#include "platform/records.h"
#include "support/machines.h"
#include "support/refused_attribute_blocks.h"

namespace sb {
namespace {

using ::testing::ElementsAre;

// The 40-byte block that IOCTL_DISK_SET_DISK_ATTRIBUTES carries.
Bytes Block(std::uint64_t attributes, std::uint64_t mask) {
  Bytes block(rec::kSetDiskAttributesSize, 0);
  ByteWriter writer(block);
  writer.U32(rec::kSetDiskAttributesVersion, 40);
  writer.U64(rec::kSetDiskAttributesAttributes, attributes);
  writer.U64(rec::kSetDiskAttributesMask, mask);
  return block;
}

TEST(SetDiskAttributes, SendsTheBlockOnAReadWriteHandleAndChangesOnlyTheMaskedBits) {
  struct Case {
    std::uint64_t before, attributes, mask, after;
  };
  const Case cases[] = {
      {0, 1, 1, 1},                         // Offline
      {3, 0, 1, 2},                         // Online
      {0, 2, 2, 2},                         // Read-Only
      {3, 0, 2, 1},                         // Read-Write
      {0, 3, 1, 1},                         // bits outside the mask go as given
      {4, 0xFFFF'FFFF'FFFF'FFFFull, 2, 6},  // all 64 bits carried
  };
  for (const Case& c : cases) {
    sim::SimMachine machine;
    machine.AddDisk(1, sim::Disk{.attributes = c.before});
    EXPECT_TRUE(SetDiskAttributes(machine, SB_T("\\\\.\\PhysicalDrive1"), c.attributes, c.mask));
    EXPECT_EQ(machine.disk(1)->attributes, c.after);

    std::vector<std::string> calls;
    for (const auto& call : machine.calls()) calls.push_back(call.ToString());
    EXPECT_THAT(calls, ElementsAre("CreateFile(\\\\.\\PhysicalDrive1 -> h1, access 0xC0000000, "
                                   "share 3, flags 0x00000000) ok",
                                   "DeviceIoControl(h1, 0x0007C0F4, in 40, out 0) ok",
                                   "CloseHandle(h1) ok"));
    // Version 40, Persist 0, every reserved byte 0.
    EXPECT_EQ(machine.CallsOf("DeviceIoControl").at(0).input, Block(c.attributes, c.mask));
  }
}

TEST(SetDiskAttributes, FailsWithoutRequestOrWithTheRequestsErrorAndClosesWhatItOpened) {
  struct Case {
    const char* name;
    std::uint32_t disk;
    std::vector<std::string> calls;
    std::uint32_t last_error;
  };
  sim::SimMachine machine;
  // Closing leaves an error of its own: the request's error must survive it.
  machine.set_close_error(win::kErrorInvalidFunction);
  sim::Disk refusing;
  refusing.failing_requests[ioctl::kDiskSetDiskAttributes] = win::kErrorNotSupported;
  machine.AddDisk(1, refusing);
  machine.AddDisk(2, sim::Disk{.open_error = win::kErrorAccessDenied});
  const Case cases[] = {
      {"refused",
       1,
       {"CreateFile(\\\\.\\PhysicalDrive1 -> h1, access 0xC0000000, share 3, flags 0x00000000) ok",
        "DeviceIoControl(h1, 0x0007C0F4, in 40, out 0) failed 50", "CloseHandle(h1) ok"},
       win::kErrorNotSupported},
      {"no write access",
       2,
       {"CreateFile(\\\\.\\PhysicalDrive2, access 0xC0000000, share 3, flags 0x00000000) failed 5"},
       win::kErrorAccessDenied},
      {"no such disk",
       7,
       {"CreateFile(\\\\.\\PhysicalDrive7, access 0xC0000000, share 3, flags 0x00000000) failed 2"},
       win::kErrorFileNotFound},
  };
  for (const Case& c : cases) {
    machine.ClearCalls();
    EXPECT_FALSE(SetDiskAttributes(machine, SB_T("\\\\.\\PhysicalDrive") + Dec(c.disk), 1, 1))
        << c.name;
    std::vector<std::string> calls;
    for (const auto& call : machine.calls()) calls.push_back(call.ToString());
    EXPECT_EQ(calls, c.calls) << c.name;
    EXPECT_EQ(machine.GetLastError(), c.last_error) << c.name;
    EXPECT_TRUE(machine.OpenHandles().empty()) << c.name;
  }
  EXPECT_EQ(machine.disk(1)->attributes, 0u);
  EXPECT_EQ(machine.bad_closes(), 0u);
}

// The simulated machine checks the block as Windows does.
TEST(SetDiskAttributes, TheMachineRefusesABlockOfAnotherVersionOrSize) {
  for (const auto& refused : test::RefusedAttributeBlocks()) {
    sim::SimMachine machine;
    machine.AddDisk(1, sim::Disk{.attributes = 2});
    EXPECT_EQ(test::SendAttributeBlock(machine, SB_T("\\\\.\\PhysicalDrive1"), refused.block),
              win::kErrorInvalidParameter)
        << refused.name;
    EXPECT_EQ(machine.disk(1)->attributes, 2u) << refused.name;
  }
}

}  // namespace
}  // namespace sb
