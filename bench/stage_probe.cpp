#include "stage_probe.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

#include "timing.h"

namespace sb::bench {
namespace {

// One probe per process: the hooks have no other way to find it.
StageProbe* g_probe = nullptr;

bool IsClass(HWND window, const wchar_t* name) {
  wchar_t buffer[64] = {};
  ::GetClassNameW(window, buffer, 64);
  return std::wcscmp(buffer, name) == 0;
}

bool IsMain(HWND window) {
  return IsClass(window, L"TfrmMain");
}

}  // namespace

StageProbe::StageProbe(double reference) : reference_(reference) {
  g_probe = this;
  const DWORD thread = ::GetCurrentThreadId();
  cbt_.reset(::SetWindowsHookExW(WH_CBT, OnCbt, nullptr, thread));
  call_.reset(::SetWindowsHookExW(WH_CALLWNDPROC, OnCall, nullptr, thread));
  call_return_.reset(::SetWindowsHookExW(WH_CALLWNDPROCRET, OnCallReturn, nullptr, thread));
}

StageProbe::~StageProbe() {
  // The hooks go before the pointer their procedures read.
  cbt_.reset();
  call_.reset();
  call_return_.reset();
  g_probe = nullptr;
}

void StageProbe::Stamp(const char* stage) {
  const double ms = (Now() - reference_) * 1000;
  for (const auto& noted : stages_) {
    if (noted.first == stage) return;
  }
  stages_.emplace_back(stage, ms);
}

void StageProbe::Total(const std::string& name, double ms) {
  totals_.emplace_back(name, ms);
}

std::string StageProbe::Lines() const {
  std::string lines;
  char line[160];
  for (const auto& [stage, ms] : stages_) {
    std::snprintf(line, sizeof line, "%s\t%.3f\n", stage.c_str(), ms);
    lines += line;
  }
  for (const auto& [name, ms] : totals_) {
    std::snprintf(line, sizeof line, "=%s\t%.3f\n", name.c_str(), ms);
    lines += line;
  }
  return lines;
}

LRESULT CALLBACK StageProbe::OnCbt(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_CREATEWND) {
    const auto* create = reinterpret_cast<const CBT_CREATEWNDW*>(lparam)->lpcs;
    const bool named = HIWORD(reinterpret_cast<ULONG_PTR>(create->lpszClass)) != 0;
    if (named && std::wcscmp(create->lpszClass, L"TfrmMain") == 0) {
      g_probe->Stamp("main window: creation begins");
    }
    if (named && std::wcscmp(create->lpszClass, L"Tfrmproperties") == 0) {
      g_probe->Stamp("Properties window: creation begins");
    }
  }
  if (code == HCBT_ACTIVATE) g_probe->Stamp("main window activated");
  if (code == HCBT_SETFOCUS) g_probe->Stamp("first focus change begins");
  return ::CallNextHookEx(nullptr, code, wparam, lparam);
}

LRESULT CALLBACK StageProbe::OnCall(int code, WPARAM wparam, LPARAM lparam) {
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lparam);
  if (code == HC_ACTION && IsMain(call->hwnd)) {
    if (call->message == WM_SHOWWINDOW && call->wParam) g_probe->Stamp("list fill begins");
    if (call->message == WM_PAINT) g_probe->Stamp("first paint begins");
  }
  if (code == HC_ACTION && call->message == LVM_INSERTITEMW) {
    g_probe->Stamp("first row's insertion begins");
  }
  if (code == HC_ACTION && call->message == LVM_SETITEMSTATE) g_probe->Stamp("selection begins");
  return ::CallNextHookEx(nullptr, code, wparam, lparam);
}

LRESULT CALLBACK StageProbe::OnCallReturn(int code, WPARAM wparam, LPARAM lparam) {
  const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lparam);
  if (code == HC_ACTION && IsMain(call->hwnd)) {
    if (call->message == WM_CREATE) g_probe->Stamp("main window's controls created");
    if (call->message == WM_SHOWWINDOW && call->wParam) g_probe->Stamp("list fill ends");
  }
  if (code == HC_ACTION && call->message == WM_SETFOCUS) g_probe->Stamp("first focus change ends");
  if (code == HC_ACTION && call->message == LVM_INSERTITEMW) g_probe->Stamp("first row inserted");
  if (code == HC_ACTION && call->message == LVM_SETITEMSTATE) g_probe->Stamp("selection set");
  if (code == HC_ACTION && call->message == WM_PAINT && IsClass(call->hwnd, L"SysListView32")) {
    g_probe->Stamp("list painted");
  }
  return ::CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace sb::bench
