// Volume notices made by Windows itself rather than sent by a test: Wine's mount manager
// broadcasts WM_DEVICECHANGE to every top-level window when a drive letter is defined or
// removed through it, as Wine's configuration tool does (IOCTL_MOUNTMGR_DEFINE_UNIX_DRIVE, a
// Wine extension). The real main window must write its status line and refresh for both.
#include "platform/win32/win32_api.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "main_window_fixture.h"
#include "platform/bytes.h"
#include "platform/handle.h"

namespace sb::test {
namespace {

using ::testing::EndsWith;

// CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS), and the record it
// takes: size, type, fs_type, serial (32-bit each), unix_dev (64-bit), the letter (a
// lower-case UTF-16 unit) and three 16-bit offsets into the record, then the strings.
constexpr DWORD kDefineUnixDrive = 0x006DC080;
constexpr std::size_t kSize = 0, kType = 4, kLetter = 24, kMountPointOffset = 26;
constexpr std::size_t kRecordSize = 32;

// Defines the letter as a fixed drive on the Unix folder, or removes it (empty folder).
bool DefineUnixDrive(char letter, const std::string& folder) {
  Bytes record(kRecordSize + (folder.empty() ? 0 : folder.size() + 1), 0);
  ByteWriter writer(record);
  writer.U32(kSize, static_cast<std::uint32_t>(record.size()));
  writer.U32(kType, folder.empty() ? DRIVE_NO_ROOT_DIR : DRIVE_FIXED);
  writer.U16(kLetter, static_cast<std::uint16_t>(letter - 'A' + 'a'));
  if (!folder.empty()) {
    writer.U16(kMountPointOffset, static_cast<std::uint16_t>(kRecordSize));
    std::copy(folder.begin(), folder.end(), record.begin() + kRecordSize);
  }
  const HANDLE manager =
      ::CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (manager == INVALID_HANDLE_VALUE) return false;
  DWORD returned = 0;
  const BOOL ok =
      ::DeviceIoControl(manager, kDefineUnixDrive, record.data(), static_cast<DWORD>(record.size()),
                        nullptr, 0, &returned, nullptr);
  ::CloseHandle(manager);
  return ok != FALSE;
}

// The first letter from W down that no drive uses.
char FreeLetter() {
  const DWORD used = ::GetLogicalDrives();
  for (char letter = 'W'; letter > 'D'; --letter) {
    if (!(used & (1u << (letter - 'A')))) return letter;
  }
  return 0;
}

class MountManagerNotices : public MainWindowTest {
 protected:
  // Asks the mount manager on another thread, as the broadcast it makes is sent to this
  // thread's window, and lets messages run until the status line ends with expected or the
  // request is done and nothing more arrives.
  bool DefineAndWaitFor(char letter, const std::string& folder, const std::string& expected) {
    std::atomic<bool> done{false};
    std::atomic<bool> defined{false};
    std::thread asker([&] {
      defined = DefineUnixDrive(letter, folder);
      done = true;
    });
    const DWORD start = ::GetTickCount();
    while (!(done && StatusText().ends_with(expected)) && ::GetTickCount() - start < 20000) {
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
      Pump();
    }
    asker.join();
    Pump();
    return defined;
  }
};

TEST_F(MountManagerNotices, ALetterDefinedAndRemovedReachesTheStatusLineAndRefreshes) {
  const char letter = FreeLetter();
  ASSERT_NE(letter, 0);
  const std::string root = std::string(1, letter) + ":";
  EXPECT_EQ(Rows().size(), 2u);

  machine.AddDisk(5, ListDisk("Stick", 16 * kMiB, 0, 7));
  ASSERT_TRUE(DefineAndWaitFor(letter, "/tmp", " : device inserted " + root))
      << "the mount manager refused the drive letter " << root;
  EXPECT_THAT(StatusText(), EndsWith(" : device inserted " + root));
  EXPECT_EQ(Rows().size(), 3u) << "the notice did not refresh the list";

  machine.RemoveDisk(5);
  ASSERT_TRUE(DefineAndWaitFor(letter, "", " : device removed " + root));
  EXPECT_THAT(StatusText(), EndsWith(" : device removed " + root));
  EXPECT_EQ(Rows().size(), 2u) << "the notice did not refresh the list";
}

}  // namespace
}  // namespace sb::test
