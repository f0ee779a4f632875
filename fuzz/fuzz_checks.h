// Checks shared by the fuzz targets: a broken promise aborts the run with a message.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/text.h"

namespace sb::fuzz {

inline void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

// Identifier strings hold only the bytes 32 to 126.
inline bool AllPrintable(const std::string& text) {
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 32 || byte > 126) return false;
  }
  return true;
}

inline bool AllPrintable(const std::wstring& text) {
  for (wchar_t c : text) {
    if (c < 32 || c > 126) return false;
  }
  return true;
}

}  // namespace sb::fuzz
