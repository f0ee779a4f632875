// The text report of one physical disk that the Properties window shows.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "ports/lines.h"

namespace sb {

// Empties lines and writes the report of the disk at path ("\\.\PhysicalDrive" + number):
// geometry, length, partition layout, failure prediction, identity, cache flags and
// attributes. A section appears only when its query succeeded; when the geometry cannot be
// read the report is the single line "->Drive Geometry". Nothing is raised or shown.
void DiskInfoReport(Platform& platform, const Text& path, Lines& lines);

// The disk identifier of an MBR disk as the report prints it: upper-case hexadecimal of at
// least four digits, with a seven-digit value widened to eight.
Text MbrDiskIdText(std::uint32_t signature);

// The disk identifier of a GPT disk: its GUID in braces, upper case, 38 characters.
Text GptDiskIdText(ConstBytes guid);

}  // namespace sb
