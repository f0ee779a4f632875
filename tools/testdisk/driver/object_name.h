// An object manager name built from a prefix and a decimal number, e.g. \??\PhysicalDrive7.
#pragma once

#include "tools/testdisk/driver/kernel.h"

namespace sb::testdisk::kernel {

class ObjectName {
 public:
  ObjectName(const wchar_t* prefix, std::uint32_t number) {
    while (*prefix != L'\0' && length_ < kCapacity - 11) text_[length_++] = *prefix++;
    wchar_t digits[10];
    std::size_t count = 0;
    do {
      digits[count++] = static_cast<wchar_t>(L'0' + number % 10);
      number /= 10;
    } while (number != 0);
    while (count != 0) text_[length_++] = digits[--count];
    text_[length_] = L'\0';
    string_.Buffer = text_;
    string_.Length = static_cast<USHORT>(length_ * sizeof(wchar_t));
    string_.MaximumLength = static_cast<USHORT>(sizeof(text_));
  }
  ObjectName(const ObjectName&) = delete;
  ObjectName& operator=(const ObjectName&) = delete;

  UNICODE_STRING* get() { return &string_; }

 private:
  static constexpr std::size_t kCapacity = 64;
  wchar_t text_[kCapacity] = {};
  std::size_t length_ = 0;
  UNICODE_STRING string_{};
};

}  // namespace sb::testdisk::kernel
