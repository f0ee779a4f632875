// Privacy of a capture: serial numbers, disk identifiers (MBR signatures, GPT disk and
// partition GUIDs) and volume GUIDs are replaced by stand-ins of the same length and form.
//
// A stand-in says nothing about the value it replaces: stand-ins are numbered in the order
// the capture meets the values (disks 0 to 15, then the volumes in Windows' order), so two
// captures of the same machine agree, and one value met twice gets the same stand-in
// wherever it appears (a GUID in a layout and in a volume name, say). "The same form" means
// that the program shows a stand-in as it shows the original: an MBR signature keeps its
// number of hexadecimal digits, a serial number its length, its blanks and whether it is
// coded in hexadecimal digit pairs, and every zero value stays zero (it identifies nothing).
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>

#include "tools/capture/capture.h"

namespace sb::capture {

using Guid = std::array<std::uint8_t, 16>;  // in the byte order a GUID is stored in

class StandIns {
 public:
  // Replaces every identifier of the capture, in place.
  void Apply(Capture& capture);

  // The parts, for the tests.
  void InDescriptor(Bytes& descriptor);
  void InLayout(Bytes& layout);
  // Every GUID text ({8-4-4-4-12}) in the text; letters keep their case.
  std::string InText(const std::string& text);
  std::uint32_t Signature(std::uint32_t original);
  Guid GuidOf(const Guid& original);
  // A serial number's bytes as the descriptor holds them (hexadecimal pairs or plain).
  std::string Serial(const std::string& original);

 private:
  std::map<std::uint32_t, std::uint32_t> signatures_;
  std::map<Guid, Guid> guids_;
  std::map<std::string, std::string> serials_;
};

}  // namespace sb::capture
