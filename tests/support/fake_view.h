// A recording stand-in for the main window and its Properties windows.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/platform.h"
#include "ui/view.h"

namespace sb::test {

// Tests compare ASCII texts, so they read the same in both text widths.
inline std::string A(const Text& text) {
  return TextToAscii(text);
}

class FakeView : public MainView, public DiskListView {
 public:
  struct Row {
    std::string caption;
    std::vector<std::string> subitems;
  };
  struct Box {
    Owner owner;
    bool single_byte;  // shown with MessageBoxA
    std::string text;
    std::string caption;
    std::uint32_t type;
  };
  struct PropertiesWindow : Lines {
    std::string caption;
    std::vector<std::string> lines;
    void Clear() override { lines.clear(); }
    void Add(const Text& line) override { lines.push_back(A(line)); }
  };

  // --- What the user sees ---
  std::vector<Row> rows;
  std::optional<std::size_t> selected;
  bool list_focused = false;
  int buttons_enabled = 0;  // how often the buttons were enabled
  std::string status;
  std::vector<std::string> messages;  // the application's message dialog
  std::vector<Box> boxes;             // system message boxes
  std::vector<std::unique_ptr<PropertiesWindow>> properties;
  // Everything in the order it happened: "status: ...", "message: ...", "box: ...",
  // "refresh", "process messages", "properties: ...".
  std::vector<std::string> events;

  // Answers the next boxes give; IDYES (or IDOK) when none is queued.
  std::deque<int> answers;
  // Runs when the handler lets pending messages run (deliver device notices here).
  std::function<void()> on_process_messages;
  // Runs when a row is selected (the selection handler of the main window).
  std::function<void()> on_select;
  // The Properties window cannot be created: OpenProperties throws, as the window does.
  bool refuse_properties = false;

  // --- MainView ---
  DiskListView& lvdisks() override { return *this; }
  void SetStatusText(const Text& text) override {
    status = A(text);
    events.push_back("status: " + status);
  }
  void EnableButtons() override { ++buttons_enabled; }
  void ProcessMessages() override {
    events.push_back("process messages");
    if (on_process_messages) on_process_messages();
  }
  Lines& OpenProperties(const Text& caption) override {
    if (refuse_properties) throw Error(SB_T("Error creating window handle."));
    properties.push_back(std::make_unique<PropertiesWindow>());
    properties.back()->caption = A(caption);
    events.push_back("properties: " + properties.back()->caption);
    return *properties.back();
  }
  void ShowMessage(const Text& text) override {
    messages.push_back(A(text));
    events.push_back("message: " + messages.back());
  }
  int MessageBox(Owner owner, const Text& text, const Text& caption, std::uint32_t type) override {
    return Record({owner, !kWideText, A(text), A(caption), type});
  }
  int MessageBoxA(Owner owner, const std::string& text, const std::string& caption,
                  std::uint32_t type) override {
    return Record({owner, true, text, caption, type});
  }

  // --- DiskListView ---
  void Clear() override {
    rows.clear();
    selected.reset();
    events.push_back("refresh");
  }
  std::size_t AppendRow() override {
    rows.push_back({});
    return rows.size() - 1;
  }
  void SetCaption(std::size_t row, const Text& caption) override {
    rows.at(row).caption = A(caption);
  }
  void AddSubItem(std::size_t row, const Text& text) override {
    rows.at(row).subitems.push_back(A(text));
  }
  std::size_t RowCount() const override { return rows.size(); }
  std::optional<std::size_t> Selected() const override { return selected; }
  Text Caption(std::size_t row) const override { return AsciiToText(rows.at(row).caption); }
  void Select(std::size_t row) override {
    selected = row;
    if (on_select) on_select();
  }
  void Focus() override { list_focused = true; }

  // The rows as "caption|Type|Name|Size|Attributes" lines.
  std::vector<std::string> RowTexts() const {
    std::vector<std::string> texts;
    for (const auto& row : rows) {
      std::string text = row.caption;
      for (const auto& item : row.subitems) text += "|" + item;
      texts.push_back(text);
    }
    return texts;
  }

 private:
  int Record(Box box) {
    boxes.push_back(box);
    events.push_back("box: " + box.caption + ": " + box.text);
    if (answers.empty()) return (box.type & 0xF) == win::kMbYesNo ? win::kIdYes : win::kIdOk;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

}  // namespace sb::test
