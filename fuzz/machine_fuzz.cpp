// The machine-format loader over any bytes: a description comes from another person's
// machine, in whatever encoding their prompt wrote. It must load, or be refused with an
// InputError; nothing else may escape, and a machine it loads must list its disks with no
// handle left open.
#include <cstdint>
#include <sstream>
#include <string_view>

#include "fuzz_checks.h"
#include "platform/sim/sim_machine.h"
#include "support/fake_view.h"
#include "tools/scenario/machine_json.h"
#include "ui/disk_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace sb;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  sim::SimMachine machine;
  std::ostringstream warnings;
  try {
    scenario::LoadMachine(scenario::ParseJsonText(bytes, "input"), machine, warnings);
  } catch (const scenario::InputError& error) {
    fuzz::Require(*error.what() != '\0', "a refusal says why");
    return 0;
  }
  test::FakeView view;
  _Enum_Drives_lv(machine, view);
  fuzz::Require(view.rows.size() <= 16, "at most the sixteen disks are listed");
  fuzz::Require(machine.OpenHandles().empty(), "no handle is left open");
  return 0;
}
