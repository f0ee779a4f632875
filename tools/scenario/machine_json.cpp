#include "tools/scenario/machine_json.h"

#include <array>
#include <cctype>
#include <fstream>
#include <initializer_list>
#include <limits>
#include <sstream>

#include "platform/records.h"
#include "platform/sim/sim_records.h"
#include "tools/scenario/file_encoding.h"
#include "tools/scenario/machine_format.h"
#include "tools/scenario/utf8_text.h"

namespace sb::scenario {
namespace {

using nlohmann::json;

void RequireObject(const json& value, const std::string& where,
                   std::initializer_list<const char*> allowed) {
  if (!value.is_object()) throw InputError(where + ": expected an object");
  for (const auto& [key, unused] : value.items()) {
    bool known = false;
    for (const char* name : allowed) known = known || key == name;
    if (!known) throw InputError(where + ": unknown key \"" + key + "\"");
  }
}

template <typename T>
T Integer(const json& object, const char* key, T fallback, const std::string& where) {
  if (!object.contains(key)) return fallback;
  const json& value = object.at(key);
  const std::string place = where + "." + key;
  if (value.is_number_unsigned()) {
    const auto number = value.get<std::uint64_t>();
    if (number > static_cast<std::uint64_t>(std::numeric_limits<T>::max())) {
      throw InputError(place + ": number out of range");
    }
    return static_cast<T>(number);
  }
  if (value.is_number_integer()) {
    const auto number = value.get<std::int64_t>();
    if (number < static_cast<std::int64_t>(std::numeric_limits<T>::min()) ||
        (number > 0 && static_cast<std::uint64_t>(number) >
                           static_cast<std::uint64_t>(std::numeric_limits<T>::max()))) {
      throw InputError(place + ": number out of range");
    }
    return static_cast<T>(number);
  }
  throw InputError(place + ": expected an integer");
}

bool Boolean(const json& object, const char* key, bool fallback, const std::string& where) {
  if (!object.contains(key)) return fallback;
  if (!object.at(key).is_boolean())
    throw InputError(where + "." + key + ": expected true or false");
  return object.at(key).get<bool>();
}

std::string String(const json& object, const char* key, const std::string& where) {
  if (!object.contains(key)) return {};
  if (!object.at(key).is_string()) throw InputError(where + "." + key + ": expected a string");
  return object.at(key).get<std::string>();
}

// "{12345678-9ABC-DEF0-0123-456789ABCDEF}" in the byte order a GUID is stored in.
std::array<std::uint8_t, 16> ParseGuid(const std::string& text, const std::string& where) {
  std::string digits;
  for (char c : text) {
    if (c == '{' || c == '}' || c == '-') continue;
    digits += c;
  }
  const Bytes bytes = ParseHex(digits, where);
  if (bytes.size() != 16) throw InputError(where + ": expected a GUID");
  std::array<std::uint8_t, 16> id{};
  const int order[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
  for (int i = 0; i < 16; ++i) id[i] = bytes[order[i]];
  return id;
}

// A layout as Windows reports it (see tools/testdisk/RULES.md): an MBR answer counts the four
// entries of each partition table, used or not; a GPT answer counts the entries in use and
// gives the size of the table apart, as MaxPartitionCount.
std::optional<Bytes> Layout(const json& layout, const std::string& where) {
  RequireObject(layout, where, {"style", "signature", "disk_id", "partitions", "table_entries"});
  const std::string style = String(layout, "style", where);
  if (style != "gpt" && layout.contains("table_entries"))
    throw InputError(where + ".table_entries: only a GPT layout has a table size of its own");
  if (style == "mbr") {
    return sim::MbrLayoutBytes(Integer<std::uint32_t>(layout, "partitions", 4, where),
                               Integer<std::uint32_t>(layout, "signature", 0, where));
  }
  if (style == "gpt") {
    const auto in_use = Integer<std::uint32_t>(layout, "partitions", 0, where);
    const auto table = Integer<std::uint32_t>(layout, "table_entries", 128, where);
    if (in_use > table) {
      throw InputError(where + ".partitions: more entries in use than the table has (" +
                       std::to_string(table) + ")");
    }
    Bytes bytes = sim::GptLayoutBytes(
        in_use, ParseGuid(String(layout, "disk_id", where), where + ".disk_id"));
    ByteWriter(bytes).U32(rec::kLayoutGptMaxPartitionCount, table);
    return bytes;
  }
  if (style == "raw")
    return sim::LayoutBytes(2, Integer<std::uint32_t>(layout, "partitions", 0, where));
  throw InputError(where + ".style: expected \"mbr\", \"gpt\" or \"raw\"");
}

// A geometry as the disk class driver gives it: the whole DISK_GEOMETRY_EX up to DiskSize,
// and 512 bytes per sector where the device reports 0.
Bytes Geometry(const json& geometry, std::int64_t length, const std::string& where) {
  RequireObject(geometry, where,
                {"cylinders", "media_type", "tracks_per_cylinder", "sectors_per_track",
                 "bytes_per_sector", "disk_size"});
  const auto tracks = Integer<std::uint32_t>(geometry, "tracks_per_cylinder", 255, where);
  const auto sectors = Integer<std::uint32_t>(geometry, "sectors_per_track", 63, where);
  const auto reported = Integer<std::uint32_t>(geometry, "bytes_per_sector", 512, where);
  const std::uint32_t bytes = reported == 0 ? 512 : reported;
  // Three 32-bit factors can pass 64 bits. A cylinder larger than the largest length holds
  // every disk whole: 0 cylinders.
  const std::uint64_t per_track_set = static_cast<std::uint64_t>(tracks) * sectors;
  const auto largest = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  std::int64_t cylinders = 0;
  if (per_track_set != 0 && per_track_set <= largest / bytes) {
    cylinders = length / static_cast<std::int64_t>(per_track_set * bytes);
  }
  return sim::GeometryBytes(Integer<std::int64_t>(geometry, "cylinders", cylinders, where),
                            Integer<std::uint32_t>(geometry, "media_type", 12, where), tracks,
                            sectors, bytes,
                            Integer<std::int64_t>(geometry, "disk_size", length, where));
}

// An answer given as raw bytes ("<name>_hex") wins over the one built from fields.
void RawAnswer(const json& object, const char* key, std::optional<Bytes>& answer,
               const std::string& where) {
  if (object.contains(key)) answer = ParseHex(String(object, key, where), where + "." + key);
}

std::pair<std::uint32_t, sim::Disk> LoadDisk(const json& description, const std::string& where) {
  RequireObject(description, where,
                {"number",
                 "comment",
                 "product",
                 "vendor",
                 "revision",
                 "serial",
                 "removable",
                 "bus_type",
                 "length",
                 "attributes",
                 "answers_descriptor",
                 "geometry",
                 "layout",
                 "cache",
                 "predict_failure",
                 "open_error",
                 "failing",
                 "answers_length",
                 "answers_attributes",
                 "media",
                 "descriptor_hex",
                 "geometry_hex",
                 "layout_hex",
                 "cache_hex",
                 "predict_failure_hex"});
  if (!description.contains("number")) throw InputError(where + ": \"number\" is missing");
  const auto number = Integer<std::uint32_t>(description, "number", 0, where);
  sim::Disk disk;
  disk.length = Integer<std::int64_t>(description, "length", 0, where);
  disk.attributes = Integer<std::uint64_t>(description, "attributes", 0, where);
  disk.open_error = Integer<std::uint32_t>(description, "open_error", 0, where);
  disk.answers_length = Boolean(description, "answers_length", true, where);
  disk.answers_attributes = Boolean(description, "answers_attributes", true, where);
  disk.has_media = Boolean(description, "media", true, where);
  if (!disk.has_media && !Boolean(description, "removable", false, where)) {
    throw InputError(where + ".media: only a removable drive can be without media");
  }
  if (Boolean(description, "answers_descriptor", true, where)) {
    disk.descriptor = sim::DescriptorBytes(
        {.vendor = String(description, "vendor", where),
         .product = String(description, "product", where),
         .revision = String(description, "revision", where),
         .serial = String(description, "serial", where),
         .removable = static_cast<std::uint8_t>(Boolean(description, "removable", false, where)),
         .bus_type = Integer<std::uint32_t>(description, "bus_type", 0, where)});
  }
  if (description.contains("geometry")) {
    disk.geometry = Geometry(description.at("geometry"), disk.length, where + ".geometry");
  }
  if (description.contains("layout"))
    disk.layout = Layout(description.at("layout"), where + ".layout");
  if (description.contains("cache")) {
    const json& cache = description.at("cache");
    RequireObject(cache, where + ".cache", {"read", "write"});
    disk.cache = sim::CacheBytes(Boolean(cache, "read", false, where + ".cache"),
                                 Boolean(cache, "write", false, where + ".cache"));
  }
  if (description.contains("predict_failure")) {
    disk.predict_failure =
        sim::PredictFailureBytes(Integer<std::uint32_t>(description, "predict_failure", 0, where));
  }
  RawAnswer(description, "descriptor_hex", disk.descriptor, where);
  RawAnswer(description, "geometry_hex", disk.geometry, where);
  RawAnswer(description, "layout_hex", disk.layout, where);
  RawAnswer(description, "cache_hex", disk.cache, where);
  RawAnswer(description, "predict_failure_hex", disk.predict_failure, where);
  if (description.contains("failing")) {
    const json& failing = description.at("failing");
    const std::string place = where + ".failing";
    if (!failing.is_object()) throw InputError(place + ": expected an object");
    for (const auto& [code, unused] : failing.items()) {
      disk.failing_requests[ParseCode(code, place)] =
          Integer<std::uint32_t>(failing, code.c_str(), 0, place);
    }
  }
  return {number, std::move(disk)};
}

}  // namespace

std::uint32_t ParseCode(const std::string& text, const std::string& where) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const std::string digits = hex ? text.substr(2) : text;
  if (digits.empty() || digits.size() > (hex ? 8u : 10u)) {
    throw InputError(where + ": \"" + text + "\" is not a control code");
  }
  std::uint64_t value = 0;
  for (char c : digits) {
    const bool ok = hex ? std::isxdigit(static_cast<unsigned char>(c)) != 0
                        : std::isdigit(static_cast<unsigned char>(c)) != 0;
    if (!ok) throw InputError(where + ": \"" + text + "\" is not a control code");
    const int digit = std::isdigit(static_cast<unsigned char>(c))
                          ? c - '0'
                          : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
    value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
  }
  if (value > 0xFFFFFFFFu) throw InputError(where + ": \"" + text + "\" is out of range");
  return static_cast<std::uint32_t>(value);
}

Bytes ParseHex(const std::string& text, const std::string& where) {
  std::string digits;
  for (char c : text) {
    if (c == ' ') continue;
    if (!std::isxdigit(static_cast<unsigned char>(c))) {
      throw InputError(where + ": not hexadecimal");
    }
    digits += c;
  }
  if (digits.size() % 2 != 0) throw InputError(where + ": odd number of hexadecimal digits");
  Bytes bytes;
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    bytes.push_back(static_cast<std::uint8_t>(std::stoul(digits.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

// A text of the format (UTF-8) as the machine's code page has it.
std::string CodePageText(sim::SimMachine& machine, const std::string& utf8) {
  return machine.WideToAnsi(WideFromUtf8(utf8));
}

sim::Volume LoadVolume(const json& description, const std::string& where,
                       sim::SimMachine& machine) {
  RequireObject(description, where,
                {"guid", "device", "extents", "mount_paths", "open_error", "extents_error"});
  sim::Volume volume;
  volume.guid_name = CodePageText(machine, String(description, "guid", where));
  if (volume.guid_name.empty()) throw InputError(where + ": \"guid\" is missing");
  volume.device_name = CodePageText(machine, String(description, "device", where));
  volume.open_error = Integer<std::uint32_t>(description, "open_error", 0, where);
  volume.extents_error = Integer<std::uint32_t>(description, "extents_error", 0, where);
  if (description.contains("extents")) {
    const json& extents = description.at("extents");
    if (!extents.is_array()) throw InputError(where + ".extents: expected an array");
    for (std::size_t i = 0; i < extents.size(); ++i) {
      const std::string place = where + ".extents[" + std::to_string(i) + "]";
      RequireObject(extents[i], place, {"disk", "offset", "length"});
      volume.extents.push_back({Integer<std::uint32_t>(extents[i], "disk", 0, place),
                                Integer<std::int64_t>(extents[i], "offset", 0, place),
                                Integer<std::int64_t>(extents[i], "length", 0, place)});
    }
  }
  if (description.contains("mount_paths")) {
    const json& paths = description.at("mount_paths");
    if (!paths.is_array()) throw InputError(where + ".mount_paths: expected an array");
    for (const json& path : paths) {
      if (!path.is_string()) throw InputError(where + ".mount_paths: expected strings");
      volume.mount_paths.push_back(CodePageText(machine, path.get<std::string>()));
    }
  }
  return volume;
}

json ReadJsonFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw InputError(path + ": cannot be read");
  std::stringstream text;
  text << file.rdbuf();
  return ParseJsonText(text.str(), path);
}

json ParseJsonText(std::string_view bytes, const std::string& name) {
  const DecodedFile decoded = DecodeFile(bytes);
  if (!decoded.utf8) {
    throw InputError(name + ": the file is " + decoded.found +
                     "; a machine description must be UTF-8 (with or without a byte order "
                     "mark) or UTF-16 with a byte order mark, as spindlebay-capture --output "
                     "writes it");
  }
  try {
    return json::parse(*decoded.utf8);
  } catch (const json::exception& error) {
    // A syntax error, and also a number too large for a double (out_of_range).
    throw InputError(name + ": " + error.what());
  }
}

json ReadScenarioFile(const std::string& path) {
  json document = ReadJsonFile(path);
  if (document.is_object() && document.contains("machine") && document.at("machine").is_string()) {
    const std::string name = document.at("machine").get<std::string>();
    const std::size_t slash = path.find_last_of("/\\");
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const bool absolute = !name.empty() && (name[0] == '/' || name[0] == '\\');
    document["machine"] = ReadJsonFile(absolute ? name : folder + name);
  }
  return document;
}

void LoadMachine(const json& description, sim::SimMachine& machine, std::ostream& warnings) {
  if (!description.is_object()) throw InputError("machine: expected an object");
  // The format first: a newer one is warned of before a key of its own is refused.
  const int format = Integer<int>(description, "format", kMachineFormat, "machine");
  if (format < 1) throw InputError("machine.format: expected a format version from 1");
  const std::string captured_by = String(description, "captured_by", "machine");
  if (format > kMachineFormat) {
    warnings << "machine: format " << format << (captured_by.empty() ? "" : " (") << captured_by
             << (captured_by.empty() ? "" : ")") << " is newer than format " << kMachineFormat
             << ", the newest this program reads; a key it does not know is "
             << "refused as unknown\n";
  }
  RequireObject(description, "machine",
                {"format", "captured_by", "comment", "disks", "volumes", "reserved_letters",
                 "message_texts"});
  if (description.contains("disks")) {
    const json& disks = description.at("disks");
    if (!disks.is_array()) throw InputError("machine.disks: expected an array");
    for (std::size_t i = 0; i < disks.size(); ++i) {
      auto [number, disk] = LoadDisk(disks[i], "disks[" + std::to_string(i) + "]");
      machine.AddDisk(number, std::move(disk));
    }
  }
  if (description.contains("volumes")) {
    const json& volumes = description.at("volumes");
    if (!volumes.is_array()) throw InputError("machine.volumes: expected an array");
    for (std::size_t i = 0; i < volumes.size(); ++i) {
      machine.AddVolume(LoadVolume(volumes[i], "volumes[" + std::to_string(i) + "]", machine));
    }
  }
  for (char letter : String(description, "reserved_letters", "machine")) {
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    if (upper < 'A' || upper > 'Z') throw InputError("machine.reserved_letters: expected letters");
    machine.ReserveLetter(upper);
  }
  if (description.contains("message_texts")) {
    const json& texts = description.at("message_texts");
    if (!texts.is_object()) throw InputError("machine.message_texts: expected an object");
    for (const auto& [code, text] : texts.items()) {
      if (!text.is_string()) throw InputError("machine.message_texts: expected strings");
      machine.set_message_text(ParseCode(code, "machine.message_texts"),
                               CodePageText(machine, text.get<std::string>()));
    }
  }
}

}  // namespace sb::scenario
