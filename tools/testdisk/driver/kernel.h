// The kernel headers, and the small helpers every part of the driver uses: owners of locks,
// and bounds-checked little-endian access to the buffers of control requests.
#pragma once

// mingw-w64's wdm.h defines these two intrinsics again after <intrin.h> has; in C++ that is
// an error, so <intrin.h> is told to leave them to wdm.h.
#define __INTRINSIC_DEFINED_InterlockedBitTestAndSet
#define __INTRINSIC_DEFINED_InterlockedBitTestAndReset
#include <ntddk.h>
#include <ntdddisk.h>
#include <ntddstor.h>

#include <cstddef>
#include <cstdint>

namespace sb::testdisk::kernel {

// Holds a spin lock for its lifetime (raising to DISPATCH_LEVEL).
class SpinLockGuard {
 public:
  explicit SpinLockGuard(KSPIN_LOCK& lock) : lock_(lock) { KeAcquireSpinLock(&lock_, &irql_); }
  SpinLockGuard(const SpinLockGuard&) = delete;
  SpinLockGuard& operator=(const SpinLockGuard&) = delete;
  ~SpinLockGuard() { KeReleaseSpinLock(&lock_, irql_); }

 private:
  KSPIN_LOCK& lock_;
  KIRQL irql_ = PASSIVE_LEVEL;
};

// Holds a kernel mutex for its lifetime. Unlike a spin lock or a fast mutex it leaves the
// thread at PASSIVE_LEVEL, where devices and symbolic links may be created and deleted.
class MutexGuard {
 public:
  explicit MutexGuard(KMUTEX& mutex) : mutex_(mutex) {
    KeWaitForSingleObject(&mutex_, Executive, KernelMode, FALSE, nullptr);
  }
  MutexGuard(const MutexGuard&) = delete;
  MutexGuard& operator=(const MutexGuard&) = delete;
  ~MutexGuard() { KeReleaseMutex(&mutex_, FALSE); }

 private:
  KMUTEX& mutex_;
};

// A read-only view of a request's bytes. A read that does not lie wholly inside yields 0.
class ByteView {
 public:
  ByteView(const void* data, std::size_t size)
      : data_(static_cast<const std::uint8_t*>(data)), size_(data == nullptr ? 0 : size) {}

  std::size_t size() const { return size_; }
  const std::uint8_t* data() const { return data_; }
  bool Contains(std::size_t offset, std::size_t length) const {
    return offset <= size_ && length <= size_ - offset;
  }
  std::uint32_t U32(std::size_t offset) const {
    return static_cast<std::uint32_t>(Read(offset, 4));
  }
  std::uint64_t U64(std::size_t offset) const { return Read(offset, 8); }
  // The bytes from offset on, length of them; an empty view when they are not all inside.
  ByteView Sub(std::size_t offset, std::size_t length) const {
    return Contains(offset, length) ? ByteView(data_ + offset, length) : ByteView(nullptr, 0);
  }

 private:
  std::uint64_t Read(std::size_t offset, unsigned width) const {
    if (!Contains(offset, width)) return 0;
    std::uint64_t value = 0;
    for (unsigned i = 0; i < width; ++i) value |= std::uint64_t{data_[offset + i]} << (8 * i);
    return value;
  }

  const std::uint8_t* data_;
  std::size_t size_;
};

// Writes into a request's output buffer; a write that does not fit is dropped.
class ByteSink {
 public:
  ByteSink(void* data, std::size_t size)
      : data_(static_cast<std::uint8_t*>(data)), size_(data == nullptr ? 0 : size) {}

  std::size_t size() const { return size_; }
  void U32(std::size_t offset, std::uint32_t value) { Write(offset, value, 4); }
  void U64(std::size_t offset, std::uint64_t value) { Write(offset, value, 8); }
  // Copies as much of source as fits from offset on; returns the bytes copied.
  std::size_t Copy(std::size_t offset, ByteView source) {
    if (offset > size_) return 0;
    const std::size_t count = source.size() < size_ - offset ? source.size() : size_ - offset;
    if (count != 0) RtlCopyMemory(data_ + offset, source.data(), count);
    return count;
  }
  void Zero(std::size_t offset, std::size_t length) {
    if (offset > size_) return;
    if (length > size_ - offset) length = size_ - offset;
    if (length != 0) RtlZeroMemory(data_ + offset, length);
  }

 private:
  void Write(std::size_t offset, std::uint64_t value, unsigned width) {
    if (offset > size_ || width > size_ - offset) return;
    for (unsigned i = 0; i < width; ++i)
      data_[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
  }

  std::uint8_t* data_;
  std::size_t size_;
};

}  // namespace sb::testdisk::kernel
