// Stand-ins: the program shows each in the form of the value it replaces, they are stable,
// distinct values stay distinct, and a default capture gives no identifier away.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "disk/descriptor.h"
#include "disk/report.h"
#include "platform/records.h"
#include "platform/sim/sim_machine.h"
#include "platform/sim/sim_records.h"
#include "support/fake_view.h"
#include "tools/capture/capture.h"
#include "tools/capture/machine_writer.h"
#include "tools/capture/stand_ins.h"
#include "tools/scenario/machine_json.h"

namespace sb::capture {
namespace {

using nlohmann::json;

// How the program shows a serial number stored as source.
std::string Shown(const std::string& source) {
  const Bytes descriptor = sim::DescriptorBytes({.serial = source});
  return DecodeIdString(
      descriptor,
      static_cast<std::int32_t>(ByteReader(descriptor).U32(rec::kDescriptorSerialNumberOffset)));
}

// Letters stay letters, digits digits, everything else as it is.
std::string Form(const std::string& text) {
  std::string form;
  for (char c : text) {
    form.push_back(std::isdigit(static_cast<unsigned char>(c))   ? '9'
                   : std::isalpha(static_cast<unsigned char>(c)) ? 'a'
                                                                 : c);
  }
  return form;
}

// A disk identifier's form: hexadecimal digits, braces and hyphens where they stand.
std::string HexForm(const std::string& text) {
  std::string form;
  for (char c : text) form.push_back(std::isxdigit(static_cast<unsigned char>(c)) ? 'x' : c);
  return form;
}

// The bytes of text as a description's *_hex value writes them.
std::string HexOf(const std::string& text) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : text) {
    hex.push_back(kDigits[c >> 4]);
    hex.push_back(kDigits[c & 0xF]);
  }
  return hex;
}

struct SerialCase {
  const char* source;
  const char* why;
};

class SerialForms : public testing::TestWithParam<SerialCase> {};

