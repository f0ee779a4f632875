#include "tools/testdisk/driver/description.h"

#include "tools/testdisk/protocol.h"

namespace sb::testdisk::kernel {

bool IsValidDescription(ByteView description) {
  if (description.size() < kDiskHeaderSize || description.size() > kMaxDiskSize) return false;
  if (description.U32(kDiskSize) != description.size()) return false;
  const std::uint32_t number = description.U32(kDiskNumber);
  if (number < kFirstDisk || number > kLastDisk) return false;
  const std::uint32_t count = description.U32(kDiskAnswerCount);
  if (count > kMaxAnswers) return false;
  std::size_t at = kDiskHeaderSize;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (!description.Contains(at, kAnswerHeaderSize)) return false;
    const std::size_t length = description.U32(at + kAnswerLength);
    if (length > kMaxDiskSize) return false;
    at += kAnswerHeaderSize;
    if (!description.Contains(at, AlignedAnswerLength(length))) return false;
    at += AlignedAnswerLength(length);
  }
  return at == description.size();
}

Answer FindAnswer(ByteView description, std::uint32_t code) {
  const std::uint32_t count = description.U32(kDiskAnswerCount);
  std::size_t at = kDiskHeaderSize;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t length = description.U32(at + kAnswerLength);
    if (description.U32(at + kAnswerCode) == code) {
      return {.found = true,
              .failure = static_cast<NTSTATUS>(description.U32(at + kAnswerStatus)),
              .bytes = description.Sub(at + kAnswerHeaderSize, length)};
    }
    at += kAnswerHeaderSize + AlignedAnswerLength(length);
  }
  return {};
}

}  // namespace sb::testdisk::kernel
