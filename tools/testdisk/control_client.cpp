#include "tools/testdisk/control_client.h"

#include "platform/win32/win32_api.h"

#include "tools/testdisk/protocol.h"

namespace sb::testdisk {

ControlClient::ControlClient()
    : handle_(::CreateFileW(kControlPath, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            0, nullptr)) {
  if (handle_ == INVALID_HANDLE_VALUE) error_ = ::GetLastError();
}

ControlClient::~ControlClient() {
  if (is_open()) ::CloseHandle(handle_);
}

bool ControlClient::is_open() const {
  return handle_ != INVALID_HANDLE_VALUE;
}

bool ControlClient::Request(std::uint32_t code, ConstBytes input, MutableBytes output) {
  DWORD returned = 0;
  if (::DeviceIoControl(handle_, code, ReadOnlyInput(input.data()),
                        static_cast<DWORD>(input.size()), output.data(),
                        static_cast<DWORD>(output.size()), &returned, nullptr)) {
    return true;
  }
  error_ = ::GetLastError();
  return false;
}

bool ControlClient::Reset() {
  return Request(kControlReset, {}, {});
}

bool ControlClient::AddDisk(ConstBytes description) {
  return Request(kControlAddDisk, description, {});
}

bool ControlClient::RemoveDisk(std::uint32_t number) {
  Bytes input(4, 0);
  ByteWriter(input).U32(0, number);
  return Request(kControlRemoveDisk, input, {});
}

bool ControlClient::ReadLog(std::vector<LogEntry>& entries, std::uint32_t first) {
  entries.clear();
  Bytes input(4, 0);
  Bytes page(kLogHeaderSize + 256 * kEntrySize, 0);
  for (;;) {
    ByteWriter(input).U32(0, first);
    if (!Request(kControlReadLog, input, page)) return false;
    LogPage parsed = ParseLogPage(page);
    if (parsed.entries.empty()) return true;
    first = parsed.entries.back().sequence + 1;
    for (LogEntry& entry : parsed.entries) entries.push_back(std::move(entry));
    if (first >= parsed.next_sequence) return true;
  }
}

bool ControlClient::ReadStats(DriverStats& stats) {
  Bytes answer(kStatsSize, 0);
  if (!Request(kControlStats, {}, answer)) return false;
  const ByteReader reader(answer);
  stats = {reader.U32(kStatsDisks), reader.U32(kStatsAllocations), reader.U32(kStatsLogEntries)};
  return true;
}

}  // namespace sb::testdisk
