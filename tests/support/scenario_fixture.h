// The fixtures of the tests that run the program on a simulated machine: a fresh machine
// per test, the main window's handlers over it, and after each test the check that every
// handle opened was closed once.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <type_traits>

#include "platform/sim/sim_machine.h"
#include "support/fake_view.h"
#include "ui/main_form.h"
#include "volumes/volume_table.h"

namespace sb::test {

// No handle is left open, and none was closed twice or closed with the wrong call.
inline void ExpectEveryHandleClosed(const sim::SimMachine& machine) {
  EXPECT_THAT(machine.OpenHandles(), ::testing::IsEmpty());
  EXPECT_EQ(machine.bad_closes(), 0u);
}

// The tests of the disk and volume routines: a machine, checked after the test.
class MachineTest : public ::testing::Test {
 protected:
  void TearDown() override { ExpectEveryHandleClosed(machine); }

  sim::SimMachine machine;
};

// The main window's handlers on a simulated machine: the machine, a recording view, the
// volume table and the form. View is FakeView or a test's own kind of it; a view that is
// made from the machine (to watch it) is given it.
template <typename View = FakeView>
struct MainFormScene {
  sim::SimMachine machine;
  View view = MakeView();
  VolumeTable table;
  MainForm form{machine, view, table};

 private:
  View MakeView() {
    if constexpr (std::is_constructible_v<View, const sim::SimMachine&>) {
      return View(machine);
    } else {
      return View();
    }
  }
};

// The scenario tests: the main window's handlers on a fresh machine, checked after the test.
template <typename View = FakeView>
class MainFormTest : public ::testing::Test, public MainFormScene<View> {
 protected:
  void TearDown() override { ExpectEveryHandleClosed(this->machine); }
};

}  // namespace sb::test
