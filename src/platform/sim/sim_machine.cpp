// The simulated machine itself: its disks, its message texts, its code page and its clock.
#include "platform/sim/sim_machine.h"

#include <cstdio>
#include <utility>

namespace sb::sim {
namespace {

const std::map<std::uint32_t, std::string>& DefaultMessages() {
  static const std::map<std::uint32_t, std::string> kMessages = {
      {win::kErrorSuccess, "The operation completed successfully.\r\n"},
      {win::kErrorInvalidFunction, "Incorrect function.\r\n"},
      {win::kErrorFileNotFound, "The system cannot find the file specified.\r\n"},
      {win::kErrorAccessDenied, "Access is denied.\r\n"},
      {win::kErrorInvalidHandle, "The handle is invalid.\r\n"},
      {win::kErrorNoMoreFiles, "There are no more files.\r\n"},
      {win::kErrorNotReady, "The device is not ready.\r\n"},
      {win::kErrorNotSupported, "The request is not supported.\r\n"},
      {win::kErrorInvalidParameter, "The parameter is incorrect.\r\n"},
      {win::kErrorInsufficientBuffer, "The data area passed to a system call is too small.\r\n"},
      {win::kErrorDirNotEmpty, "The directory is not empty.\r\n"},
      {win::kErrorMoreData, "More data is available.\r\n"},
  };
  return kMessages;
}

}  // namespace

SimMachine::SimMachine() : messages_(DefaultMessages()) {}

Disk* SimMachine::disk(std::uint32_t number) {
  const auto it = disks_.find(number);
  return it == disks_.end() ? nullptr : &it->second;
}

std::deque<Notice> SimMachine::TakeNotices() {
  return std::exchange(notices_, {});
}

// Message texts are kept in the machine's code page, as FormatMessageA gives them.
Text SimMachine::FormatMessage(std::uint32_t code) {
  const auto it = messages_.find(code);
  if (it == messages_.end()) return Text();
#ifdef SPINDLEBAY_NARROW
  return it->second;
#else
  return AnsiToWide(it->second);
#endif
}

// The simulated code page is Windows-1252's Latin-1 range: characters 0 to 255 map to
// the byte of the same value, everything else to '?'.
std::string SimMachine::WideToAnsi(const std::wstring& wide) {
  std::string ansi;
  for (wchar_t c : wide) {
    ansi.push_back(static_cast<std::uint32_t>(c) < 256 ? static_cast<char>(c) : '?');
  }
  return ansi;
}

std::wstring SimMachine::AnsiToWide(const std::string& ansi) {
  std::wstring wide;
  for (char c : ansi) wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
  return wide;
}

void SimMachine::Sleep(std::uint32_t milliseconds) {
  Log({.op = "Sleep", .target = std::to_string(milliseconds), .ok = true});
  elapsed_ms_ += milliseconds;
}

// The machine's clock starts at 9 December 2026, 10:00:00, in an English (United States)
// locale: short date 12/9/2026, long time 10:00:00 AM.
Text SimMachine::LocalDateTimeText() {
  const std::uint64_t seconds = std::uint64_t{10} * 3600 + elapsed_ms_ / 1000;
  const unsigned hour = static_cast<unsigned>((seconds / 3600) % 24);
  const unsigned minute = static_cast<unsigned>((seconds / 60) % 60);
  const unsigned second = static_cast<unsigned>(seconds % 60);
  char text[64];
  // At most 24 characters: the text always fits.
  static_cast<void>(std::snprintf(text, sizeof text, "12/9/2026 %u:%02u:%02u %s",
                                  hour % 12 == 0 ? 12 : hour % 12, minute, second,
                                  hour < 12 ? "AM" : "PM"));
  return AsciiToText(text);
}

}  // namespace sb::sim
