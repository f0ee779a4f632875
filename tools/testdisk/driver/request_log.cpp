#include "tools/testdisk/driver/request_log.h"

#include "tools/testdisk/protocol.h"

namespace sb::testdisk::kernel {

bool RequestLog::Allocate(volatile LONG& counter) {
  entries_ = PoolBlock::Allocate(counter, kLogCapacity * kEntrySize);
  return static_cast<bool>(entries_);
}

void RequestLog::Add(std::uint32_t disk, std::uint32_t code, ByteView input,
                     std::size_t input_length, std::size_t output_length, NTSTATUS status,
                     std::uint32_t returned) {
  if (!entries_) return;
  const std::size_t at = (next_sequence_ % kLogCapacity) * kEntrySize;
  ByteSink entry(entries_.data() + at, kEntrySize);
  entry.Zero(0, kEntrySize);
  entry.U32(kEntrySequence, next_sequence_);
  entry.U32(kEntryDisk, disk);
  entry.U32(kEntryCode, code);
  entry.U32(kEntryStatus, static_cast<std::uint32_t>(status));
  entry.U32(kEntryInputLength, static_cast<std::uint32_t>(input_length));
  entry.U32(kEntryOutputLength, static_cast<std::uint32_t>(output_length));
  entry.U32(kEntryReturned, returned);
  entry.Copy(kEntryInput,
             input.Sub(0, input.size() < kEntryInputBytes ? input.size() : kEntryInputBytes));
  ++next_sequence_;
}

std::size_t RequestLog::Read(std::uint32_t first, ByteSink output) const {
  if (output.size() < kLogHeaderSize) return 0;
  const std::uint32_t oldest = next_sequence_ > kLogCapacity ? next_sequence_ - kLogCapacity : 0;
  const std::uint32_t start = first < oldest ? oldest : first;
  std::uint32_t count = 0;
  std::size_t at = kLogHeaderSize;
  for (std::uint32_t sequence = start; sequence < next_sequence_ && entries_; ++sequence) {
    if (output.size() - at < kEntrySize) break;
    const std::size_t from = (sequence % kLogCapacity) * kEntrySize;
    output.Copy(at, ByteView(entries_.data() + from, kEntrySize));
    at += kEntrySize;
    ++count;
  }
  output.U32(kLogNextSequence, next_sequence_);
  output.U32(kLogDropped, first < oldest ? oldest - first : 0);
  output.U32(kLogCount, count);
  output.U32(kLogCount + 4, 0);
  return at;
}

}  // namespace sb::testdisk::kernel
