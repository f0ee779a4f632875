// The log of every control request the disks received, kept for tests to read back.
#pragma once

#include "tools/testdisk/driver/kernel.h"
#include "tools/testdisk/driver/pool.h"

namespace sb::testdisk::kernel {

// A ring of the last kLogCapacity requests in the layout of protocol.h. Its owner
// serializes every call (the driver's spin lock).
class RequestLog {
 public:
  bool Allocate(volatile LONG& counter);
  void Free() { entries_ = PoolBlock(); }
  void Clear() { next_sequence_ = 0; }
  std::uint32_t recorded() const { return next_sequence_; }

  // Records a request of input_length input bytes, of which input holds the first ones.
  void Add(std::uint32_t disk, std::uint32_t code, ByteView input, std::size_t input_length,
           std::size_t output_length, NTSTATUS status, std::uint32_t returned);

  // Writes the header and the entries from sequence first on into output; returns the bytes
  // written, or 0 when not even the header fits.
  std::size_t Read(std::uint32_t first, ByteSink output) const;

 private:
  PoolBlock entries_;
  std::uint32_t next_sequence_ = 0;
};

}  // namespace sb::testdisk::kernel
