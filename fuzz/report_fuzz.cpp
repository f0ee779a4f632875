// The disk information report when every query gets an arbitrary answer.
#include <cstdint>
#include <vector>

#include "disk/report.h"
#include "fuzz_checks.h"
#include "hostile_platform.h"

namespace {

struct RecordedLines : sb::Lines {
  std::vector<sb::Text> lines;
  void Clear() override { lines.clear(); }
  void Add(const sb::Text& line) override { lines.push_back(line); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace sb;
  fuzz::FuzzInput input(data, size);
  // The disk part of the path: usually a number, sometimes anything at all.
  Text number;
  const std::size_t length = input.Length(24);
  for (std::size_t i = 0; i < length; ++i) number.push_back(static_cast<Char>(input.Byte()));
  fuzz::HostilePlatform platform(input);
  RecordedLines lines;
  lines.lines.push_back(SB_T("stale"));
  DiskInfoReport(platform, SB_T("\\\\.\\PhysicalDrive") + number, lines);
  platform.CheckHandles();
  fuzz::Require(!lines.lines.empty() && lines.lines.front() == SB_T("->Drive Geometry"),
                "the report starts with its geometry section");
  fuzz::Require(lines.lines.size() < 64, "the report has a bounded number of lines");
  return 0;
}
