#include "tools/testdisk/disk_image.h"

#include "platform/platform.h"
#include "platform/records.h"
#include "tools/testdisk/protocol.h"

namespace sb::testdisk {
namespace {

struct AnswerPart {
  std::uint32_t code;
  std::uint32_t status;
  Bytes bytes;
};

void Append(Bytes& description, const AnswerPart& answer) {
  const std::size_t at = description.size();
  description.resize(at + kAnswerHeaderSize + AlignedAnswerLength(answer.bytes.size()), 0);
  ByteWriter writer(description);
  writer.U32(at + kAnswerCode, answer.code);
  writer.U32(at + kAnswerStatus, answer.status);
  writer.U32(at + kAnswerLength, static_cast<std::uint32_t>(answer.bytes.size()));
  std::copy(answer.bytes.begin(), answer.bytes.end(),
            description.begin() + static_cast<std::ptrdiff_t>(at + kAnswerHeaderSize));
}

std::string Hex(std::uint32_t value) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text = "0x";
  for (int shift = 28; shift >= 0; shift -= 4) text += kDigits[(value >> shift) & 0xF];
  return text;
}

}  // namespace

std::optional<std::uint32_t> StatusOfError(std::uint32_t error) {
  for (const ErrorStatus& entry : kStatusOfError) {
    if (entry.error == error) return entry.status;
  }
  return std::nullopt;
}

Bytes DescribeDisk(std::uint32_t number, const sim::Disk& disk,
                   std::vector<std::string>& warnings) {
  const std::string name = "disk " + std::to_string(number);
  if (number < kFirstDisk || number > kLastDisk) {
    throw DescriptionError(name + ": the driver serves disks " + std::to_string(kFirstDisk) +
                           " to " + std::to_string(kLastDisk));
  }
  if (disk.open_error != 0) {
    warnings.push_back(name + ": open_error " + std::to_string(disk.open_error) +
                       " left out (Wine ignores the status a driver gives to an open)");
  }
  std::vector<AnswerPart> answers;
  // Failures first: they win over every answer of their code.
  for (const auto& [code, error] : disk.failing_requests) {
    const auto status = StatusOfError(error);
    if (!status) {
      throw DescriptionError(name + ": no status is known that Wine reports as error " +
                             std::to_string(error) + " (request " + Hex(code) + ")");
    }
    answers.push_back({code, *status, {}});
  }
  if (disk.answers_length) {
    Bytes length(rec::kLengthInformationSize, 0);
    ByteWriter(length).I64(0, disk.length);
    answers.push_back({ioctl::kDiskGetLengthInfo, kStatusSuccess, std::move(length)});
  }
  const std::pair<std::uint32_t, const std::optional<Bytes>*> records[] = {
      {ioctl::kStorageQueryProperty, &disk.descriptor},
      {ioctl::kDiskGetDriveGeometryEx, &disk.geometry},
      {ioctl::kDiskGetDriveLayoutEx, &disk.layout},
      {ioctl::kDiskGetCacheInformation, &disk.cache},
      {ioctl::kStoragePredictFailure, &disk.predict_failure},
  };
  for (const auto& [code, bytes] : records) {
    if (*bytes) answers.push_back({code, kStatusSuccess, **bytes});
  }
  if (answers.size() > kMaxAnswers) throw DescriptionError(name + ": too many failing requests");

  Bytes description(kDiskHeaderSize, 0);
  for (const AnswerPart& answer : answers) Append(description, answer);
  if (description.size() > kMaxDiskSize) throw DescriptionError(name + ": answers too large");
  ByteWriter writer(description);
  writer.U32(kDiskSize, static_cast<std::uint32_t>(description.size()));
  writer.U32(kDiskNumber, number);
  writer.U64(kDiskAttributes, disk.attributes);
  writer.U32(kDiskFlags, (disk.answers_attributes ? kDiskAnswersAttributes : 0) |
                             (disk.has_media ? 0 : kDiskWithoutMedia));
  writer.U32(kDiskAnswerCount, static_cast<std::uint32_t>(answers.size()));
  return description;
}

Bytes DescribeMachine(sim::SimMachine& machine, std::vector<std::string>& warnings) {
  if (machine.disk(0) != nullptr) {
    warnings.push_back("disk 0 left out: \\\\.\\PhysicalDrive0 is Wine's own disk");
  }
  if (!machine.volumes().empty()) {
    warnings.push_back(std::to_string(machine.volumes().size()) +
                       " volume(s) left out: volumes and drive letters are Wine's");
  }
  Bytes image;
  for (std::uint32_t number = kFirstDisk; number <= kLastDisk; ++number) {
    if (const sim::Disk* disk = machine.disk(number)) {
      // The driver cannot refuse an open. A disk that does not open is listed by no one
      // and reached by no request, so the nearest the driver comes to it is no disk.
      if (disk->open_error != 0) {
        warnings.push_back("disk " + std::to_string(number) + ": open_error " +
                           std::to_string(disk->open_error) +
                           ": left out (Wine ignores the status a driver gives to an open)");
        continue;
      }
      const Bytes description = DescribeDisk(number, *disk, warnings);
      image.insert(image.end(), description.begin(), description.end());
    }
  }
  return image;
}

std::vector<Bytes> SplitDescriptions(ConstBytes image) {
  std::vector<Bytes> descriptions;
  std::size_t at = 0;
  while (at < image.size()) {
    const ByteReader reader(image.subspan(at));
    const std::size_t size = reader.U32(kDiskSize);
    if (size < kDiskHeaderSize || !reader.Contains(0, size)) {
      throw DescriptionError("disk descriptions: a description is cut short at byte " +
                             std::to_string(at));
    }
    descriptions.emplace_back(image.begin() + static_cast<std::ptrdiff_t>(at),
                              image.begin() + static_cast<std::ptrdiff_t>(at + size));
    at += size;
  }
  return descriptions;
}

}  // namespace sb::testdisk
