// Views that do nothing, so a benchmark times the routine and not the screen.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "ui/view.h"

namespace sb::bench {

class NoopListView final : public DiskListView {
 public:
  void Clear() override { rows_ = 0; }
  std::size_t AppendRow() override { return rows_++; }
  void SetCaption(std::size_t, const Text&) override {}
  void AddSubItem(std::size_t, const Text&) override {}
  std::size_t RowCount() const override { return rows_; }
  std::optional<std::size_t> Selected() const override { return std::nullopt; }
  Text Caption(std::size_t) const override { return Text(); }
  void Select(std::size_t) override {}
  void Focus() override {}

 private:
  std::size_t rows_ = 0;
};

class NoopLines final : public Lines {
 public:
  void Clear() override { count_ = 0; }
  void Add(const Text&) override { ++count_; }
  std::size_t count() const { return count_; }

 private:
  std::size_t count_ = 0;
};

class NoopDialogs final : public Dialogs {
 public:
  void ShowMessage(const Text&) override { ++shown_; }
  int MessageBox(Owner, const Text&, const Text&, std::uint32_t) override { return 1; }
  int MessageBoxA(Owner, const std::string&, const std::string&, std::uint32_t) override {
    return 1;
  }
  int shown() const { return shown_; }

 private:
  int shown_ = 0;
};

}  // namespace sb::bench
