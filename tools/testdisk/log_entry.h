// The driver's request log as the user-mode side reads it (layout in protocol.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/bytes.h"

namespace sb::testdisk {

struct LogEntry {
  std::uint32_t sequence = 0;
  std::uint32_t disk = 0;
  std::uint32_t code = 0;
  std::uint32_t status = 0;  // the NTSTATUS the driver completed the request with
  std::uint32_t input_length = 0;
  std::uint32_t output_length = 0;
  std::uint32_t returned = 0;
  Bytes input{};  // the first input bytes (all of them for the program's requests)
};

struct LogPage {
  std::uint32_t next_sequence = 0;
  std::uint32_t dropped = 0;
  std::vector<LogEntry> entries{};
};

// One answer of the log request; entries that are cut short are not taken.
LogPage ParseLogPage(ConstBytes answer);

// {"disk":7,"code":"0x0007C0F4","input":"28000000...","output_length":0,"status":"0x00000000"}
std::string LogEntryJson(const LogEntry& entry);

std::string HexBytes(ConstBytes bytes);

// The Windows error Wine's DeviceIoControl gives for a request the driver completed with
// status: 0 for success, the status itself when no error is known for it.
std::uint32_t ErrorOfStatus(std::uint32_t status);

}  // namespace sb::testdisk
