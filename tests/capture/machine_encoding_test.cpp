// The loader reads a machine description in each encoding Windows' prompts write, and
// names any other, with the file it is in.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/sim/sim_machine.h"
#include "tools/scenario/machine_format.h"
#include "tools/scenario/machine_json.h"

namespace sb::scenario {
namespace {

using nlohmann::json;
using testing::HasSubstr;

// A disk with a product name beyond ASCII, and a volume whose folder mount path is too.
constexpr char kDescription[] =
    "{\"disks\": [{\"number\": 1, \"product\": \"Disque \xC3\xA9t\xC3\xA9 \xE2\x82\xAC\"}],"
    " \"volumes\": [{\"guid\": \"\\\\\\\\?\\\\Volume{1}\\\\\", \"mount_paths\": "
    "[\"C:\\\\Donn\xC3\xA9"
    "es\\\\\"]}]}";

std::string Utf16(const std::string& utf8, bool big_endian) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    std::uint32_t c = lead;
    std::size_t length = 1;
    if (lead >= 0xE0) {
      c = ((lead & 0x0F) << 12) | ((utf8[i + 1] & 0x3F) << 6) | (utf8[i + 2] & 0x3F);
      length = 3;
    } else if (lead >= 0xC0) {
      c = ((lead & 0x1F) << 6) | (utf8[i + 1] & 0x3F);
      length = 2;
    }
    const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
    out += big_endian ? std::string{high, low} : std::string{low, high};
    i += length;
  }
  return out;
}

struct Encoding {
  const char* name;
  std::string bytes;
  const char* found;  // nullptr: the loader reads it
};

const std::string kLe = Utf16(kDescription, false);
const std::string kBe = Utf16(kDescription, true);

const Encoding kEncodings[] = {
    {"Utf8", kDescription, nullptr},
    {"Utf8WithMark", "\xEF\xBB\xBF" + std::string(kDescription), nullptr},
    {"Utf16LeWithMark", "\xFF\xFE" + kLe, nullptr},
    {"Utf16BeWithMark", "\xFE\xFF" + kBe, nullptr},
    {"Utf16LeWithoutMark", kLe, "UTF-16 or UTF-32 without a byte order mark"},
    {"Utf16BeWithoutMark", kBe, "UTF-16 or UTF-32 without a byte order mark"},
    {"Utf32Le", std::string("\xFF\xFE\0\0{\0\0\0", 8), "UTF-32LE"},
    {"Utf32Be", std::string("\0\0\xFE\xFF\0\0\0{", 8), "UTF-32BE"},
    {"Windows1252", "{\"comment\": \"\xE9t\xE9\"}", "not UTF-8: byte 0xE9 at offset 13"},
    {"Utf16OddLength", "\xFF\xFE" + kLe + "x", "UTF-16LE with an odd number of bytes"},
    {"Utf16LoneSurrogate", std::string("\xFF\xFE{\0\x00\xD8}\0", 8),
     "UTF-16LE with a lone surrogate at byte 4"},
};

class FileEncoding : public testing::TestWithParam<Encoding> {};

TEST_P(FileEncoding, IsReadOrNamed) {
  const Encoding& encoding = GetParam();
  const std::filesystem::path path =
      std::filesystem::path(testing::TempDir()) / (std::string(encoding.name) + ".json");
  std::ofstream(path, std::ios::binary) << encoding.bytes;
  if (encoding.found == nullptr) {
    sim::SimMachine machine;
    LoadMachine(ReadJsonFile(path.string()), machine);
    const json expected = json::parse(kDescription);
    EXPECT_EQ(ReadJsonFile(path.string()), expected);
  } else {
    try {
      ReadJsonFile(path.string());
      ADD_FAILURE() << "read";
    } catch (const InputError& error) {
      EXPECT_THAT(error.what(), HasSubstr(path.string() + ": the file is " + encoding.found));
      EXPECT_THAT(error.what(), HasSubstr("must be UTF-8"));
    }
  }
  std::filesystem::remove(path);
}

INSTANTIATE_TEST_SUITE_P(Encodings, FileEncoding, testing::ValuesIn(kEncodings),
                         [](const auto& info) { return std::string(info.param.name); });

struct Format {
  const char* name;
  const char* description;
  const char* warning;  // "": none
  const char* refused;  // nullptr: loaded
};

const Format kFormats[] = {
    {"Absent", "{}", "", nullptr},
    {"Known", "{\"format\": 1, \"captured_by\": \"spindlebay-capture 0.9.0\"}", "", nullptr},
    {"Newer", "{\"format\": 2, \"captured_by\": \"spindlebay-capture 7.0.0\"}",
     "machine: format 2 (spindlebay-capture 7.0.0) is newer than format 1", nullptr},
    {"NewerWithAKeyOfItsOwn", "{\"format\": 3, \"sleeping_disks\": []}",
     "machine: format 3 is newer than format 1", "unknown key \"sleeping_disks\""},
    {"Zero", "{\"format\": 0}", "", "machine.format: expected a format version from 1"},
    {"NotANumber", "{\"format\": \"1\"}", "", "machine.format: expected an integer"},
    {"ToolNotAText", "{\"captured_by\": 1}", "", "machine.captured_by: expected a string"},
};

class MachineFormat : public testing::TestWithParam<Format> {};

TEST_P(MachineFormat, IsReadOrWarnedOf) {
  const Format& format = GetParam();
  sim::SimMachine machine;
  std::ostringstream warnings;
  if (format.refused == nullptr) {
    EXPECT_NO_THROW(LoadMachine(json::parse(format.description), machine, warnings));
  } else {
    try {
      LoadMachine(json::parse(format.description), machine, warnings);
      ADD_FAILURE() << "loaded";
    } catch (const InputError& error) {
      EXPECT_THAT(error.what(), HasSubstr(format.refused));
    }
  }
  if (*format.warning == '\0') {
    EXPECT_EQ(warnings.str(), "");
  } else {
    EXPECT_THAT(warnings.str(), HasSubstr(format.warning));
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, MachineFormat, testing::ValuesIn(kFormats),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sb::scenario
