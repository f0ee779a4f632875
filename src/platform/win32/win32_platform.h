// The platform seam over the real Windows calls.
#pragma once

#include "platform/platform.h"

namespace sb {

// Forwards each operation to the Windows call of the same name: the W forms in the
// 64-bit program, the A forms in the 32-bit one, and the A forms of the volume calls in
// both. It adds no logic of its own.
class Win32Platform : public Platform {
 public:
  Handle CreateFile(const Text& path, std::uint32_t access, std::uint32_t share,
                    std::uint32_t disposition, std::uint32_t flags) override;
  bool DeviceIoControl(Handle device, std::uint32_t code, ConstBytes input,
                       MutableBytes output) override;
  bool CloseHandle(Handle handle) override;
  std::uint32_t GetLastError() override;
  void SetLastError(std::uint32_t code) override;
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
};

}  // namespace sb
