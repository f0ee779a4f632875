// spindlebay-capture: writes what this machine's disks and volumes answer the program, as a
// machine description of the scenario runner, to a file or to standard output.
//
//   spindlebay-capture.exe [--keep-identifiers] --output machine.json
//   spindlebay-capture.exe [--keep-identifiers] > machine.json
//
// It only reads: every disk is opened as the program opens it for a query, never for
// writing, and no request that changes a disk is sent. The run itself is capture_run.h;
// this file is where the description goes on Windows.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/handle.h"
#include "platform/win32/win32_api.h"
#include "platform/win32/win32_platform.h"
#include "tools/capture/capture_run.h"

namespace {

// The bytes given to WriteFile, all of them; 0 or the Windows error of the failure.
std::uint32_t WriteAll(HANDLE handle, std::string_view text) {
  while (!text.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1u << 20));
    DWORD written = 0;
    if (!WriteFile(handle, text.data(), chunk, &written, nullptr)) return GetLastError();
    if (written == 0) return ERROR_WRITE_FAULT;
    text.remove_prefix(written);
  }
  return ERROR_SUCCESS;
}

// Standard output as it is: a console, a file or a pipe that the prompt opened.
class StandardOutput : public sb::capture::Output {
 public:
  std::uint32_t Write(std::string_view text) override {
    const HANDLE handle = GetStdHandle(STD_OUTPUT_HANDLE);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return ERROR_INVALID_HANDLE;
    return WriteAll(handle, text);
  }
  std::string Name() const override { return "standard output"; }
};

// The file of --output, made anew (or emptied) when the description is written.
class FileOutput : public sb::capture::Output {
 public:
  FileOutput(sb::Platform& platform, std::wstring path, std::string name)
      : platform_(platform), path_(std::move(path)), name_(std::move(name)) {}

  std::uint32_t Write(std::string_view text) override {
    const sb::UniqueHandle file(
        platform_, platform_.CreateFile(path_, sb::win::kGenericWrite, 0, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL));
    if (!file.valid()) return platform_.GetLastError();
    return WriteAll(reinterpret_cast<HANDLE>(file.get()), text);
  }
  std::string Name() const override { return name_; }

 private:
  sb::Platform& platform_;
  std::wstring path_;
  std::string name_;
};

std::string Utf8Of(const wchar_t* wide) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string text(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), size, nullptr, nullptr);
  text.pop_back();
  return text;
}

std::wstring WideOf(const std::string& utf8) {
  const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
  if (size <= 1) return {};
  std::wstring text(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, text.data(), size);
  text.pop_back();
  return text;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(Utf8Of(argv[i]));
  sb::Win32Platform platform;
  StandardOutput standard_output;
  const auto open_file =
      [&platform](const std::string& name) -> std::unique_ptr<sb::capture::Output> {
    const std::wstring path = WideOf(name);
    return std::make_unique<FileOutput>(platform, path, platform.WideToAnsi(path));
  };
  std::string messages;
  const int code =
      sb::capture::RunCapture(platform, arguments, standard_output, open_file, messages);
  // Standard error that cannot be written changes nothing the exit code says.
  static_cast<void>(std::fputs(messages.c_str(), stderr));
  return code;
}
