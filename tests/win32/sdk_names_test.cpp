// The program's headers and the SDK's winioctl.h in one translation unit: the names they
// share are one name, and our own records do not hide the SDK's.
//
// Our headers come first here, against the rule that Win32 code reads win32_api.h first:
// this is the order in which a clash would show.
#include "disk/attributes.h"
#include "volumes/volume_routines.h"

#include "platform/win32/win32_api.h"
#include <winioctl.h>

#include <gtest/gtest.h>

#include <type_traits>

// A full SDK's winioctl.h defines the attribute bits as below; some toolchains' headers
// (mingw-w64 10) lack them. A macro may be defined again only with the same tokens, so with
// another spelling or value in disk/attributes.h this stops the build, whichever header
// comes first.
#define DISK_ATTRIBUTE_OFFLINE 0x0000000000000001
#define DISK_ATTRIBUTE_READ_ONLY 0x0000000000000002

// With both sets of names visible, as in any file that uses the program's namespace.
using namespace sb;

namespace {

static_assert(DISK_ATTRIBUTE_OFFLINE == 1 && DISK_ATTRIBUTE_READ_ONLY == 2);

// The SDK's DISK_EXTENT is reached without qualification: nothing of ours shadows it or
// makes it ambiguous. Our extent record has a name of its own.
static_assert(std::is_same_v<DISK_EXTENT, ::DISK_EXTENT>);
static_assert(!std::is_same_v<DiskExtent, ::DISK_EXTENT>);

TEST(SdkNames, TheAttributeBitsAreTheSdksAndTheTextsUseThem) {
  EXPECT_EQ(AttributeText(DISK_ATTRIBUTE_OFFLINE), SB_T("Offline Read-Write "));
  EXPECT_EQ(AttributeText(DISK_ATTRIBUTE_READ_ONLY), SB_T("Online Read-Only "));
  EXPECT_EQ(AttributeText(DISK_ATTRIBUTE_OFFLINE | DISK_ATTRIBUTE_READ_ONLY),
            SB_T("Offline Read-Only "));
}

TEST(SdkNames, OurExtentAndTheSdksLiveSideBySide) {
  ::DISK_EXTENT sdk = {};
  sdk.DiskNumber = 7;
  DiskExtent ours;
  ours.disk_number = sdk.DiskNumber;
  EXPECT_EQ(ours.disk_number, 7u);
}

}  // namespace
