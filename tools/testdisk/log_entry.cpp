#include "tools/testdisk/log_entry.h"

#include <algorithm>
#include <cstdio>

#include "tools/testdisk/protocol.h"

namespace sb::testdisk {

LogPage ParseLogPage(ConstBytes answer) {
  const ByteReader header(answer);
  LogPage page;
  page.next_sequence = header.U32(kLogNextSequence);
  page.dropped = header.U32(kLogDropped);
  const std::uint32_t count = header.U32(kLogCount);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t at = kLogHeaderSize + std::size_t{i} * kEntrySize;
    if (!header.Contains(at, kEntrySize)) break;
    const ByteReader entry(answer.subspan(at, kEntrySize));
    LogEntry parsed{.sequence = entry.U32(kEntrySequence),
                    .disk = entry.U32(kEntryDisk),
                    .code = entry.U32(kEntryCode),
                    .status = entry.U32(kEntryStatus),
                    .input_length = entry.U32(kEntryInputLength),
                    .output_length = entry.U32(kEntryOutputLength),
                    .returned = entry.U32(kEntryReturned)};
    const std::size_t kept = std::min<std::size_t>(parsed.input_length, kEntryInputBytes);
    const auto input = answer.subspan(at + kEntryInput, kept);
    parsed.input.assign(input.begin(), input.end());
    page.entries.push_back(std::move(parsed));
  }
  return page;
}

std::string HexBytes(ConstBytes bytes) {
  std::string text;
  char digits[3];
  for (std::uint8_t byte : bytes) {
    std::snprintf(digits, sizeof digits, "%02x", byte);
    text += digits;
  }
  return text;
}

std::uint32_t ErrorOfStatus(std::uint32_t status) {
  if (status == kStatusSuccess) return 0;
  for (const ErrorStatus& entry : kStatusOfError) {
    if (entry.status == status) return entry.error;
  }
  return status;
}

std::string LogEntryJson(const LogEntry& entry) {
  char numbers[160];
  std::snprintf(numbers, sizeof numbers, "{\"disk\":%u,\"code\":\"0x%08X\",\"input\":\"",
                static_cast<unsigned>(entry.disk), static_cast<unsigned>(entry.code));
  std::string text = numbers;
  text += HexBytes(entry.input);
  std::snprintf(numbers, sizeof numbers, "\",\"output_length\":%u,\"status\":\"0x%08X\"}",
                static_cast<unsigned>(entry.output_length), static_cast<unsigned>(entry.status));
  return text + numbers;
}

}  // namespace sb::testdisk
