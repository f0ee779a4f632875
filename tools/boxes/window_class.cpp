#include "tools/boxes/window_class.h"

#include <cstring>

namespace sb {
namespace {

struct ClassName {
  explicit ClassName(HWND window) noexcept { ::GetClassNameA(window, text, sizeof text); }
  char text[kClassNameCapacity] = {};
};

}  // namespace

std::string ClassOf(HWND window) {
  return ClassName(window).text;
}

bool HasClass(HWND window, const char* name) noexcept {
  return std::strcmp(ClassName(window).text, name) == 0;
}

}  // namespace sb
