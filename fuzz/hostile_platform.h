// A platform whose every answer comes from a fuzz input.
//
// Each call that can fail on Windows first reads whether it succeeds; a failing call
// leaves an arbitrary last error, a succeeding one fills the caller's buffer with an
// arbitrary number of arbitrary bytes (and a failing control request may scribble on its
// buffer too, as drivers that answer with partial data do). Handles are tracked: closing
// one that is not open, using one that is not open, or leaving one open is a finding.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "fuzz_input.h"
#include "platform/platform.h"

namespace sb::fuzz {

class HostilePlatform : public Platform {
 public:
  explicit HostilePlatform(FuzzInput& input) : in_(input) {}

  // Aborts, naming the fault, when a handle is still open or was misused. Called after
  // each input.
  void CheckHandles() const;

  std::size_t calls() const { return calls_; }

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
  void Sleep(std::uint32_t) override {}
  Text LocalDateTimeText() override { return SB_T("12/9/2026 10:00:00 AM"); }

 private:
  enum class Kind { kDevice, kFind };

  // Reads success; on failure sets an arbitrary last error.
  bool Succeeds();
  Handle Open(Kind kind, const std::string& what);
  bool IsOpen(Handle handle, Kind kind);
  bool Release(Handle handle, Kind kind);
  void FillChars(std::span<char> buffer);

  FuzzInput& in_;
  std::map<Handle, std::pair<Kind, std::string>> open_;
  Handle next_handle_ = 0x100;
  std::uint32_t last_error_ = 0;
  std::size_t calls_ = 0;
  std::size_t bad_closes_ = 0;
  std::size_t bad_uses_ = 0;
};

}  // namespace sb::fuzz
