// What the disk requests need beyond mingw-w64's kernel headers: the two disk attribute
// codes (the headers lack them) and the offsets this driver reads in SDK records.
// sdk_checks.cpp ties each of them to the SDK where it has them.
#pragma once

#include "tools/testdisk/driver/kernel.h"

#ifndef IOCTL_DISK_GET_DISK_ATTRIBUTES
#define IOCTL_DISK_GET_DISK_ATTRIBUTES \
  CTL_CODE(IOCTL_DISK_BASE, 0x003c, METHOD_BUFFERED, FILE_ANY_ACCESS)
#endif
#ifndef IOCTL_DISK_SET_DISK_ATTRIBUTES
#define IOCTL_DISK_SET_DISK_ATTRIBUTES \
  CTL_CODE(IOCTL_DISK_BASE, 0x003d, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS)
#endif

namespace sb::testdisk::kernel {

// STORAGE_DESCRIPTOR_HEADER: Version and Size, the part of a descriptor a caller must take.
inline constexpr std::size_t kStorageDescriptorHeaderSize = 8;

}  // namespace sb::testdisk::kernel
