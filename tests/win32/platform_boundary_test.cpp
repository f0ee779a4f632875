// What the seam passes to Windows that Wine's devices cannot show: the sharing of an open,
// the thread's last error as the seam sets it, and the form of the local time stamp.
#include "platform/win32/win32_api.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>

#include "platform/handle.h"
#include "platform/win32/win32_platform.h"
#include "support/fake_view.h"

namespace sb {
namespace {

// A file of this test's own, deleted with the object.
class TemporaryFile {
 public:
  TemporaryFile() {
    TCHAR directory[MAX_PATH] = {};
    TCHAR name[MAX_PATH] = {};
    ::GetTempPath(MAX_PATH, directory);
    ::GetTempFileName(directory, TEXT("sb"), 0, name);  // creates it, empty
    path_ = name;
  }
  ~TemporaryFile() { ::DeleteFile(path_.c_str()); }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  const Text& path() const { return path_; }

 private:
  Text path_;
};

// Windows keeps disks open for writing. While another handle writes to a file, an open
// for reading succeeds only if it lets others write: the seam passes the sharing it is
// given, neither less nor more. Wine's devices do not check sharing; its files do.
TEST(PlatformBoundary, OpensShareExactlyWhatTheyAreGiven) {
  const TemporaryFile file;
  Win32Platform platform;
  const UniqueHandle writer(
      platform, reinterpret_cast<Handle>(CreateFileT(file.path().c_str(), GENERIC_WRITE,
                                                     FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL)));
  ASSERT_TRUE(writer.valid());
  const struct {
    const char* sharing;
    std::uint32_t share;
    bool opens;
  } cases[] = {
      {"read and write", kShareReadWrite, true},
      {"read only", win::kFileShareRead, false},
  };
  for (const auto& c : cases) {
    const UniqueHandle reader = OpenExisting(platform, file.path(), win::kGenericRead, c.share);
    const std::uint32_t error = platform.GetLastError();
    EXPECT_EQ(reader.valid(), c.opens) << c.sharing;
    if (!c.opens) {
      EXPECT_EQ(error, DWORD{ERROR_SHARING_VIOLATION}) << c.sharing;
    }
  }
}

TEST(PlatformBoundary, SetLastErrorSetsTheThreadsLastError) {
  Win32Platform platform;
  for (const std::uint32_t code : {win::kErrorAccessDenied, win::kErrorSuccess,
                                   win::kErrorInvalidParameter, std::uint32_t{0xE0000001}}) {
    ::SetLastError(ERROR_NOT_READY);
    platform.SetLastError(code);
    EXPECT_EQ(::GetLastError(), code);
  }
}

// The status line's stamp: the short date, one blank, the long time with its seconds
// (digits and separators in any of the usual orders; a 12-hour clock adds its marker).
TEST(PlatformBoundary, TheLocalTimeStampIsDateBlankTime) {
  Win32Platform platform;
  const std::string stamp = test::A(platform.LocalDateTimeText());
  const std::regex form(R"(\d{1,4}[/.-]\d{1,2}[/.-]\d{1,4} \d{1,2}:\d{2}:\d{2}( [AP]M)?)");
  EXPECT_TRUE(std::regex_match(stamp, form)) << stamp;
}

}  // namespace
}  // namespace sb
