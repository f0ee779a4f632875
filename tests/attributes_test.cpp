#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "disk/attributes.h"
#include "platform/handle.h"
#include "support/fake_view.h"
#include "support/machines.h"

namespace sb {
namespace {

using test::A;

TEST(AttributeText, LastTestThatHoldsWins) {
  const std::pair<std::uint64_t, const char*> cases[] = {
      {0, "Online Read-Write "},
      {1, "Offline Read-Write "},
      {2, "Online Read-Only "},
      {3, "Offline Read-Only "},
      {4, ""},
      {6, "Online Read-Only "},
      {7, "Offline Read-Only "},
      {0x8000000000000002ull, "Online Read-Only "},
      {0x8000000000000000ull, ""},
  };
  for (const auto& [word, text] : cases) EXPECT_EQ(A(AttributeText(word)), text) << word;
}

TEST(DiskAttributes, QueryOpensForReadAndClosesEveryHandle) {
  sim::SimMachine machine;
  machine.AddDisk(3, sim::Disk{.attributes = 3});
  machine.AddDisk(4, sim::Disk{.answers_attributes = false});
  EXPECT_EQ(A(DiskAttributesText(machine, SB_T("3"))), "Offline Read-Only ");
  EXPECT_EQ(A(DiskAttributesText(machine, SB_T("4"))), "");  // request not supported
  EXPECT_EQ(A(DiskAttributesText(machine, SB_T("9"))), "");  // no such device
  EXPECT_EQ(A(DiskAttributesText(machine, SB_T("x"))), "");  // the text is appended unchanged
  EXPECT_EQ(machine.CallsOf("CreateFile")[3].target, "\\\\.\\PhysicalDrivex");

  const auto requests = machine.CallsOf("DeviceIoControl");
  ASSERT_EQ(requests.size(), 2u);  // no request without a handle
  EXPECT_EQ(requests[0].code, ioctl::kDiskGetDiskAttributes);
  EXPECT_EQ(requests[0].in_size, 0u);
  EXPECT_EQ(requests[0].out_size, 16u);
  EXPECT_EQ(machine.CallsOf("CreateFile")[0].access, win::kGenericRead);
  EXPECT_TRUE(machine.OpenHandles().empty());
}

TEST(DiskLength, ZeroWhenTheRequestFailsOrTheHandleIsInvalid) {
  sim::SimMachine machine;
  machine.AddDisk(0, sim::Disk{.length = 5 * test::kMiB});
  machine.AddDisk(1, sim::Disk{.length = 99, .answers_length = false});
  for (std::uint32_t n : {0u, 1u}) {
    UniqueHandle handle(machine, machine.CreateFile(SB_T("\\\\.\\PhysicalDrive") + Dec(n),
                                                    win::kGenericRead, 3, win::kOpenExisting, 0));
    EXPECT_EQ(GetDiskLength(machine, handle.get()), n == 0 ? 5 * test::kMiB : 0);
  }
  EXPECT_EQ(GetDiskLength(machine, kInvalidHandle), 0);
  EXPECT_EQ(machine.CallsOf("DeviceIoControl")[0].out_size, 8u);
  EXPECT_TRUE(machine.OpenHandles().empty());
}

}  // namespace
}  // namespace sb
