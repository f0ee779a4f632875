// The owners of the windows' font, popup menu and hooks.
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

int hook_calls = 0;

LRESULT CALLBACK CountingHook(int code, WPARAM wparam, LPARAM lparam) noexcept {
  ++hook_calls;
  return ::CallNextHookEx(nullptr, code, wparam, lparam);
}

// A message of the thread's queue, taken through the hooks on its way.
void PostAndTakeOne() {
  ::PostThreadMessage(::GetCurrentThreadId(), WM_APP, 0, 0);
  MSG message;
  while (::PeekMessage(&message, nullptr, WM_APP, WM_APP, PM_REMOVE)) {
  }
}

TEST(UiHandles, TheHookIsRemovedWithItsOwner) {
  hook_calls = 0;
  {
    const UniqueHook hook(
        ::SetWindowsHookEx(WH_GETMESSAGE, CountingHook, nullptr, ::GetCurrentThreadId()));
    ASSERT_TRUE(hook.valid());
    PostAndTakeOne();
    EXPECT_GT(hook_calls, 0);
  }
  const int calls = hook_calls;
  PostAndTakeOne();
  EXPECT_EQ(hook_calls, calls);
}

}  // namespace
}  // namespace sb
