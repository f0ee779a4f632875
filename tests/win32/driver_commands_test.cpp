// The main window's handlers over the real platform and the test disk driver, beside the
// same handlers over the simulated machine with the same disks: a user selects a disk whose
// row is not at its number, presses each of the four buttons and answers Yes and No. What
// the user sees and the requests the disks receive must be the same on both machines.
//
// Wine's disk 0 is always there and volumes are Wine's: the simulated machine gets a disk 0
// that answers as Wine's does (the geometry and an empty descriptor; every other request
// refused with error 50) and Wine's two volumes, so that rows sit at the same positions and
// the volume step finds the same volumes on both. The driver does not see Wine's disk 0, so
// the requests compared are those of the driver's disks.
#include "platform/win32/win32_api.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "driver_disks.h"
#include "support/fake_view.h"
#include "ui/main_form.h"
#include "volumes/volume_table.h"

namespace sb::test {
namespace {

using ::testing::ElementsAreArray;

constexpr std::int64_t kGiB = 1024LL * 1024 * 1024;

sim::Disk WineDiskZero() {
  sim::Disk disk;
  disk.answers_length = false;
  disk.answers_attributes = false;
  disk.descriptor = sim::DescriptorBytes({.bus_type = 1});
  disk.geometry = sim::GeometryBytes(10000, 12, 255, 63, 512, 82252800000);
  return disk;
}

// Wine's two volumes, C: and Z:, on no disk of the driver: their extents request succeeds
// with no extent.
void AddWineVolumes(sim::SimMachine& machine) {
  machine.AddVolume({.guid_name = "\\\\?\\Volume{00000000-0000-0000-0000-000000000043}\\",
                     .device_name = "\\Device\\HarddiskVolume1",
                     .mount_paths = {"C:\\"}});
  machine.AddVolume({.guid_name = "\\\\?\\Volume{00000000-0000-0000-0000-00000000005a}\\",
                     .device_name = "\\Device\\HarddiskVolume2",
                     .mount_paths = {"Z:\\"}});
}

// One user session: the window shown, then each action, on one machine.
struct Session {
  Session(Platform& platform) : form(platform, view, table) {}
  FakeView view;
  VolumeTable table;
  MainForm form;
};

struct Action {
  const char* what;
  int answer;  // the answer to the question box, 0 when none is asked
  std::function<void(MainForm&)> act;
};

// What the user saw during an action: every event, then the list and the status bar.
std::vector<std::string> Seen(FakeView& view, std::size_t from) {
  std::vector<std::string> seen(view.events.begin() + static_cast<std::ptrdiff_t>(from),
                                view.events.end());
  for (const auto& row : view.RowTexts()) seen.push_back("row " + row);
  seen.push_back("selected " + (view.selected ? std::to_string(*view.selected) : "none"));
  seen.push_back("status bar: " + view.status);
  for (const auto& box : view.boxes) seen.push_back("box type " + std::to_string(box.type));
  for (const auto& window : view.properties) {
    for (const auto& line : window->lines) seen.push_back("properties | " + line);
  }
  return seen;
}

std::vector<std::string> WithoutDiskZero(std::vector<std::string> requests) {
  std::erase_if(requests, [](const std::string& line) { return line.rfind("disk 0 ", 0) == 0; });
  return requests;
}

TEST_F(DriverDisks, TheFourCommandsOnADiskWhoseRowIsNotAtItsNumber) {
  simulated_.AddDisk(0, WineDiskZero());
  AddWineVolumes(simulated_);
  AddDisk(2, ListDisk("Two", 2 * kGiB, 0, kSata, sim::MbrLayoutBytes(4, 2)));
  AddDisk(3, ListDisk("Three", 3 * kGiB, 1, kSata, sim::MbrLayoutBytes(4, 3)));
  AddDisk(7, ListDisk("Seven", 7 * kGiB, 0, kSata, sim::GptLayoutBytes(4, {7})));
  AddDisk(12, ListDisk("Twelve", 12 * kGiB, 2, kSata, sim::LayoutBytes(2, 0)));
  Session real(real_);
  Session simulated(simulated_);

  const Action actions[] = {
      {"start", 0, [](MainForm& form) { form.FormShow(); }},
      {"select disk 7, the fourth row", 0, [](MainForm&) {}},
      {"Offline, Yes", win::kIdYes, [](MainForm& form) { form.Button2Click(); }},
      {"Online, No", win::kIdNo, [](MainForm& form) { form.Button3Click(); }},
      {"Online, Yes", win::kIdYes, [](MainForm& form) { form.Button3Click(); }},
      {"Read-Only, Yes", win::kIdYes, [](MainForm& form) { form.Button4Click(); }},
      {"Read-Write, No", win::kIdNo, [](MainForm& form) { form.Button5Click(); }},
      {"Read-Write, Yes", win::kIdYes, [](MainForm& form) { form.Button5Click(); }},
      {"Properties", 0, [](MainForm& form) { form.lvdisksDblClick(); }},
  };
  for (const Action& action : actions) {
    SCOPED_TRACE(action.what);
    std::vector<std::string> seen[2];
    Session* sessions[2] = {&real, &simulated};
    for (int i = 0; i < 2; ++i) {
      Session& session = *sessions[i];
      const std::size_t from = session.view.events.size();
      if (action.answer != 0) session.view.answers.push_back(action.answer);
      if (std::string(action.what).rfind("select", 0) == 0) session.view.Select(3);
      action.act(session.form);
      seen[i] = Seen(session.view, from);
    }
    EXPECT_THAT(seen[0], ElementsAreArray(seen[1]));
    const std::vector<std::string> requests = DriverRequests();
    EXPECT_THAT(requests, ElementsAreArray(WithoutDiskZero(SimulatedRequests())));
    // The commands change disk 7 alone.
    for (const auto& request : requests) {
      if (request.find("0x0007C0F4") != std::string::npos) {
        EXPECT_EQ(request.rfind("disk 7 ", 0), 0u) << request;
      }
    }
  }
  EXPECT_EQ(real.view.RowTexts().at(3), "7|DISK|Seven|7168|Online Read-Write ");
}

}  // namespace
}  // namespace sb::test
