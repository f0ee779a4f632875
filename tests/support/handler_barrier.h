// The window's exception barrier for the tests of the portable handlers: a handler runs as
// BaseWindow::WindowProc runs it, and what it throws is reported as the window reports it.
#pragma once

#include <exception>

#include "ports/dialogs.h"
#include "ui/exception_report.h"

namespace sb::test {

// Runs one event handler. Returns false when it threw; the error has then been reported.
template <typename Handler>
bool RunHandler(Dialogs& dialogs, Handler&& handler) noexcept {
  try {
    handler();
    return true;
  } catch (...) {
    ReportException(dialogs, std::current_exception());
    return false;
  }
}

}  // namespace sb::test
