// Blocks of non-paged pool with one owner each, counted so that a leak shows.
#pragma once

#include "tools/testdisk/driver/kernel.h"

namespace sb::testdisk::kernel {

// "SbDk" as it reads in a pool dump (the tag's bytes are stored low byte first).
inline constexpr ULONG kPoolTag = 0x6b446253;

// Owns one pool block and frees it when it goes; every live block is counted in the
// counter it was allocated against (the driver's "allocations" figure).
class PoolBlock {
 public:
  PoolBlock() = default;
  static PoolBlock Allocate(volatile LONG& counter, std::size_t size) {
    PoolBlock block;
    block.data_ = static_cast<std::uint8_t*>(ExAllocatePoolWithTag(NonPagedPool, size, kPoolTag));
    if (block.data_ == nullptr) return block;
    RtlZeroMemory(block.data_, size);
    block.size_ = size;
    block.counter_ = &counter;
    InterlockedIncrement(&counter);
    return block;
  }
  PoolBlock(const PoolBlock&) = delete;
  PoolBlock& operator=(const PoolBlock&) = delete;
  PoolBlock(PoolBlock&& other) { Take(other); }
  PoolBlock& operator=(PoolBlock&& other) {
    if (this != &other) {
      Free();
      Take(other);
    }
    return *this;
  }
  ~PoolBlock() { Free(); }

  explicit operator bool() const { return data_ != nullptr; }
  std::uint8_t* data() const { return data_; }
  std::size_t size() const { return size_; }

 private:
  void Take(PoolBlock& other) {
    data_ = other.data_;
    size_ = other.size_;
    counter_ = other.counter_;
    other.data_ = nullptr;
    other.size_ = 0;
    other.counter_ = nullptr;
  }
  void Free() {
    if (data_ == nullptr) return;
    ExFreePoolWithTag(data_, kPoolTag);
    InterlockedDecrement(counter_);
    data_ = nullptr;
    size_ = 0;
  }

  std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
  volatile LONG* counter_ = nullptr;
};

}  // namespace sb::testdisk::kernel
