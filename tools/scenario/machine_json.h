// Builds a simulated machine from a JSON description (see FORMAT.md beside this file).
#pragma once

#include <iostream>
#include <nlohmann/json.hpp>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/sim/sim_machine.h"

namespace sb::scenario {

// A description that cannot be turned into a machine: a missing or unknown key, a value of
// the wrong type or out of range. The text names the offending place.
class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The JSON document in the file; throws InputError when it cannot be read or parsed.
nlohmann::json ReadJsonFile(const std::string& path);

// The JSON document in a file's bytes: UTF-8 with or without a byte order mark, or UTF-16LE
// or UTF-16BE with one (file_encoding.h). Throws InputError naming the file (name) and, for
// bytes in any other encoding, the encoding found.
nlohmann::json ParseJsonText(std::string_view bytes, const std::string& name);

// A scenario document ({"machine": ..., "actions": ...}, or a machine alone). A "machine" given
// as a file name instead of an object is read from that file, named relative to the
// scenario's own folder, so that several scenarios can share one machine.
nlohmann::json ReadScenarioFile(const std::string& path);

// Adds the disks, volumes, reserved letters and message texts of description to machine. A
// description in a newer format than this loader's (machine_format.h) is read as far as it
// goes, with a line to warnings.
void LoadMachine(const nlohmann::json& description, sim::SimMachine& machine,
                 std::ostream& warnings = std::cerr);

// One volume object, as in the "volumes" array of a machine, with its texts in machine's
// code page.
sim::Volume LoadVolume(const nlohmann::json& description, const std::string& where,
                       sim::SimMachine& machine);

// "0x0007405C" or "475228"; throws InputError when text is not a 32-bit number.
std::uint32_t ParseCode(const std::string& text, const std::string& where);

// Raw bytes from hexadecimal text; spaces are ignored.
Bytes ParseHex(const std::string& text, const std::string& where);

}  // namespace sb::scenario
