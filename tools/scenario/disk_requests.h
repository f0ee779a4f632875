// The control requests the disks received, one line each, in a form both machines give:
// the simulated machine from its call log, the test disk driver from its request log.
//
//   request: disk 7 0x0007C0F4 in 2800000000000000010000000000000001000000... out 0 -> ok
//   request: disk 3 0x000740D4 in  out 24 -> error 1
#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "platform/bytes.h"
#include "platform/sim/sim_machine.h"
#include "platform/sim/sim_names.h"

namespace sb::scenario {

// error is 0 for a request that succeeded, else the Windows error it failed with.
inline std::string RequestLine(std::uint32_t disk, std::uint32_t code, ConstBytes input,
                               std::size_t output_length, std::uint32_t error) {
  char text[64];
  std::snprintf(text, sizeof text, "request: disk %u 0x%08X in ", static_cast<unsigned>(disk),
                static_cast<unsigned>(code));
  std::string line = text;
  for (std::uint8_t byte : input) {
    std::snprintf(text, sizeof text, "%02x", byte);
    line += text;
  }
  line += " out " + std::to_string(output_length);
  return line + (error == 0 ? " -> ok" : " -> error " + std::to_string(error));
}

// The disk requests among a simulated machine's calls. The machine names handles ("h3");
// a request is tied to its disk through the open that made its handle, which may have
// come in an earlier batch of calls.
class SimulatedDiskRequests {
 public:
  std::vector<std::string> Lines(const std::vector<sim::Call>& calls) {
    std::vector<std::string> lines;
    for (const sim::Call& call : calls) {
      const std::size_t arrow = call.target.find(" -> ");
      if (call.op == "CreateFile" && call.ok && arrow != std::string::npos) {
        if (const auto number = sim::DiskNumberOf(call.target.substr(0, arrow))) {
          disk_of_handle_[call.target.substr(arrow + 4)] = *number;
        }
      }
      const auto disk = disk_of_handle_.find(call.target);
      if (call.op == "DeviceIoControl" && disk != disk_of_handle_.end()) {
        lines.push_back(RequestLine(disk->second, call.code, call.input, call.out_size,
                                    call.ok ? 0 : call.error));
      }
    }
    return lines;
  }

 private:
  std::map<std::string, std::uint32_t> disk_of_handle_;
};

}  // namespace sb::scenario
