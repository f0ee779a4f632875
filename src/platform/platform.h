// The seam between the program and Windows.
//
// Every platform call that the program makes goes through Platform, one operation per
// Windows call, with the same arguments and results. Win32Platform forwards to the real
// calls; SimMachine is an in-memory Windows machine for tests, the demo and scenario runs.
// Code above the seam receives the platform as an argument and never includes windows.h.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/bytes.h"
#include "platform/text.h"

namespace sb {

// An opaque platform handle (a HANDLE on Windows).
using Handle = std::uintptr_t;
inline constexpr Handle kInvalidHandle = ~Handle{0};

// Values of the Windows constants that cross the seam. The Win32 layer checks each one
// against the SDK's own definition.
namespace win {
inline constexpr std::uint32_t kGenericRead = 0x80000000u;
inline constexpr std::uint32_t kGenericWrite = 0x40000000u;
inline constexpr std::uint32_t kFileShareRead = 0x1;
inline constexpr std::uint32_t kFileShareWrite = 0x2;
inline constexpr std::uint32_t kOpenExisting = 3;
inline constexpr std::uint32_t kFileAttributeNormal = 0x80;

inline constexpr std::uint32_t kErrorSuccess = 0;
inline constexpr std::uint32_t kErrorInvalidFunction = 1;
inline constexpr std::uint32_t kErrorFileNotFound = 2;
inline constexpr std::uint32_t kErrorAccessDenied = 5;
inline constexpr std::uint32_t kErrorInvalidHandle = 6;
inline constexpr std::uint32_t kErrorNoMoreFiles = 18;
inline constexpr std::uint32_t kErrorNotReady = 21;
inline constexpr std::uint32_t kErrorNotSupported = 50;
inline constexpr std::uint32_t kErrorInvalidParameter = 87;
inline constexpr std::uint32_t kErrorInsufficientBuffer = 122;
inline constexpr std::uint32_t kErrorMoreData = 234;
inline constexpr std::uint32_t kErrorDirNotEmpty = 145;

// Message box types and answers.
inline constexpr std::uint32_t kMbOk = 0x0;
inline constexpr std::uint32_t kMbYesNo = 0x4;
inline constexpr std::uint32_t kMbDefButton1 = 0x0;
inline constexpr int kIdOk = 1;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

// Device-change broadcast.
inline constexpr std::uint32_t kDbtDeviceArrival = 0x8000;
inline constexpr std::uint32_t kDbtDeviceRemoveComplete = 0x8004;
inline constexpr std::uint32_t kDbtDevtypVolume = 2;
}  // namespace win

// Control codes of the requests the program sends.
namespace ioctl {
inline constexpr std::uint32_t kDiskGetDiskAttributes = 0x000700F0;
inline constexpr std::uint32_t kDiskGetLengthInfo = 0x0007405C;
inline constexpr std::uint32_t kStorageQueryProperty = 0x002D1400;
inline constexpr std::uint32_t kDiskSetDiskAttributes = 0x0007C0F4;
inline constexpr std::uint32_t kDiskGetDriveGeometryEx = 0x000700A0;
inline constexpr std::uint32_t kDiskGetDriveLayoutEx = 0x00070050;
inline constexpr std::uint32_t kDiskGetCacheInformation = 0x000740D4;
inline constexpr std::uint32_t kStoragePredictFailure = 0x002D1100;
inline constexpr std::uint32_t kVolumeGetVolumeDiskExtents = 0x00560000;
}  // namespace ioctl

class Platform {
 public:
  virtual ~Platform() = default;

  // CreateFileW in the wide build, CreateFileA in the single-byte build; no security
  // attributes, no template. kInvalidHandle on failure.
  virtual Handle CreateFile(const Text& path, std::uint32_t access, std::uint32_t share,
                            std::uint32_t disposition, std::uint32_t flags) = 0;
  // DeviceIoControl without overlapped I/O. The byte count it returns is not kept: callers
  // never read it.
  virtual bool DeviceIoControl(Handle device, std::uint32_t code, ConstBytes input,
                               MutableBytes output) = 0;
  virtual bool CloseHandle(Handle handle) = 0;
  virtual std::uint32_t GetLastError() = 0;
  virtual void SetLastError(std::uint32_t code) = 0;
  // FormatMessageW (A in the single-byte build) from Windows' message table, default language,
  // inserts ignored. Empty when Windows has no text for the code.
  virtual Text FormatMessage(std::uint32_t code) = 0;

  // Volume management. Buffers are the caller's; the span's size is the length passed.
  virtual Handle FindFirstVolumeA(std::span<char> name) = 0;
  virtual bool FindNextVolumeA(Handle find, std::span<char> name) = 0;
  virtual bool FindVolumeClose(Handle find) = 0;
  virtual bool GetVolumePathNamesForVolumeNameA(const std::string& volume,
                                                std::span<char> paths) = 0;
  virtual std::uint32_t QueryDosDeviceW(const std::wstring& device, std::span<wchar_t> target) = 0;
  virtual bool SetVolumeMountPointA(const std::string& mount_point, const std::string& volume) = 0;
  virtual bool DeleteVolumeMountPointA(const std::string& mount_point) = 0;

  // Conversions between UTF-16 and Windows' ANSI code page (CP_ACP).
  virtual std::string WideToAnsi(const std::wstring& wide) = 0;
  virtual std::wstring AnsiToWide(const std::string& ansi) = 0;

  virtual void Sleep(std::uint32_t milliseconds) = 0;
  // The current local date and time as the user's locale writes them: the short date,
  // a blank and the long time.
  virtual Text LocalDateTimeText() = 0;
};

// Single-byte text of the volume routines (Windows' ANSI code page) as the program's Text.
inline Text AnsiToText([[maybe_unused]] Platform& platform, const std::string& ansi) {
#ifdef SPINDLEBAY_NARROW
  return ansi;
#else
  return platform.AnsiToWide(ansi);
#endif
}

}  // namespace sb
