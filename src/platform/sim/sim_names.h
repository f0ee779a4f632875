// How the simulated machine reads the names it is given: device paths and volume names,
// compared without regard to letter case, as the object manager compares them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace sb::sim {

inline std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// The disk number of "\\.\PhysicalDriveN" in either letter case, written in canonical
// decimal as the object manager names it.
inline std::optional<std::uint32_t> DiskNumberOf(const std::string& path) {
  static const std::string kPrefix = "\\\\.\\physicaldrive";
  const std::string lower = Lower(path);
  if (lower.rfind(kPrefix, 0) != 0) return std::nullopt;
  const std::string digits = lower.substr(kPrefix.size());
  if (digits.empty() || digits.size() > 9 || (digits.size() > 1 && digits[0] == '0')) {
    return std::nullopt;
  }
  std::uint32_t number = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    number = number * 10 + static_cast<std::uint32_t>(c - '0');
  }
  return number;
}

}  // namespace sb::sim
