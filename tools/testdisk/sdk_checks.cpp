// Ties the control device's codes to winioctl.h's CTL_CODE, so that the driver, which checks
// the same against the kernel headers, and its callers agree. Nothing here runs.
#include "platform/win32/win32_api.h"
#include <winioctl.h>

#include <iterator>

#include "tools/testdisk/protocol.h"

namespace sb::testdisk {
namespace {

constexpr DWORD kChange = FILE_READ_ACCESS | FILE_WRITE_ACCESS;
static_assert(kControlReset == CTL_CODE(kControlDeviceType, 0x801, METHOD_BUFFERED, kChange));
static_assert(kControlAddDisk == CTL_CODE(kControlDeviceType, 0x802, METHOD_BUFFERED, kChange));
static_assert(kControlRemoveDisk == CTL_CODE(kControlDeviceType, 0x803, METHOD_BUFFERED, kChange));
static_assert(kControlReadLog ==
              CTL_CODE(kControlDeviceType, 0x804, METHOD_BUFFERED, FILE_READ_ACCESS));
static_assert(kControlStats ==
              CTL_CODE(kControlDeviceType, 0x805, METHOD_BUFFERED, FILE_READ_ACCESS));

// The error codes of the status table, in its order. mingw-w64's winerror.h lacks
// ERROR_NO_SUCH_DEVICE (433).
constexpr DWORD kErrorNoSuchDevice = 433;
constexpr DWORD kErrors[] = {ERROR_INVALID_FUNCTION,
                             ERROR_ACCESS_DENIED,
                             ERROR_WRITE_PROTECT,
                             ERROR_NOT_READY,
                             ERROR_CRC,
                             ERROR_BAD_LENGTH,
                             ERROR_GEN_FAILURE,
                             ERROR_NOT_SUPPORTED,
                             ERROR_INVALID_PARAMETER,
                             ERROR_SEM_TIMEOUT,
                             ERROR_INSUFFICIENT_BUFFER,
                             ERROR_MORE_DATA,
                             kErrorNoSuchDevice,
                             ERROR_IO_DEVICE,
                             ERROR_REVISION_MISMATCH};
constexpr bool TableHasTheseErrors() {
  if (std::size(kErrors) != std::size(kStatusOfError)) return false;
  for (std::size_t i = 0; i < std::size(kErrors); ++i) {
    if (kStatusOfError[i].error != kErrors[i]) return false;
  }
  return true;
}
static_assert(TableHasTheseErrors());

}  // namespace
}  // namespace sb::testdisk
