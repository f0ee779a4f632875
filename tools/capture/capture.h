// What a Windows machine's disks and volumes answer, gathered through the platform seam the
// way the program asks: the same opens, requests, buffers and sizes, and nothing that
// changes a disk. A capture becomes a machine description of the scenario runner
// (machine_writer.h) that the simulated machine and the test disk driver replay.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/bytes.h"
#include "platform/platform.h"

namespace sb::capture {

// The disk numbers the program probes.
inline constexpr std::uint32_t kFirstDisk = 0;
inline constexpr std::uint32_t kLastDisk = 15;
// A volume enumeration that never ends is cut here: Windows has far fewer volumes.
inline constexpr std::size_t kMaxVolumes = 1024;
// The most extents asked for again when a volume's do not fit the program's buffer.
inline constexpr std::uint32_t kMaxExtents = 4096;

struct CapturedDisk {
  std::uint32_t number = 0;
  // The list's open was refused with this error: nothing else was asked.
  std::uint32_t open_error = 0;
  std::optional<std::int64_t> length{};
  std::optional<std::uint64_t> attributes{};
  // Answer bytes by control code, as the program's zero-filled buffer holds them after the
  // request, without the trailing zero bytes.
  std::map<std::uint32_t, Bytes> answers{};
  // The error of each request that failed, by control code. A refused open of the handle a
  // request needs counts as that request's failure, with the open's error.
  std::map<std::uint32_t, std::uint32_t> failing{};
};

struct CapturedExtent {
  std::uint32_t disk = 0;
  std::int64_t offset = 0;
  std::int64_t length = 0;
};

struct CapturedVolume {
  // Texts as Windows gives them, in its single-byte code page.
  std::string name{};
  std::string device{};  // empty: the DOS-device query failed
  std::vector<std::string> mount_paths{};
  std::vector<CapturedExtent> extents{};
  std::uint32_t open_error = 0;
  std::uint32_t extents_error = 0;
};

struct Capture {
  std::vector<CapturedDisk> disks{};
  std::vector<CapturedVolume> volumes{};
  // Windows' message text of every error code above and of those the program's commands
  // may meet, in the machine's language; codes without a text are left out.
  std::map<std::uint32_t, Text> message_texts{};
  // What was odd about the machine, for the person who runs the capture (standard error).
  std::vector<std::string> notes{};
};

// Asks disks 0 to 15 and every volume. Never throws for what the platform answers.
Capture CaptureMachine(Platform& platform);

// One disk; nullopt when there is no disk of that number (its open finds no device).
std::optional<CapturedDisk> CaptureDisk(Platform& platform, std::uint32_t number,
                                        std::vector<std::string>& notes);

std::vector<CapturedVolume> CaptureVolumes(Platform& platform, std::vector<std::string>& notes);

}  // namespace sb::capture
