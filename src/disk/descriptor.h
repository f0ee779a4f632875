// The identity of a disk from its storage device descriptor.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace sb {

struct TDisk_Property {
  Text vendor_id;
  Text serial_number;
  Text product_id;
  Text product_revision;
  bool removable = false;
  Text bus_type;
};

// Reads the descriptor of the disk at path and fills every field of the record. On false
// (the device cannot be opened or the request fails) the record is left as it was.
bool GetDiskProperty(Platform& platform, const Text& path, TDisk_Property& property);

// The decoded identifier string that starts at offset in the descriptor buffer: text coded
// as hexadecimal digit pairs is decoded, plain printable text is copied, blanks around it
// are trimmed. Empty for offsets of 0 or less and for offsets at or past the buffer's end;
// a string without a zero byte ends at the end of the buffer. The result holds only the
// bytes 32 to 126.
std::string DecodeIdString(ConstBytes descriptor, std::int32_t offset);

// The hex pass of DecodeIdString: decodes a source made only of hexadecimal digit pairs
// whose bytes are printable or zero into output (an unpaired last digit is dropped). False as
// soon as a byte is not a digit or a pair decodes to a control byte; the string is then
// shown as it stands, and output holds the pairs decoded before.
bool HexPass(const std::string& source, std::string& output);

// The name of a bus type code ("Usb", "Sata", ...; "unknown" for codes it does not know).
Text BusTypeName(std::uint32_t code);

}  // namespace sb
