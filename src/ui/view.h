// What the handlers of the windows need from the screen.
//
// The Win32 windows implement these interfaces; tests implement them with a recording
// fake. The handlers' logic (MainForm) talks to nothing else of the user interface. The
// message boxes and a text box's lines are the output ports of ports/, which the disk and
// volume routines report through as well.
#pragma once

#include <cstddef>
#include <optional>

#include "platform/text.h"
#include "ports/dialogs.h"
#include "ports/lines.h"

namespace sb {

// The disk list, lvdisks.
class DiskListView {
 public:
  virtual ~DiskListView() = default;
  virtual void Clear() = 0;
  // Around a refill: the list need not be redrawn for every row and cell added.
  virtual void BeginUpdate() {}
  virtual void EndUpdate() {}
  virtual std::size_t AppendRow() = 0;
  virtual void SetCaption(std::size_t row, const Text& caption) = 0;
  virtual void AddSubItem(std::size_t row, const Text& text) = 0;
  virtual std::size_t RowCount() const = 0;
  virtual std::optional<std::size_t> Selected() const = 0;
  virtual Text Caption(std::size_t row) const = 0;
  // Selects the row as a click would, so the selection handler runs.
  virtual void Select(std::size_t row) = 0;
  virtual void Focus() = 0;
};

// The main window as its handlers see it.
class MainView : public Dialogs {
 public:
  virtual DiskListView& lvdisks() = 0;
  virtual void SetStatusText(const Text& text) = 0;
  virtual void EnableButtons() = 0;
  // Lets every pending window message of the thread run.
  virtual void ProcessMessages() = 0;
  // Creates a new Properties window owned by the main window, captions it, shows it
  // (not modally) and returns the lines of its text box.
  virtual Lines& OpenProperties(const Text& caption) = 0;
};

}  // namespace sb
