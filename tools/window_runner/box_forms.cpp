#include "tools/window_runner/box_forms.h"

#include "platform/win32/win32_api.h"

#include <cstring>

namespace sb::window_runner {
namespace {

using BoxA = int(WINAPI*)(HWND, LPCSTR, LPCSTR, UINT);
using BoxW = int(WINAPI*)(HWND, LPCWSTR, LPCWSTR, UINT);

BoxA system_box_a = nullptr;
BoxW system_box_w = nullptr;
BoxForm last_form = BoxForm::kUnknown;

int WINAPI RecordedBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  last_form = BoxForm::kSingleByte;
  return system_box_a(owner, text, caption, type);
}

int WINAPI RecordedBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  last_form = BoxForm::kWide;
  return system_box_w(owner, text, caption, type);
}

// The import address slot of function from dll in this program's import table. The image
// is the program's own, mapped by the loader, so its headers are read in place.
ULONG_PTR* ImportSlot(const char* dll, const char* function) {
  auto* base = reinterpret_cast<BYTE*>(::GetModuleHandle(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return nullptr;
  for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       entry->Name != 0; ++entry) {
    if (::lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), dll) != 0) continue;
    const DWORD names_at =
        entry->OriginalFirstThunk != 0 ? entry->OriginalFirstThunk : entry->FirstThunk;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + names_at);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* by_name =
          reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(by_name->Name), function) == 0) {
        return &slots->u1.Function;
      }
    }
  }
  return nullptr;
}

template <typename Function>
bool Replace(const char* name, Function replacement, Function& system) {
  ULONG_PTR* slot = ImportSlot("user32.dll", name);
  if (slot == nullptr) return false;
  DWORD protection = 0;
  if (!::VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection)) return false;
  system = reinterpret_cast<Function>(*slot);
  *slot = reinterpret_cast<ULONG_PTR>(replacement);
  ::VirtualProtect(slot, sizeof *slot, protection, &protection);
  return true;
}

}  // namespace

// The 32-bit program imports MessageBoxA alone; the 64-bit one both forms.
bool RecordBoxForms() {
  const bool single_byte = Replace("MessageBoxA", &RecordedBoxA, system_box_a);
  const bool wide = Replace("MessageBoxW", &RecordedBoxW, system_box_w);
  return single_byte && (wide || !kWideText);
}

BoxForm LastBoxForm() {
  return last_form;
}

}  // namespace sb::window_runner
