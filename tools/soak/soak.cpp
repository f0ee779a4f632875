// The soak: the real main window over the real platform, refreshed a thousand times and
// with a hundred Properties windows opened and closed, and, when asked, rounds of attribute
// changes: each selects another disk and presses the four buttons, every box answered Yes.
// It reads the process's handle count, GDI and user objects and memory before and after,
// and fails when any of them grows.
//
//   sb_soak [refreshes] [windows] [rounds of attribute changes]
#include "platform/win32/win32_api.h"

#include <commctrl.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <span>

#include "platform/win32/win32_platform.h"
#include "tools/boxes/box_answerer.h"
#include "tools/soak/counting_platform.h"
#include "ui/win32/app.h"
#include "ui/win32/tfrm_properties.h"
#include "volumes/volume_table.h"

namespace {

using sb::CountingPlatform;

struct Counters {
  long long platform_handles = 0;
  long long windows = 0;
  DWORD process_handles = 0;
  DWORD gdi_objects = 0;
  DWORD user_objects = 0;
  long long heap_kib = 0;
  long long working_set_kib = 0;
};

BOOL CALLBACK CountChild(HWND, LPARAM count) {
  ++*reinterpret_cast<long long*>(count);
  return TRUE;
}

BOOL CALLBACK CountWindow(HWND window, LPARAM count) {
  ++*reinterpret_cast<long long*>(count);
  ::EnumChildWindows(window, CountChild, count);
  return TRUE;
}

// Bytes in use in every heap of the process.
long long HeapInUseKib() {
  HANDLE heaps[64];
  const DWORD count = ::GetProcessHeaps(64, heaps);
  long long bytes = 0;
  for (DWORD i = 0; i < count && i < 64; ++i) {
    PROCESS_HEAP_ENTRY entry = {};
    ::HeapLock(heaps[i]);
    while (::HeapWalk(heaps[i], &entry)) {
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) bytes += entry.cbData;
    }
    ::HeapUnlock(heaps[i]);
  }
  return bytes / 1024;
}

Counters Read(const CountingPlatform& platform) {
  Counters counters;
  HANDLE process = ::GetCurrentProcess();
  counters.platform_handles = platform.open();
  ::EnumThreadWindows(::GetCurrentThreadId(), CountWindow,
                      reinterpret_cast<LPARAM>(&counters.windows));
  ::GetProcessHandleCount(process, &counters.process_handles);
  counters.gdi_objects = ::GetGuiResources(process, GR_GDIOBJECTS);
  counters.user_objects = ::GetGuiResources(process, GR_USEROBJECTS);
  counters.heap_kib = HeapInUseKib();
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  ::GetProcessMemoryInfo(process, &memory, sizeof memory);
  counters.working_set_kib = static_cast<long long>(memory.WorkingSetSize / 1024);
  return counters;
}

void Pump() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

void Refreshes(HWND main_window, int count) {
  for (int i = 0; i < count; ++i) {
    ::SendMessageW(main_window, WM_COMMAND, sb::TfrmMain::kIdRefresh1, 0);
    if (i % 50 == 0) Pump();
  }
  Pump();
}

// Each round selects the next disk after the first row and presses Offline, Online,
// Read-Only and Read-Write.
void AttributeChanges(HWND main_window, int rounds) {
  const HWND list = ::GetDlgItem(main_window, sb::TfrmMain::kIdList);
  const HWND panel = ::GetDlgItem(main_window, sb::TfrmMain::kIdPanel);
  const int buttons[] = {sb::TfrmMain::kIdButton2, sb::TfrmMain::kIdButton3,
                         sb::TfrmMain::kIdButton4, sb::TfrmMain::kIdButton5};
  for (int round = 0; round < rounds; ++round) {
    const int rows = ListView_GetItemCount(list);
    const int row = rows > 1 ? 1 + round % (rows - 1) : 0;
    ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    for (int id : buttons) {
      ::SendMessageW(::GetDlgItem(panel, id), BM_CLICK, 0, 0);
      Pump();
    }
  }
}

