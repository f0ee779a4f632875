// The simulated machine's handle table, its call log and the faults it is told to inject:
// opening and closing devices, and what every call records.
#include "platform/sim/sim_machine.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "platform/sim/sim_names.h"

namespace sb::sim {
namespace {

std::string Hex32(std::uint32_t value) {
  char text[16];
  static_cast<void>(std::snprintf(text, sizeof text, "0x%08X", value));  // 10 characters
  return text;
}

}  // namespace

std::string Call::ToString() const {
  std::string text = op + "(" + target;
  if (op == "CreateFile") {
    text += ", access " + Hex32(access) + ", share " + std::to_string(share) + ", flags " +
            Hex32(flags);
  } else if (op == "DeviceIoControl") {
    text += ", " + Hex32(code) + ", in " + std::to_string(in_size) + ", out " +
            std::to_string(out_size);
  }
  text += ok ? ") ok" : ") failed " + std::to_string(error);
  return text;
}

void SimMachine::FailNthCall(std::size_t n, std::uint32_t error) {
  fail_countdown_ = n;
  fail_error_ = error;
}

std::optional<std::uint32_t> SimMachine::InjectedFault() {
  if (fail_countdown_ == 0) return std::nullopt;
  if (--fail_countdown_ != 0) return std::nullopt;
  return fail_error_;
}

std::vector<Call> SimMachine::CallsOf(const std::string& op) const {
  std::vector<Call> result;
  for (const auto& call : calls_) {
    if (call.op == op) result.push_back(call);
  }
  return result;
}

std::vector<std::string> SimMachine::OpenHandles() const {
  std::vector<std::string> open;
  for (const auto& [handle, entry] : handles_) {
    open.push_back(handle_names_.at(handle) + " " + entry.path);
  }
  return open;
}

Call& SimMachine::Log(Call call) {
  calls_.push_back(std::move(call));
  return calls_.back();
}

bool SimMachine::Fail(Call& call, std::uint32_t error) {
  call.ok = false;
  call.error = error;
  last_error_ = error;
  return false;
}

Handle SimMachine::NewHandle(OpenHandle entry) {
  const Handle handle = next_handle_;
  next_handle_ += 4;
  handles_[handle] = std::move(entry);
  // Handles are named h1, h2, ... in the order they were opened, so logs read the same in
  // every run.
  std::string name = "h";
  name += std::to_string(++handle_serial_);
  handle_names_[handle] = std::move(name);
  return handle;
}

Handle SimMachine::FailOpen(Call& call, std::uint32_t error) {
  Fail(call, error);
  return kInvalidHandle;
}

std::uint32_t SimMachine::FailCount(Call& call, std::uint32_t error) {
  Fail(call, error);
  return 0;
}

Handle SimMachine::CreateFile(const Text& path, std::uint32_t access, std::uint32_t share,
                              std::uint32_t disposition, std::uint32_t flags) {
  const std::string ascii = TextToAscii(path);
  Call& call =
      Log({.op = "CreateFile", .target = ascii, .access = access, .share = share, .flags = flags});
  if (const auto fault = InjectedFault()) return FailOpen(call, *fault);
  if (disposition != win::kOpenExisting) return FailOpen(call, win::kErrorInvalidParameter);

  OpenHandle entry{Kind::kDisk, 0, access, ascii};
  if (const auto number = DiskNumberOf(ascii)) {
    const Disk* found = disk(*number);
    if (found == nullptr) return FailOpen(call, win::kErrorFileNotFound);
    if (found->open_error != 0) return FailOpen(call, found->open_error);
    entry.index = *number;
  } else {
    // A volume device is opened by its GUID path without the trailing backslash; with
    // the backslash the open reaches the volume's root folder instead.
    const bool folder = !ascii.empty() && ascii.back() == '\\';
    const std::string name = folder ? ascii : ascii + "\\";
    const auto it = std::find_if(volumes_.begin(), volumes_.end(), [&](const Volume& v) {
      return Lower(v.guid_name) == Lower(name);
    });
    if (it == volumes_.end()) return FailOpen(call, win::kErrorFileNotFound);
    if (it->open_error != 0) return FailOpen(call, it->open_error);
    entry.kind = folder ? Kind::kFolder : Kind::kVolume;
    entry.index = static_cast<std::uint32_t>(it - volumes_.begin());
  }
  const Handle handle = NewHandle(entry);
  call.ok = true;
  call.target += " -> " + handle_names_[handle];
  return handle;
}

bool SimMachine::CloseHandle(Handle handle) {
  const auto it = handles_.find(handle);
  Call& call = Log(
      {.op = "CloseHandle", .target = it == handles_.end() ? "invalid" : handle_names_.at(handle)});
  if (it == handles_.end() || it->second.kind == Kind::kFind) {
    ++bad_closes_;
    return Fail(call, win::kErrorInvalidHandle);
  }
  handles_.erase(it);
  call.ok = true;
  if (close_error_ != 0) last_error_ = close_error_;
  return true;
}

}  // namespace sb::sim