TEST_P(SerialForms, TheProgramShowsTheStandInInTheOriginalsForm) {
  const std::string original = GetParam().source;
  const std::string stand_in = StandIns().Serial(original);
  EXPECT_EQ(stand_in.size(), original.size());
  EXPECT_EQ(Form(Shown(stand_in)), Form(Shown(original)));
  if (Shown(original).find_first_of(
          "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") != std::string::npos) {
    EXPECT_NE(Shown(stand_in), Shown(original));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SerialForms,
    testing::Values(SerialCase{"     WD-WCC7K1234567", "plain, leading blanks"},
                    SerialCase{"533344334E5830373131373520202020", "hexadecimal pairs, blanks"},
                    SerialCase{"4a4b4c31", "hexadecimal pairs in lower case"},
                    SerialCase{"1234", "digits whose first pair is no character: plain"},
                    SerialCase{"ABCDEF12", "hexadecimal digits that decode to no characters"},
                    SerialCase{"414", "an unpaired last digit"},
                    SerialCase{"4100424A", "a 00 pair ends the text"},
                    SerialCase{"Disk\t1", "a tab: the program shows nothing"},
                    SerialCase{"    ", "only blanks"}));

TEST(StandIns, AreStableAndKeepDistinctValuesDistinct) {
  StandIns first;
  StandIns second;
  EXPECT_EQ(first.Serial("S3Z9NB0K123456X"), second.Serial("S3Z9NB0K123456X"));
  EXPECT_NE(first.Serial("AB12"), first.Serial("CD34"));
  EXPECT_EQ(first.Serial("AB12"), first.Serial("AB12"));
  EXPECT_EQ(first.Signature(0x1A2B3C4D), second.Signature(0x1A2B3C4D));
  EXPECT_NE(first.Signature(0x1A2B3C4D), first.Signature(0x1A2B3C4E));
}

TEST(StandIns, SignaturesKeepTheirNumberOfDigitsAndZeroStaysZero) {
  StandIns stand_ins;
  EXPECT_EQ(stand_ins.Signature(0), 0u);
  EXPECT_EQ(stand_ins.Signature(0x1A2B3C4D), 0x10000000u);
  EXPECT_EQ(stand_ins.Signature(0xA2B3C4D), 0x1000001u);  // seven digits: the report pads it
  EXPECT_EQ(stand_ins.Signature(0xABCDE), 0x10002u);
  EXPECT_EQ(stand_ins.Signature(0x7), 4u);
}

TEST(StandIns, AGuidGetsOneStandInWhereverItAppearsInTheCaseOfEachPlace) {
  StandIns stand_ins;
  const std::string lower = "\\\\?\\Volume{4c1b02c1-d990-11dc-99ae-806e6f6e6963}\\";
  const std::string upper = "C:\\mnt\\{4C1B02C1-D990-11DC-99AE-806E6F6E6963}\\";
  EXPECT_EQ(stand_ins.InText(lower), "\\\\?\\Volume{00000000-0000-0000-0000-000000000001}\\");
  EXPECT_EQ(stand_ins.InText(upper), "C:\\mnt\\{00000000-0000-0000-0000-000000000001}\\");
  EXPECT_EQ(stand_ins.InText("\\Device\\HarddiskVolume3"), "\\Device\\HarddiskVolume3");
  EXPECT_EQ(stand_ins.InText("{not-a-guid}"), "{not-a-guid}");
}

TEST(StandIns, ReachThePartitionGuidsOfALayoutCutShortAtItsZeros) {
  // A GPT layout of two entries; the second entry's GUID ends in zero bytes, which the
  // capture does not keep, so the answer ends inside it.
  Bytes layout = sim::GptLayoutBytes(2, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
  const std::size_t second = rec::kLayoutHeaderSize + rec::kPartitionEntrySize + 48;
  layout.resize(second + 16, 0);
  for (std::size_t i = 0; i < 10; ++i) layout[second + i] = static_cast<std::uint8_t>(0xA0 + i);
  while (layout.back() == 0) layout.pop_back();
  ASSERT_EQ(layout.size(), second + 10);
  StandIns stand_ins;
  stand_ins.InLayout(layout);
  const ByteReader reader(layout);
  EXPECT_EQ(reader.U64(rec::kLayoutGptDiskId), 0u);
  EXPECT_EQ(reader.U64(rec::kLayoutGptDiskId + 8), 0x0100000000000000u);
  EXPECT_EQ(reader.U64(second), 0u);
  EXPECT_EQ(reader.U64(second + 8), 0x0200000000000000u);
  EXPECT_EQ(layout.size(), second + 16);
}

// A whole default capture: no original identifier in its text, and the program shows its
// replay as it shows the machine, but for the DiskID and S/N values, which keep their form.
TEST(StandIns, ADefaultCaptureGivesNoIdentifierAway) {
  const json description = json::parse(R"({
    "disks": [
      {"number": 0, "product": "P0", "serial": "533344334E5830373131373520202020", "length": 1048576,
       "geometry": {}, "layout": {"style": "mbr", "signature": 439041101}},
      {"number": 1, "product": "P1", "serial": "     WD-WCC7K1234567", "length": 1048576,
       "geometry": {}, "layout": {"style": "gpt", "partitions": 4,
                                  "disk_id": "{12345678-9ABC-DEF0-0123-456789ABCDEF}"}}],
    "volumes": [
      {"guid": "\\\\?\\Volume{4c1b02c1-d990-11dc-99ae-806e6f6e6963}\\",
       "device": "\\Device\\HarddiskVolume1", "mount_paths": ["C:\\"],
       "extents": [{"disk": 0, "offset": 1048576, "length": 4096}]}]})");
  sim::SimMachine machine;
  scenario::LoadMachine(description, machine);
  Capture capture = CaptureMachine(machine);
  StandIns().Apply(capture);
  const std::string text = MachineJson(capture, machine).dump();
  for (const std::string& identifier :
       {HexOf("533344334E58"), HexOf("WD-WCC7K1234567"),
        std::string("4d3c2b1a") /* 439041101 as the layout stores it */,
        std::string("78563412bc9af0de") /* the GPT disk GUID as the layout stores it */,
        std::string("4c1b02c1")}) {
    EXPECT_EQ(text.find(identifier), std::string::npos) << identifier;
  }

  sim::SimMachine replay;
  scenario::LoadMachine(json::parse(text), replay);
  for (const Text path : {SB_T("\\\\.\\PhysicalDrive0"), SB_T("\\\\.\\PhysicalDrive1")}) {
    test::FakeView::PropertiesWindow original;
    test::FakeView::PropertiesWindow replayed;
    DiskInfoReport(machine, path, original);
    DiskInfoReport(replay, path, replayed);
    ASSERT_EQ(replayed.lines.size(), original.lines.size());
    for (std::size_t i = 0; i < original.lines.size(); ++i) {
      const std::string& line = original.lines[i];
      if (line.starts_with("DiskID: ")) {
        EXPECT_NE(replayed.lines[i], line);
        EXPECT_EQ(HexForm(replayed.lines[i]), HexForm(line));
      } else if (line.starts_with("S/N: ")) {
        EXPECT_NE(replayed.lines[i], line);
        EXPECT_EQ(Form(replayed.lines[i]), Form(line));
      } else {
        EXPECT_EQ(replayed.lines[i], line);
      }
    }
  }
}

}  // namespace
}  // namespace sb::capture
