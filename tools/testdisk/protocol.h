// What the test disk driver and its user-mode side exchange: the private control device,
// its control codes, and the byte layouts of a disk description and of the request log.
//
// Shared by the kernel-mode driver and by user-mode programs, so it needs nothing beyond
// fixed-width integers. Both sides read and write these layouts at the offsets below, never
// through a cast; the driver's and the loader's SDK checks tie what the SDK also has to it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace sb::testdisk {

// The driver's control device. Disks are \\.\PhysicalDrive1 to \\.\PhysicalDrive15; the
// number 0 belongs to Wine's own disk and cannot be taken over.
inline constexpr wchar_t kControlDeviceName[] = L"\\Device\\SpindlebayTestDisks";
inline constexpr wchar_t kControlLinkName[] = L"\\??\\SpindlebayTestDisks";
inline constexpr wchar_t kControlPath[] = L"\\\\.\\SpindlebayTestDisks";
inline constexpr wchar_t kDiskDeviceNamePrefix[] = L"\\Device\\SpindlebayTestDisk";
inline constexpr wchar_t kDiskLinkNamePrefix[] = L"\\??\\PhysicalDrive";
inline constexpr std::uint32_t kFirstDisk = 1;
inline constexpr std::uint32_t kLastDisk = 15;

// CTL_CODE of winioctl.h, for a device type of our own (the range from 0x8000 is free for
// private devices) and buffered transfers.
inline constexpr std::uint32_t kControlDeviceType = 0x8B5D;
inline constexpr std::uint32_t kAnyAccess = 0;
inline constexpr std::uint32_t kReadAccess = 1;
inline constexpr std::uint32_t kWriteAccess = 2;
constexpr std::uint32_t ControlCode(std::uint32_t function, std::uint32_t access) {
  return (kControlDeviceType << 16) | (access << 14) | (function << 2);
}

// Removes every disk and empties the log. No input, no output.
inline constexpr std::uint32_t kControlReset = ControlCode(0x801, kReadAccess | kWriteAccess);
// Creates one disk from a disk description (below). Fails with STATUS_OBJECT_NAME_COLLISION
// when the number is taken and STATUS_INVALID_PARAMETER for a malformed description.
inline constexpr std::uint32_t kControlAddDisk = ControlCode(0x802, kReadAccess | kWriteAccess);
// Removes one disk: input is its number (32-bit).
inline constexpr std::uint32_t kControlRemoveDisk = ControlCode(0x803, kReadAccess | kWriteAccess);
// Reads the log: input is the sequence number of the first entry wanted (32-bit); output is
// a log header followed by as many whole entries as fit.
inline constexpr std::uint32_t kControlReadLog = ControlCode(0x804, kReadAccess);
// Reads the driver's counters (below). No input.
inline constexpr std::uint32_t kControlStats = ControlCode(0x805, kReadAccess);

// --- Disk description (input of kControlAddDisk) ---
// A header, then answer_count answers, each an answer header and its bytes padded to 8.
// An answer either carries the bytes that its control code answers with, or a failure
// status (an NTSTATUS that is not 0) that the request fails with.
inline constexpr std::size_t kDiskSize = 0;          // u32: bytes of the whole description
inline constexpr std::size_t kDiskNumber = 4;        // u32: N of \\.\PhysicalDriveN
inline constexpr std::size_t kDiskAttributes = 8;    // u64: the initial attribute word
inline constexpr std::size_t kDiskFlags = 16;        // u32: kDiskAnswers* bits
inline constexpr std::size_t kDiskAnswerCount = 20;  // u32
inline constexpr std::size_t kDiskHeaderSize = 24;
inline constexpr std::uint32_t kDiskAnswersAttributes = 1;  // the attribute get and set work
// A removable drive without media: the length, geometry and layout requests fail with
// STATUS_DEVICE_NOT_READY (platform/sim/disk_answer_rules.h).
inline constexpr std::uint32_t kDiskWithoutMedia = 2;

inline constexpr std::size_t kAnswerCode = 0;    // u32: the control code
inline constexpr std::size_t kAnswerStatus = 4;  // u32: 0, or the failure status
inline constexpr std::size_t kAnswerLength = 8;  // u32: bytes that follow the header
inline constexpr std::size_t kAnswerHeaderSize = 16;
inline constexpr std::size_t kAnswerAlignment = 8;

inline constexpr std::size_t kMaxAnswers = 32;
inline constexpr std::size_t kMaxDiskSize = 1024 * 1024;

constexpr std::size_t AlignedAnswerLength(std::size_t length) {
  return (length + kAnswerAlignment - 1) / kAnswerAlignment * kAnswerAlignment;
}

// --- Log (output of kControlReadLog) ---
inline constexpr std::size_t kLogNextSequence = 0;  // u32: the sequence number of the next entry
inline constexpr std::size_t kLogDropped = 4;       // u32: entries overwritten before being read
inline constexpr std::size_t kLogCount = 8;         // u32: entries in this answer
inline constexpr std::size_t kLogHeaderSize = 16;

