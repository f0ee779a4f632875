// The handle owners: one close on every path, moves, reset and release, and the last error
// kept across a close.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <utility>

#include "platform/handle.h"
#include "support/machines.h"
#include "support/scenario_fixture.h"

namespace sb {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class HandleTest : public test::MachineTest {
 protected:
  void SetUp() override {
    machine.AddDisk(0, sim::Disk{});
    machine.AddDisk(1, sim::Disk{});
  }
  UniqueHandle Open(int disk) {
    return OpenExisting(machine, SB_T("\\\\.\\PhysicalDrive") + Dec(disk), win::kGenericRead,
                        kShareReadWrite);
  }
  std::vector<std::string> Calls() const {
    std::vector<std::string> calls;
    for (const auto& call : machine.calls()) calls.push_back(call.ToString());
    return calls;
  }
};

TEST_F(HandleTest, OpenExistingOpensAsTheSystemDoesAndTheOwnerClosesOnce) {
  {
    const UniqueHandle device = Open(0);
    EXPECT_TRUE(device.valid());
    EXPECT_TRUE(static_cast<bool>(device));
  }
  const UniqueHandle absent = Open(7);
  EXPECT_FALSE(absent.valid());
  EXPECT_EQ(absent.get(), kInvalidHandle);
  EXPECT_THAT(
      Calls(),
      ElementsAre(
          "CreateFile(\\\\.\\PhysicalDrive0 -> h1, access 0x80000000, share 3, flags 0x00000000) "
          "ok",
          "CloseHandle(h1) ok",
          "CreateFile(\\\\.\\PhysicalDrive7, access 0x80000000, share 3, flags 0x00000000) failed "
          "2"));
  EXPECT_THAT(machine.OpenHandles(), IsEmpty());
}

TEST_F(HandleTest, AMoveHandsTheHandleOverAndOnlyTheNewOwnerClosesIt) {
  UniqueHandle first = Open(0);
  const Handle handle = first.get();
  UniqueHandle second = std::move(first);
  EXPECT_FALSE(first.valid());  // a moved-from owner owns nothing
  EXPECT_EQ(second.get(), handle);
  EXPECT_EQ(machine.OpenHandles().size(), 1u);

  // Assigning over an owner closes what it held first.
  UniqueHandle third = Open(1);
  second = std::move(third);
  EXPECT_THAT(machine.OpenHandles(), ElementsAre("h2 \\\\.\\PhysicalDrive1"));
  second.reset();
  EXPECT_THAT(machine.OpenHandles(), IsEmpty());
  EXPECT_EQ(machine.bad_closes(), 0u);
}

TEST_F(HandleTest, ResetClosesAndTakesANewHandle) {
  UniqueHandle device = Open(0);
  device.reset(machine.CreateFile(SB_T("\\\\.\\PhysicalDrive1"), 0, 0, win::kOpenExisting, 0));
  EXPECT_THAT(machine.OpenHandles(), ElementsAre("h2 \\\\.\\PhysicalDrive1"));
  device.reset(device.get());  // taking what it owns closes nothing
  EXPECT_THAT(machine.OpenHandles(), ElementsAre("h2 \\\\.\\PhysicalDrive1"));
  device.reset();
  device.reset();  // owning nothing, it closes nothing
  EXPECT_EQ(machine.CallsOf("CloseHandle").size(), 2u);
  EXPECT_THAT(machine.OpenHandles(), IsEmpty());
}

TEST_F(HandleTest, ReleaseGivesUpTheHandleWithoutClosingIt) {
  UniqueHandle device = Open(0);
  const Handle handle = device.release();
  EXPECT_FALSE(device.valid());
  EXPECT_THAT(machine.OpenHandles(), ElementsAre("h1 \\\\.\\PhysicalDrive0"));
  EXPECT_TRUE(machine.CallsOf("CloseHandle").empty());
  machine.CloseHandle(handle);
  EXPECT_THAT(machine.OpenHandles(), IsEmpty());
}

TEST_F(HandleTest, ClosingKeepsTheLastErrorOfTheCallBefore) {
  // A close that leaves an error of its own, as a driver's cleanup may.
  machine.set_close_error(win::kErrorInvalidFunction);
  UniqueHandle device = Open(0);
  machine.SetLastError(win::kErrorNotSupported);
  device.reset();
  EXPECT_EQ(machine.GetLastError(), win::kErrorNotSupported);
  {
    const UniqueHandle scoped = Open(1);
    machine.SetLastError(win::kErrorAccessDenied);
  }
  EXPECT_EQ(machine.GetLastError(), win::kErrorAccessDenied);
  EXPECT_THAT(machine.OpenHandles(), IsEmpty());
}

TEST_F(HandleTest, AVolumeEnumerationIsClosedWithItsOwnCall) {
  machine.AddVolume({.guid_name = "\\\\?\\Volume{a}\\"});
  std::array<char, 64> name{};
  UniqueFindVolume find(machine, machine.FindFirstVolumeA(name));
  ASSERT_TRUE(find.valid());
  UniqueFindVolume moved = std::move(find);
  EXPECT_FALSE(find.valid());
  moved.reset();
  EXPECT_EQ(machine.CallsOf("FindVolumeClose").size(), 1u);
  EXPECT_TRUE(machine.CallsOf("CloseHandle").empty());
  EXPECT_THAT(machine.OpenHandles(), IsEmpty());
  EXPECT_EQ(machine.bad_closes(), 0u);
}

}  // namespace
}  // namespace sb
