// The owners of the windows' font and popup menu.
#include "platform/win32/win32_api.h"

#include <gtest/gtest.h>

#include <utility>

#include "ui/win32/ui_handles.h"
#include "ui/win32/window_util.h"

namespace sb {
namespace {

TEST(UiHandles, TheFontIsDeletedWithItsOwnerAndTheLastErrorKept) {
  HFONT raw = nullptr;
  {
    const UniqueFont font(CreateProgramFont());
    raw = font.get();
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(::GetObjectType(raw), static_cast<DWORD>(OBJ_FONT));
    ::SetLastError(ERROR_ACCESS_DENIED);
  }
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(::GetObjectType(raw), 0u);
}

TEST(UiHandles, TheMenuMovesAndIsDestroyedOnceOrReleased) {
  UniqueMenu menu(::CreatePopupMenu());
  const HMENU raw = menu.get();
  ASSERT_TRUE(::IsMenu(raw));
  UniqueMenu moved = std::move(menu);
  EXPECT_FALSE(menu.valid());  // a moved-from owner owns nothing
  EXPECT_EQ(moved.get(), raw);
  moved.reset();
  EXPECT_FALSE(::IsMenu(raw));

  UniqueMenu kept(::CreatePopupMenu());
  const HMENU released = kept.release();
  EXPECT_FALSE(kept.valid());
  EXPECT_TRUE(::IsMenu(released));
  ::DestroyMenu(released);
}

}  // namespace
}  // namespace sb
