// The main window: the disk list, the four command buttons and the status bar.
#pragma once

#include "platform/win32/win32_api.h"

#include <iterator>
#include <vector>

#include "platform/platform.h"
#include "ui/main_form.h"
#include "ui/view.h"
#include "ui/win32/base_window.h"
#include "ui/win32/message_dialogs.h"
#include "ui/win32/ui_handles.h"
#include "volumes/volume_table.h"

namespace sb {

class TfrmMain final : public BaseWindow<TfrmMain>, public MainView, private DiskListView {
 public:
  static constexpr int kClientWidth = 407;
  static constexpr int kClientHeight = 276;
  static constexpr int kPanelHeight = 61;
  static constexpr int kStatusBarHeight = 19;
  // The window class, so that tests and tools can find the window.
  static constexpr const TCHAR* kClassName = TEXT("TfrmMain");

  // Control identifiers, so that tests and tools can find the controls.
  enum : int {
    kIdList = 100,
    kIdStatusBar = 101,
    kIdPanel = 102,
    // A button of Panel1 is kIdButtonBase + its number in kCommandButtons.
    kIdButtonBase = 200,
    kIdButton2 = kIdButtonBase + 2,
    kIdButton3 = kIdButtonBase + 3,
    kIdButton4 = kIdButtonBase + 4,
    kIdButton5 = kIdButtonBase + 5,
    kIdShowDiskPartInformations1 = 301,
    kIdRefresh1 = 302,
  };

  TfrmMain(HINSTANCE instance, Platform& platform, VolumeTable& volume_table);
  ~TfrmMain() override;
  TfrmMain(const TfrmMain&) = delete;
  TfrmMain& operator=(const TfrmMain&) = delete;

  static constexpr int ButtonId(const CommandButton& button) {
    return kIdButtonBase + button.number;
  }

  static bool RegisterClasses(HINSTANCE instance);
  bool Create();
  HFONT font() const { return font_.get(); }

  // --- MainView ---
  DiskListView& lvdisks() override { return *this; }
  void SetStatusText(const Text& text) override;
  void EnableButtons() override;
  void ProcessMessages() override;
  Lines& OpenProperties(const Text& caption) override;
  void ShowMessage(const Text& text) override;
  int MessageBox(Owner owner, const Text& text, const Text& caption, std::uint32_t type) override;
  int MessageBoxA(Owner owner, const std::string& text, const std::string& caption,
                  std::uint32_t type) override;

 private:
  friend class BaseWindow<TfrmMain>;

  // --- DiskListView over the list-view control ---
  void Clear() override;
  void BeginUpdate() override;
  void EndUpdate() override;
  std::size_t AppendRow() override;
  void SetCaption(std::size_t row, const Text& caption) override;
  void AddSubItem(std::size_t row, const Text& text) override;
  std::size_t RowCount() const override;
  std::optional<std::size_t> Selected() const override;
  Text Caption(std::size_t row) const override;
  void Select(std::size_t row) override;
  void Focus() override;
  void SetCellText(std::size_t row, int column, const Text& text);

  static LRESULT CALLBACK PanelProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) noexcept;
  // --- BaseWindow ---
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void OnDetached() {}
  Dialogs& dialogs() { return *this; }

  bool CreateControls();
  void Layout();
  LRESULT OnNotify(const NMHDR& header, LPARAM lparam);
  void OnCommand(int id);
  void ShowPopupMenu(LPARAM position);
  LRESULT OnDeviceChange(WPARAM wparam, LPARAM lparam);

  HINSTANCE instance_;
  MainForm form_;
  MessageDialogs dialogs_;
  UniqueFont font_;
  HWND list_ = nullptr;                            // lvdisks
  HWND status_bar_ = nullptr;                      // StatusBar1
  HWND panel_ = nullptr;                           // Panel1
  HWND buttons_[std::size(kCommandButtons)] = {};  // Button2 to Button5
  UniqueMenu popup_;                               // PopupMenu1
  bool shown_ = false;
  std::vector<int> next_sub_item_;  // per row: the column the next sub-item goes to
};

// The main window.
// One of the program's three named globals (frmMain, frmproperties, VolumeList).
// NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables)
extern TfrmMain* frmMain;

}  // namespace sb
