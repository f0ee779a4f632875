// The main window's actions on a hostile platform: the list fill, the four disk-state
// commands with any answers to their questions, and the Properties window.
#include <cstdint>

#include "fuzz_checks.h"
#include "hostile_platform.h"
#include "support/fake_view.h"
#include "ui/main_form.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace sb;
  fuzz::FuzzInput input(data, size);
  const std::uint8_t action = input.Byte();
  const std::uint8_t row = input.Byte();
  const bool answer_yes = input.Bool();

  fuzz::HostilePlatform platform(input);
  test::FakeView view;
  VolumeTable table;
  MainForm form(platform, view, table);
  form.FormShow();
  platform.CheckHandles();
  if (!view.rows.empty()) view.Select(row % view.rows.size());
  if (row & 0x80) view.selected.reset();
  view.answers.push_back(answer_yes ? win::kIdYes : win::kIdNo);

  switch (action % 5) {
    case 0:
      form.Button2Click();
      break;
    case 1:
      form.Button3Click();
      break;
    case 2:
      form.Button4Click();
      break;
    case 3:
      form.Button5Click();
      break;
    default:
      form.ShowProperties();
  }
  platform.CheckHandles();
  fuzz::Require(view.rows.size() <= 16, "at most 16 disks are listed");
  return 0;
}
