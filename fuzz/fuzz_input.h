// A reader that hands out the bytes of one fuzz input as the answers of a hostile world.
//
// Every value is taken from the front of the input. Once the input is used up, every
// value reads as zero and every byte run as empty, so a run always ends: a platform that
// answers from an exhausted input fails every call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sb::fuzz {

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool empty() const { return pos_ >= size_; }
  std::size_t remaining() const { return size_ - pos_; }

  std::uint8_t Byte() { return empty() ? 0 : data_[pos_++]; }
  bool Bool() { return (Byte() & 1) != 0; }
  std::uint16_t U16() {
    const std::uint16_t low = Byte();
    return static_cast<std::uint16_t>(low | (Byte() << 8));
  }
  std::uint32_t U32() {
    const std::uint32_t low = U16();
    return low | (static_cast<std::uint32_t>(U16()) << 16);
  }
  // A length from 0 to max, both included.
  std::size_t Length(std::size_t max) { return static_cast<std::size_t>(U16()) % (max + 1); }
  // Up to count bytes: fewer when the input runs out.
  std::vector<std::uint8_t> Bytes(std::size_t count) {
    if (count > remaining()) count = remaining();
    std::vector<std::uint8_t> bytes(data_ + pos_, data_ + pos_ + count);
    pos_ += count;
    return bytes;
  }
  std::vector<std::uint8_t> Rest() { return Bytes(remaining()); }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

}  // namespace sb::fuzz