bool PropertiesWindows(HWND main_window, int count) {
  for (int i = 0; i < count; ++i) {
    ::SendMessageW(main_window, WM_COMMAND, sb::TfrmMain::kIdShowDiskPartInformations1, 0);
    Pump();
    if (sb::frmproperties == nullptr) return false;
    ::SendMessageW(sb::frmproperties->hwnd(), WM_CLOSE, 0, 0);
    Pump();
  }
  return true;
}

// A counter that reads 0 before and after is one the platform does not keep (Wine keeps no
// GDI or user object counts), unless it is one of ours that is 0 when all is well.
bool Row(const char* name, long long before, long long after, long long allowed,
         bool ours = false) {
  if (!ours && before == 0 && after == 0) {
    std::printf("  %-18s %12s %12s %10s not counted by this platform\n", name, "-", "-", "-");
    return true;
  }
  const bool flat = after - before <= allowed;
  std::printf("  %-18s %12lld %12lld %+10lld %s\n", name, before, after, after - before,
              flat ? "flat" : "GROWS");
  return flat;
}

}  // namespace

int main(int argc, char** argv) {
  const int refreshes = argc > 1 ? std::atoi(argv[1]) : 1000;
  const int windows = argc > 2 ? std::atoi(argv[2]) : 100;
  const int rounds = argc > 3 ? std::atoi(argv[3]) : 0;
  sb::Win32Platform real;
  CountingPlatform platform(real);
  // The program's own start; the soak then drives the window in loops of its own.
  sb::Application application(::GetModuleHandleW(nullptr), platform, sb::VolumeList);
  if (!application.Start(SW_SHOW)) {
    std::fprintf(stderr, "soak: the main window could not be created (no display?)\n");
    return 2;
  }
  const sb::TfrmMain& main_window = application.main_window();
  Pump();
  // Every box answered as it comes up: Yes to a question, OK to the rest.
  const sb::BoxAnswerer answerer;

  // Warm up first: the first of each kind of work loads code and fills caches once.
  Refreshes(main_window.hwnd(), 20);
  if (!PropertiesWindows(main_window.hwnd(), 5)) return 2;
  AttributeChanges(main_window.hwnd(), rounds > 0 ? 2 : 0);
  const long long changes_before = platform.changes();
  const Counters before = Read(platform);
  Refreshes(main_window.hwnd(), refreshes);
  if (!PropertiesWindows(main_window.hwnd(), windows)) return 2;
  AttributeChanges(main_window.hwnd(), rounds);
  const Counters after = Read(platform);

  std::printf(
      "soak: %d refreshes, %d Properties windows opened and closed, %d rounds of the four "
      "commands (%lld attribute changes accepted), %lld device handles opened, %d rows\n",
      refreshes, windows, rounds, platform.changes() - changes_before, platform.opened(),
      ListView_GetItemCount(::GetDlgItem(main_window.hwnd(), sb::TfrmMain::kIdList)));
  std::printf("  %-18s %12s %12s %10s\n", "counter", "before", "after", "change");
  bool flat = true;
  flat &= Row("device handles", before.platform_handles, after.platform_handles, 0, true);
  flat &= Row("windows", before.windows, after.windows, 0, true);
  flat &= Row("process handles", before.process_handles, after.process_handles, 0);
  flat &= Row("GDI objects", before.gdi_objects, after.gdi_objects, 0);
  flat &= Row("user objects", before.user_objects, after.user_objects, 0);
  // The heap may keep a little of what it handed out; a leak of one record per refresh or
  // per window (a thousand and a hundred of them) would pass these bounds many times over.
  flat &= Row("heap in use KiB", before.heap_kib, after.heap_kib, 64);
  flat &= Row("working set KiB", before.working_set_kib, after.working_set_kib, 1024);
  std::printf("soak: %s\n", flat ? "flat" : "FAILED: a counter grows");
  return flat ? 0 : 1;
}
