// Definitions the Windows 7 SDK has but some toolchains' headers lack (mingw-w64 10 has
// neither the disk attribute requests nor their records). Ours carry their own names so
// that they never clash with an SDK that has them; sdk_checks.cpp ties both together.
#pragma once

#include "platform/win32/win32_api.h"
#include <winioctl.h>

#ifndef IOCTL_DISK_GET_DISK_ATTRIBUTES
#define IOCTL_DISK_GET_DISK_ATTRIBUTES \
  CTL_CODE(IOCTL_DISK_BASE, 0x003c, METHOD_BUFFERED, FILE_ANY_ACCESS)
#define SPINDLEBAY_OWN_DISK_ATTRIBUTES 1
#endif
#ifndef IOCTL_DISK_SET_DISK_ATTRIBUTES
#define IOCTL_DISK_SET_DISK_ATTRIBUTES \
  CTL_CODE(IOCTL_DISK_BASE, 0x003d, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS)
#endif

namespace sb::sdk {

struct GET_DISK_ATTRIBUTES {
  DWORD Version;
  DWORD Reserved1;
  DWORDLONG Attributes;
};

struct SET_DISK_ATTRIBUTES {
  DWORD Version;
  BOOLEAN Persist;
  BOOLEAN Reserved1[3];
  DWORDLONG Attributes;
  DWORDLONG AttributesMask;
  DWORD Reserved2[4];
};

}  // namespace sb::sdk
