// Bounds-checked little-endian access to the byte buffers that control requests exchange.
//
// Devices and drivers fill these buffers; nothing they put there may make the program read
// or write outside them. A read that does not lie wholly inside the buffer yields 0, a
// write that does not fit is dropped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace sb {

using Bytes = std::vector<std::uint8_t>;
using ConstBytes = std::span<const std::uint8_t>;
using MutableBytes = std::span<std::uint8_t>;

class ByteReader {
 public:
  explicit ByteReader(ConstBytes bytes) : bytes_(bytes) {}

  std::size_t size() const { return bytes_.size(); }
  bool Contains(std::uint64_t offset, std::uint64_t length) const {
    return offset <= bytes_.size() && length <= bytes_.size() - offset;
  }

  std::uint8_t U8(std::uint64_t offset) const { return static_cast<std::uint8_t>(Read(offset, 1)); }
  std::uint16_t U16(std::uint64_t offset) const {
    return static_cast<std::uint16_t>(Read(offset, 2));
  }
  std::uint32_t U32(std::uint64_t offset) const {
    return static_cast<std::uint32_t>(Read(offset, 4));
  }
  std::uint64_t U64(std::uint64_t offset) const { return Read(offset, 8); }
  std::int64_t I64(std::uint64_t offset) const {
    return static_cast<std::int64_t>(Read(offset, 8));
  }

  // The bytes from offset up to (not including) the first zero byte, or up to the end of
  // the buffer when no zero byte follows. Empty when offset lies at or past the end.
  std::string ZeroTerminated(std::uint64_t offset) const;

 private:
  std::uint64_t Read(std::uint64_t offset, unsigned width) const {
    if (!Contains(offset, width)) return 0;
    std::uint64_t value = 0;
    for (unsigned i = 0; i < width; ++i) {
      value |= static_cast<std::uint64_t>(bytes_[offset + i]) << (8 * i);
    }
    return value;
  }

  ConstBytes bytes_;
};

class ByteWriter {
 public:
  explicit ByteWriter(MutableBytes bytes) : bytes_(bytes) {}

  void U8(std::uint64_t offset, std::uint8_t value) { Write(offset, value, 1); }
  void U16(std::uint64_t offset, std::uint16_t value) { Write(offset, value, 2); }
  void U32(std::uint64_t offset, std::uint32_t value) { Write(offset, value, 4); }
  void U64(std::uint64_t offset, std::uint64_t value) { Write(offset, value, 8); }
  void I64(std::uint64_t offset, std::int64_t value) {
    Write(offset, static_cast<std::uint64_t>(value), 8);
  }

 private:
  void Write(std::uint64_t offset, std::uint64_t value, unsigned width) {
    if (offset > bytes_.size() || width > bytes_.size() - offset) return;
    for (unsigned i = 0; i < width; ++i) {
      bytes_[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
  }

  MutableBytes bytes_;
};

// Copies a zero-terminated string out of a character buffer that a platform call filled,
// stopping at the end of the buffer when it holds no zero.
template <typename CharT>
std::basic_string<CharT> UpToFirstZero(std::span<const CharT> buffer) {
  std::basic_string<CharT> text;
  for (CharT c : buffer) {
    if (c == CharT(0)) break;
    text.push_back(c);
  }
  return text;
}

}  // namespace sb
