// A simulated Windows machine behind the platform seam.
//
// It holds disks (with their attribute word, length and the raw bytes each control
// request answers), volumes (GUID names, device names, extents, mount paths), the drive
// letters in use, refused opens and failing requests with their error codes. It keeps a
// handle table that reports leaks, logs every call, runs a virtual clock so that a pause
// costs nothing, and queues volume arrival and removal notices when drive letters come and
// go or a disk goes offline or online.
//
// SimMachine is defined across files named after what they hold:
//   sim_machine.cpp          building it, message texts, the code page, the clock
//   sim_handles.cpp          the handle table, the call log and injected faults; opening
//                            and closing devices
//   sim_device_requests.cpp  control requests: what disks and volumes answer
//   sim_volume_calls.cpp     volume enumeration, mount points, DOS device names, notices
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace sb::sim {

struct Disk {
  // A refused open fails with this error (for example access denied); 0 opens normally.
  std::uint32_t open_error = 0;
  std::uint64_t attributes = 0;
  std::int64_t length = 0;
  // Raw answers of the read requests, exactly as the device returns them. The buffer a
  // request needs and the error of an absent answer follow platform/sim/disk_answer_rules.h.
  std::optional<Bytes> descriptor{};
  std::optional<Bytes> geometry{};
  std::optional<Bytes> layout{};
  std::optional<Bytes> cache{};
  std::optional<Bytes> predict_failure{};
  bool answers_length = true;
  bool answers_attributes = true;
  // false: a removable drive without media, such as an empty card-reader slot. The length,
  // geometry and layout requests fail with ERROR_NOT_READY; the descriptor and the
  // attributes still answer.
  bool has_media = true;
  // Requests that fail, by control code, with the error they fail with. This also covers
  // refusing IOCTL_DISK_SET_DISK_ATTRIBUTES.
  std::map<std::uint32_t, std::uint32_t> failing_requests{};
};

struct Extent {
  std::uint32_t disk_number = 0;
  std::int64_t starting_offset = 0;
  std::int64_t length = 0;
};

struct Volume {
  std::string guid_name{};        // \\?\Volume{GUID}\ as the enumeration returns it
  std::string device_name{};      // \Device\HarddiskVolumeN; empty: the DOS-device query fails
  std::vector<Extent> extents{};  // none, one or several
  // One drive root (E:\) at most, and folders; each with a trailing backslash.
  std::vector<std::string> mount_paths{};
  std::uint32_t open_error = 0;     // the volume device refuses opens with this error
  std::uint32_t extents_error = 0;  // the extents request fails with this error
};

struct Notice {
  std::uint32_t event = 0;  // DBT_DEVICEARRIVAL or DBT_DEVICEREMOVECOMPLETE
  std::uint32_t unit_mask = 0;
};

// One platform call as the machine saw it.
struct Call {
  std::string op{};          // the platform call's name, e.g. "CreateFile", "DeviceIoControl"
  std::string target{};      // the path, volume or mount point it named; "h3" for a handle
  std::uint32_t code = 0;    // control code
  std::uint32_t access = 0;  // CreateFile: desired access
  std::uint32_t share = 0;   // CreateFile: share mode
  std::uint32_t flags = 0;   // CreateFile: flags and attributes
  std::size_t in_size = 0;   // DeviceIoControl: input length
  std::size_t out_size = 0;  // DeviceIoControl and the buffer calls: output length
  Bytes input{};             // DeviceIoControl: the input bytes
  bool ok = false;
  std::uint32_t error = 0;  // the last error a failing call left
  std::string ToString() const;
};

class SimMachine : public Platform {
 public:
  SimMachine();

  // --- Building the machine ---
  void AddDisk(std::uint32_t number, Disk disk) { disks_[number] = std::move(disk); }
  void RemoveDisk(std::uint32_t number) { disks_.erase(number); }
  Disk* disk(std::uint32_t number);
  void AddVolume(Volume volume) { volumes_.push_back(std::move(volume)); }
  std::vector<Volume>& volumes() { return volumes_; }
  // Drive letters taken by something other than a volume here (a network drive, say).
  void ReserveLetter(char letter) { reserved_letters_.insert(letter); }
  // The text FormatMessage gives for the code, in the machine's code page.
  void set_message_text(std::uint32_t code, std::string text) { messages_[code] = std::move(text); }

  // A volume that comes or goes from outside the program (a stick plugged in or pulled).
  void ArriveVolume(Volume volume);
  void RemoveVolume(const std::string& guid_name);
  void QueueNotice(Notice notice) { notices_.push_back(notice); }

  // --- Fault injection ---
  // The n-th platform call from now (1 for the next one) fails with the given error.
  // Calls that cannot fail on Windows (CloseHandle, the last-error calls, Sleep, the clock,
  // the conversions) are not counted.
  void FailNthCall(std::size_t n, std::uint32_t error);
  // CloseHandle succeeds but leaves this error behind, as a driver's cleanup may; 0 leaves
  // the last error alone.
  void set_close_error(std::uint32_t error) { close_error_ = error; }

  // --- Observing ---
  const std::vector<Call>& calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }
  std::vector<Call> CallsOf(const std::string& op) const;
  // Descriptions of handles still open; empty when every handle was closed.
  std::vector<std::string> OpenHandles() const;
  std::size_t bad_closes() const { return bad_closes_; }
  std::uint64_t elapsed_ms() const { return elapsed_ms_; }
  std::deque<Notice> TakeNotices();
  bool HasNotices() const { return !notices_.empty(); }
  std::set<char> LettersInUse() const;

  // --- Platform ---
  Handle CreateFile(const Text& path, std::uint32_t access, std::uint32_t share,
                    std::uint32_t disposition, std::uint32_t flags) override;
  bool DeviceIoControl(Handle device, std::uint32_t code, ConstBytes input,
                       MutableBytes output) override;
  bool CloseHandle(Handle handle) override;
  std::uint32_t GetLastError() override { return last_error_; }
  void SetLastError(std::uint32_t code) override { last_error_ = code; }
  Text FormatMessage(std::uint32_t code) override;
  Handle FindFirstVolumeA(std::span<char> name) override;
  bool FindNextVolumeA(Handle find, std::span<char> name) override;
  bool FindVolumeClose(Handle find) override;
  bool GetVolumePathNamesForVolumeNameA(const std::string& volume, std::span<char> paths) override;
  std::uint32_t QueryDosDeviceW(const std::wstring& device, std::span<wchar_t> target) override;
  bool SetVolumeMountPointA(const std::string& mount_point, const std::string& volume) override;
  bool DeleteVolumeMountPointA(const std::string& mount_point) override;
  std::string WideToAnsi(const std::wstring& wide) override;
  std::wstring AnsiToWide(const std::string& ansi) override;
  void Sleep(std::uint32_t milliseconds) override;
  Text LocalDateTimeText() override;

 private:
  enum class Kind { kDisk, kVolume, kFolder, kFind };
  struct OpenHandle {
    Kind kind = Kind::kDisk;
    std::uint32_t index = 0;  // disk number, volume index or enumeration position
    std::uint32_t access = 0;
    std::string path;
  };

  Call& Log(Call call);
  bool Fail(Call& call, std::uint32_t error);
  Handle FailOpen(Call& call, std::uint32_t error);
  Handle NewHandle(OpenHandle entry);
  std::uint32_t FailCount(Call& call, std::uint32_t error);
  std::optional<std::uint32_t> InjectedFault();
  Volume* FindVolume(const std::string& guid_name);
  bool DiskRequest(Disk& disk, std::uint32_t number, const OpenHandle& open, std::uint32_t code,
                   ConstBytes input, MutableBytes output, Call& call);
  bool VolumeRequest(const Volume& volume, std::uint32_t code, MutableBytes output, Call& call);
  void QueueLetterNotices(std::uint32_t event, std::uint32_t disk_number);
  bool WriteVolumeName(std::size_t index, std::span<char> name, Call& call);

  std::map<std::uint32_t, Disk> disks_;
  std::vector<Volume> volumes_;
  std::set<char> reserved_letters_;
  std::map<std::uint32_t, std::string> messages_;
  std::map<Handle, OpenHandle> handles_;
  std::map<Handle, std::string> handle_names_;
  Handle next_handle_ = 0x100;
  std::size_t handle_serial_ = 0;
  std::uint32_t last_error_ = 0;
  std::vector<Call> calls_;
  std::size_t bad_closes_ = 0;
  std::uint64_t elapsed_ms_ = 0;
  std::deque<Notice> notices_;
  std::size_t fail_countdown_ = 0;
  std::uint32_t fail_error_ = 0;
  std::uint32_t close_error_ = 0;
};

// The unit-mask bit of a drive root path ("E:\" gives bit 4); 0 for folder paths.
std::uint32_t UnitMaskOf(const std::string& mount_path);

}  // namespace sb::sim
