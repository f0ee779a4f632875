#include "tools/capture/stand_ins.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <vector>

#include "disk/descriptor.h"
#include "platform/records.h"

namespace sb::capture {
namespace {

bool IsHexDigit(char c) {
  return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsUpper(char c) {
  return c >= 'A' && c <= 'Z';
}
bool IsLower(char c) {
  return c >= 'a' && c <= 'z';
}
int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  return std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
}

// Fills the letters and digits of text, from the right, with the digits of number in the
// mixed radix they give (10 for a digit, 20 for a letter, written G to Z so that a letter
// is never a hexadecimal digit); every other character stays. Positions before `from` are
// left alone.
std::string Numbered(std::string text, std::uint64_t number, std::size_t from = 0) {
  for (std::size_t i = text.size(); i-- > from;) {
    const char c = text[i];
    if (IsDigit(c)) {
      text[i] = static_cast<char>('0' + number % 10);
      number /= 10;
    } else if (IsUpper(c) || IsLower(c)) {
      text[i] = static_cast<char>((IsUpper(c) ? 'G' : 'g') + number % 20);
      number /= 20;
    }
  }
  return text;
}

std::string SerialStandIn(const std::string& original, std::uint64_t number) {
  std::string decoded;
  if (!HexPass(original, decoded)) {
    // Shown as it stands. The stand-in must not decode as hexadecimal either: its letters
    // are not hexadecimal digits, and a source of digits alone starts with a pair (9x)
    // that is not printable, as the original's hex pass found one.
    const bool digits_only = std::all_of(original.begin(), original.end(), IsDigit);
    if (!digits_only) return Numbered(original, number);
    std::string stand_in = Numbered(original, number, 1);
    stand_in[0] = '9';
    return stand_in;
  }
  // Shown decoded (the program's hex pass): the decoded text gets the stand-in, coded again
  // in pairs, each pair in the letter case of the original's.
  const std::string replaced = Numbered(decoded, number);
  static const char kUpper[] = "0123456789ABCDEF";
  static const char kLower[] = "0123456789abcdef";
  std::string stand_in;
  for (std::size_t i = 0; i < replaced.size(); ++i) {
    const bool lower = IsLower(original[2 * i]) || IsLower(original[2 * i + 1]);
    const char* digits = lower ? kLower : kUpper;
    const auto byte = static_cast<std::uint8_t>(replaced[i]);
    stand_in.push_back(digits[byte >> 4]);
    stand_in.push_back(digits[byte & 0xF]);
  }
  // The unpaired last digit is never shown; it stays a digit.
  if (original.size() % 2 == 1) stand_in.push_back('0');
  return stand_in;
}

// {8-4-4-4-12} at text[at]: its GUID, in stored byte order.
bool ParseGuidText(const std::string& text, std::size_t at, Guid& guid) {
  constexpr std::size_t kLength = 38;
  if (at + kLength > text.size() || text[at] != '{' || text[at + kLength - 1] != '}') return false;
  std::string digits;
  for (std::size_t i = 1; i + 1 < kLength; ++i) {
    const char c = text[at + i];
    const bool dash_place = i == 9 || i == 14 || i == 19 || i == 24;
    if (dash_place != (c == '-')) return false;
    if (!dash_place) {
      if (!IsHexDigit(c)) return false;
      digits.push_back(c);
    }
  }
  std::uint8_t bytes[16];
  for (std::size_t i = 0; i < 16; ++i) {
    bytes[i] =
        static_cast<std::uint8_t>(HexValue(digits[2 * i]) * 16 + HexValue(digits[2 * i + 1]));
  }
  // Data1, Data2 and Data3 are written as numbers; they are stored little-endian.
  const int order[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
  for (int i = 0; i < 16; ++i) guid[i] = bytes[order[i]];
  return true;
}

std::string GuidText(const Guid& guid, bool lower) {
  const char* digits = lower ? "0123456789abcdef" : "0123456789ABCDEF";
  const int order[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
  std::string text = "{";
  for (int i = 0; i < 16; ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) text.push_back('-');
    const std::uint8_t byte = guid[order[i]];
    text.push_back(digits[byte >> 4]);
    text.push_back(digits[byte & 0xF]);
  }
  return text + "}";
}

Guid ReadGuid(const Bytes& bytes, std::size_t at) {
  const ByteReader reader(bytes);
  Guid guid{};
  for (std::size_t i = 0; i < guid.size(); ++i) guid[i] = reader.U8(at + i);
  return guid;
}

void WriteGuid(Bytes& bytes, std::size_t at, const Guid& guid) {
  ByteWriter writer(bytes);
  for (std::size_t i = 0; i < guid.size(); ++i) writer.U8(at + i, guid[i]);
}

void TrimTrailingZeros(Bytes& bytes) {
  while (!bytes.empty() && bytes.back() == 0) bytes.pop_back();
}

// Layout styles and where a partition entry keeps its own GUID.
constexpr std::uint32_t kStyleMbr = 0;
constexpr std::uint32_t kStyleGpt = 1;
constexpr std::size_t kMbrPartitionId = 40;
constexpr std::size_t kGptPartitionId = 48;

}  // namespace

std::uint32_t StandIns::Signature(std::uint32_t original) {
  if (original == 0) return 0;
  if (const auto found = signatures_.find(original); found != signatures_.end()) {
    return found->second;
  }
  int digits = 0;
  for (std::uint32_t rest = original; rest != 0; rest >>= 4) ++digits;
  const std::uint64_t ordinal = signatures_.size();
  // The smallest values of the same number of hexadecimal digits, in order: 1000, 1001, ...
  std::uint32_t stand_in = 0;
  if (digits == 1) {
    stand_in = static_cast<std::uint32_t>(ordinal % 15 + 1);
  } else {
    const std::uint64_t lowest = std::uint64_t{1} << (4 * (digits - 1));
    stand_in = static_cast<std::uint32_t>(lowest + ordinal % (15 * lowest));
  }
  signatures_[original] = stand_in;
  return stand_in;
}

Guid StandIns::GuidOf(const Guid& original) {
  if (std::all_of(original.begin(), original.end(), [](std::uint8_t b) { return b == 0; })) {
    return original;
  }
  if (const auto found = guids_.find(original); found != guids_.end()) return found->second;
  // {00000000-0000-0000-0000-000000000001}, ...: the last group counts.
  std::uint64_t ordinal = guids_.size() + 1;
  Guid stand_in{};
  for (std::size_t i = stand_in.size(); i-- > 10 && ordinal != 0; ordinal >>= 8) {
    stand_in[i] = static_cast<std::uint8_t>(ordinal & 0xFF);
  }
  guids_[original] = stand_in;
  return stand_in;
}

std::string StandIns::Serial(const std::string& original) {
  if (const auto found = serials_.find(original); found != serials_.end()) return found->second;
  std::set<std::string> taken;
  for (const auto& [unused, stand_in] : serials_) taken.insert(stand_in);
  // Numbered in the order met; a number whose stand-in another serial of the same form
  // already has (a form with few letters and digits) gives way to the next.
  std::uint64_t number = serials_.size() + 1;
  std::string stand_in = SerialStandIn(original, number);
  for (int attempt = 0; attempt < 1000 && taken.contains(stand_in); ++attempt) {
    stand_in = SerialStandIn(original, ++number);
  }
  serials_[original] = stand_in;
  return stand_in;
}

std::string StandIns::InText(const std::string& text) {
  std::string result = text;
  for (std::size_t at = 0; at < result.size(); ++at) {
    Guid guid{};
    if (!ParseGuidText(result, at, guid)) continue;
    const std::string original = result.substr(at, 38);
    const bool lower = std::any_of(original.begin(), original.end(), IsLower);
    result.replace(at, 38, GuidText(GuidOf(guid), lower));
    at += 37;
  }
  return result;
}

void StandIns::InDescriptor(Bytes& descriptor) {
  const ByteReader reader(descriptor);
  const std::uint32_t offset = reader.U32(rec::kDescriptorSerialNumberOffset);
  // The program reads no string at offset 0 (or at a negative one, taken as signed).
  if (offset == 0 || offset > 0x7FFFFFFFu || offset >= descriptor.size()) return;
  const std::string original = reader.ZeroTerminated(offset);
  if (original.empty()) return;
  const std::string stand_in = Serial(original);
  std::copy(stand_in.begin(), stand_in.end(), descriptor.begin() + offset);
  // The same serial number elsewhere in the answer (the device's own inquiry data, say)
  // would give it away; short ones are too common to be it.
  if (original.size() < 4) return;
  const Bytes pattern(original.begin(), original.end());
  for (auto it = descriptor.begin(); (it = std::search(it, descriptor.end(), pattern.begin(),
                                                       pattern.end())) != descriptor.end();) {
    it = std::copy(stand_in.begin(), stand_in.end(), it);
  }
}

void StandIns::InLayout(Bytes& layout) {
  const ByteReader header(layout);
  const std::uint32_t style = header.U32(rec::kLayoutPartitionStyle);
  if (style != kStyleMbr && style != kStyleGpt) return;
  const std::uint64_t count = header.U32(rec::kLayoutPartitionCount);
  const std::uint64_t entries = std::min<std::uint64_t>(count, rec::kLayoutMaxEntries);
  // The answer was kept without its trailing zeros: a stand-in may need them back.
  const std::size_t whole = rec::kLayoutHeaderSize + entries * rec::kPartitionEntrySize;
  if (layout.size() < whole) layout.resize(whole, 0);
  if (style == kStyleMbr) {
    ByteWriter(layout).U32(rec::kLayoutMbrSignature,
                           Signature(ByteReader(layout).U32(rec::kLayoutMbrSignature)));
  } else {
    WriteGuid(layout, rec::kLayoutGptDiskId, GuidOf(ReadGuid(layout, rec::kLayoutGptDiskId)));
  }
  const std::size_t id_at = style == kStyleMbr ? kMbrPartitionId : kGptPartitionId;
  for (std::uint64_t i = 0; i < entries; ++i) {
    const std::size_t at = rec::kLayoutHeaderSize + i * rec::kPartitionEntrySize + id_at;
    WriteGuid(layout, at, GuidOf(ReadGuid(layout, at)));
  }
  TrimTrailingZeros(layout);
}

void StandIns::Apply(Capture& capture) {
  for (CapturedDisk& disk : capture.disks) {
    if (auto it = disk.answers.find(ioctl::kStorageQueryProperty); it != disk.answers.end()) {
      InDescriptor(it->second);
    }
    if (auto it = disk.answers.find(ioctl::kDiskGetDriveLayoutEx); it != disk.answers.end()) {
      InLayout(it->second);
    }
  }
  for (CapturedVolume& volume : capture.volumes) {
    volume.name = InText(volume.name);
    volume.device = InText(volume.device);
    for (std::string& path : volume.mount_paths) path = InText(path);
  }
}

}  // namespace sb::capture