inline constexpr std::size_t kEntrySequence = 0;       // u32: 0 for the first request after a reset
inline constexpr std::size_t kEntryDisk = 4;           // u32
inline constexpr std::size_t kEntryCode = 8;           // u32
inline constexpr std::size_t kEntryStatus = 12;        // u32: the NTSTATUS the request got
inline constexpr std::size_t kEntryInputLength = 16;   // u32
inline constexpr std::size_t kEntryOutputLength = 20;  // u32
inline constexpr std::size_t kEntryReturned = 24;      // u32: bytes given back (Information)
inline constexpr std::size_t kEntryInput = 32;         // the first kEntryInputBytes input bytes
inline constexpr std::size_t kEntryInputBytes = 64;
inline constexpr std::size_t kEntrySize = kEntryInput + kEntryInputBytes;
inline constexpr std::size_t kLogCapacity = 4096;  // entries kept; older ones are dropped

// --- Counters (output of kControlStats) ---
inline constexpr std::size_t kStatsDisks = 0;        // u32: disks present
inline constexpr std::size_t kStatsAllocations = 4;  // u32: pool blocks the driver holds
inline constexpr std::size_t kStatsLogEntries = 8;   // u32: entries recorded since the reset
inline constexpr std::size_t kStatsSize = 16;

// --- Statuses ---
// The NTSTATUS values that disk requests fail with, and the Windows error code Wine's
// DeviceIoControl turns each into (measured under Wine 8). A failure a machine gives as an
// error code is answered with the status of that code here.
struct ErrorStatus {
  std::uint32_t error;
  std::uint32_t status;
};
inline constexpr std::uint32_t kStatusSuccess = 0x00000000;
inline constexpr std::uint32_t kStatusBufferOverflow = 0x80000005;
inline constexpr std::uint32_t kStatusUnsuccessful = 0xC0000001;
inline constexpr std::uint32_t kStatusInfoLengthMismatch = 0xC0000004;
inline constexpr std::uint32_t kStatusInvalidParameter = 0xC000000D;
inline constexpr std::uint32_t kStatusNoSuchDevice = 0xC000000E;
inline constexpr std::uint32_t kStatusInvalidDeviceRequest = 0xC0000010;
inline constexpr std::uint32_t kStatusAccessDenied = 0xC0000022;
inline constexpr std::uint32_t kStatusBufferTooSmall = 0xC0000023;
inline constexpr std::uint32_t kStatusRevisionMismatch = 0xC0000059;
inline constexpr std::uint32_t kStatusDeviceDataError = 0xC000009C;
inline constexpr std::uint32_t kStatusMediaWriteProtected = 0xC00000A2;
inline constexpr std::uint32_t kStatusDeviceNotReady = 0xC00000A3;
inline constexpr std::uint32_t kStatusIoTimeout = 0xC00000B5;
inline constexpr std::uint32_t kStatusNotSupported = 0xC00000BB;
inline constexpr std::uint32_t kStatusIoDeviceError = 0xC0000185;

inline constexpr ErrorStatus kStatusOfError[] = {
    {1, kStatusInvalidDeviceRequest},  // ERROR_INVALID_FUNCTION
    {5, kStatusAccessDenied},          // ERROR_ACCESS_DENIED
    {19, kStatusMediaWriteProtected},  // ERROR_WRITE_PROTECT
    {21, kStatusDeviceNotReady},       // ERROR_NOT_READY
    {23, kStatusDeviceDataError},      // ERROR_CRC
    {24, kStatusInfoLengthMismatch},   // ERROR_BAD_LENGTH
    {31, kStatusUnsuccessful},         // ERROR_GEN_FAILURE
    {50, kStatusNotSupported},         // ERROR_NOT_SUPPORTED
    {87, kStatusInvalidParameter},     // ERROR_INVALID_PARAMETER
    {121, kStatusIoTimeout},           // ERROR_SEM_TIMEOUT
    {122, kStatusBufferTooSmall},      // ERROR_INSUFFICIENT_BUFFER
    {234, kStatusBufferOverflow},      // ERROR_MORE_DATA
    {433, kStatusNoSuchDevice},        // ERROR_NO_SUCH_DEVICE
    {1117, kStatusIoDeviceError},      // ERROR_IO_DEVICE
    {1306, kStatusRevisionMismatch},   // ERROR_REVISION_MISMATCH
};

// The status of a Windows error code from kStatusOfError; STATUS_UNSUCCESSFUL for a code it
// does not hold.
constexpr std::uint32_t StatusOfErrorCode(std::uint32_t error) {
  for (const ErrorStatus& entry : kStatusOfError) {
    if (entry.error == error) return entry.status;
  }
  return kStatusUnsuccessful;
}

}  // namespace sb::testdisk
