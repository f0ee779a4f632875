#include "platform/win32/win32_platform.h"

#include "platform/win32/win32_api.h"

#include <vector>

namespace sb {
namespace {

HANDLE ToWin(Handle handle) {
  return reinterpret_cast<HANDLE>(handle);
}
Handle FromWin(HANDLE handle) {
  return reinterpret_cast<Handle>(handle);
}

DWORD Length(std::size_t size) {
  return static_cast<DWORD>(size);
}

}  // namespace

Handle Win32Platform::CreateFile(const Text& path, std::uint32_t access, std::uint32_t share,
                                 std::uint32_t disposition, std::uint32_t flags) {
  return FromWin(CreateFileT(path.c_str(), access, share, disposition, flags));
}

bool Win32Platform::DeviceIoControl(Handle device, std::uint32_t code, ConstBytes input,
                                    MutableBytes output) {
  DWORD returned = 0;  // never read: callers rely on zero-filled buffers instead
  return ::DeviceIoControl(ToWin(device), code,
                           input.empty() ? nullptr : ReadOnlyInput(input.data()),
                           Length(input.size()), output.empty() ? nullptr : output.data(),
                           Length(output.size()), &returned, nullptr) != FALSE;
}

bool Win32Platform::CloseHandle(Handle handle) {
  return ::CloseHandle(ToWin(handle)) != FALSE;
}

std::uint32_t Win32Platform::GetLastError() {
  return ::GetLastError();
}

void Win32Platform::SetLastError(std::uint32_t code) {
  ::SetLastError(code);
}

Text Win32Platform::FormatMessage(std::uint32_t code) {
  Char buffer[1024] = {};
  const DWORD flags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
#ifdef SPINDLEBAY_NARROW
  const DWORD length =
      ::FormatMessageA(flags, nullptr, code, 0, buffer, std::size(buffer), nullptr);
#else
  const DWORD length =
      ::FormatMessageW(flags, nullptr, code, 0, buffer, std::size(buffer), nullptr);
#endif
  return Text(buffer, length);
}

Handle Win32Platform::FindFirstVolumeA(std::span<char> name) {
  return FromWin(::FindFirstVolumeA(name.data(), Length(name.size())));
}

bool Win32Platform::FindNextVolumeA(Handle find, std::span<char> name) {
  return ::FindNextVolumeA(ToWin(find), name.data(), Length(name.size())) != FALSE;
}

bool Win32Platform::FindVolumeClose(Handle find) {
  return ::FindVolumeClose(ToWin(find)) != FALSE;
}

bool Win32Platform::GetVolumePathNamesForVolumeNameA(const std::string& volume,
                                                     std::span<char> paths) {
  DWORD returned = 0;
  return ::GetVolumePathNamesForVolumeNameA(volume.c_str(), paths.data(), Length(paths.size()),
                                            &returned) != FALSE;
}

std::uint32_t Win32Platform::QueryDosDeviceW(const std::wstring& device,
                                             std::span<wchar_t> target) {
  return ::QueryDosDeviceW(device.c_str(), target.data(), Length(target.size()));
}

bool Win32Platform::SetVolumeMountPointA(const std::string& mount_point,
                                         const std::string& volume) {
  return ::SetVolumeMountPointA(mount_point.c_str(), volume.c_str()) != FALSE;
}

bool Win32Platform::DeleteVolumeMountPointA(const std::string& mount_point) {
  return ::DeleteVolumeMountPointA(mount_point.c_str()) != FALSE;
}

std::string Win32Platform::WideToAnsi(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int size = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), ansi.data(), size,
                        nullptr, nullptr);
  return ansi;
}

std::wstring Win32Platform::AnsiToWide(const std::string& ansi) {
  if (ansi.empty()) return std::wstring();
  const int size =
      ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), size);
  return wide;
}

void Win32Platform::Sleep(std::uint32_t milliseconds) {
  ::Sleep(milliseconds);
}

// The two texts are as long as the user's formats make them: each call is asked for the
// size it needs first, so no picture of the locale is cut.
Text Win32Platform::LocalDateTimeText() {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  auto format = [&now](auto call, DWORD flags) {
    const int size = call(LOCALE_USER_DEFAULT, flags, &now, nullptr, nullptr, 0);
    if (size <= 0) return Text();
    Text text(static_cast<std::size_t>(size), Char{});
    const int written = call(LOCALE_USER_DEFAULT, flags, &now, nullptr, text.data(), size);
    text.resize(written > 0 ? static_cast<std::size_t>(written) - 1 : 0);
    return text;
  };
#ifdef SPINDLEBAY_NARROW
  return format(::GetDateFormatA, DATE_SHORTDATE) + SB_T(" ") + format(::GetTimeFormatA, 0);
#else
  return format(::GetDateFormatW, DATE_SHORTDATE) + SB_T(" ") + format(::GetTimeFormatW, 0);
#endif
}

}  // namespace sb
