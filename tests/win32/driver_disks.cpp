#include "driver_disks.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>

#include "tools/testdisk/disk_image.h"

namespace sb::test {
namespace {

std::string RequestLine(std::uint32_t disk, std::uint32_t code, ConstBytes input,
                        std::size_t output_length) {
  char code_text[16];
  std::snprintf(code_text, sizeof code_text, "0x%08X", static_cast<unsigned>(code));
  return "disk " + std::to_string(disk) + " " + code_text + " in " + testdisk::HexBytes(input) +
         " out " + std::to_string(output_length);
}

}  // namespace

void DriverDisks::AddDisk(std::uint32_t number, const sim::Disk& disk) {
  std::vector<std::string> warnings;
  ASSERT_TRUE(control_.AddDisk(testdisk::DescribeDisk(number, disk, warnings)))
      << "disk " << number << ": error " << control_.error();
  simulated_.AddDisk(number, disk);
  testdisk::DriverStats stats;
  ASSERT_TRUE(control_.ReadStats(stats));
  log_mark_ = stats.log_entries;
  calls_mark_ = simulated_.calls().size();
}

std::vector<testdisk::LogEntry> DriverDisks::LogSinceMark() {
  std::vector<testdisk::LogEntry> entries;
  EXPECT_TRUE(control_.ReadLog(entries, log_mark_)) << "error " << control_.error();
  if (!entries.empty()) log_mark_ = entries.back().sequence + 1;
  return entries;
}

std::vector<std::string> DriverDisks::DriverRequests() {
  std::vector<std::string> lines;
  for (const auto& entry : LogSinceMark()) {
    lines.push_back(RequestLine(entry.disk, entry.code, entry.input, entry.output_length));
  }
  return lines;
}

// The simulated machine logs handles by name ("\\.\PhysicalDrive7 -> h3"); requests are
// tied back to their disk through the open that made the handle.
std::vector<std::string> DriverDisks::SimulatedRequests() {
  static const std::string kPrefix = "\\\\.\\PhysicalDrive";
  std::map<std::string, std::uint32_t> disk_of_handle;
  std::vector<std::string> lines;
  const auto& calls = simulated_.calls();
  for (std::size_t i = calls_mark_; i < calls.size(); ++i) {
    const sim::Call& call = calls[i];
    const std::size_t arrow = call.target.find(" -> ");
    if (call.op == "CreateFile" && call.ok && arrow != std::string::npos &&
        call.target.size() > kPrefix.size() &&
        std::equal(kPrefix.begin(), kPrefix.end(), call.target.begin(),
                   [](char a, char b) { return std::tolower(a) == std::tolower(b); })) {
      disk_of_handle[call.target.substr(arrow + 4)] = static_cast<std::uint32_t>(
          std::stoul(call.target.substr(kPrefix.size(), arrow - kPrefix.size())));
    }
    if (call.op == "DeviceIoControl" && disk_of_handle.count(call.target)) {
      lines.push_back(
          RequestLine(disk_of_handle[call.target], call.code, call.input, call.out_size));
    }
  }
  calls_mark_ = calls.size();
  return lines;
}

}  // namespace sb::test
