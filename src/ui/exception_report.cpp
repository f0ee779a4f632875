#include "ui/exception_report.h"

#include "platform/error.h"

namespace sb {

Text ExceptionText(const std::exception_ptr& error) noexcept {
  if (!error) return SB_T("Unknown error.");
  try {
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& caught) {
      return MessageOf(caught);
    } catch (...) {
      return SB_T("Unknown error.");
    }
  } catch (...) {
    // Not even the text could be made (no memory): an empty text still shows a box.
    return Text();
  }
}

void ReportException(Dialogs& dialogs, const std::exception_ptr& error) noexcept {
  try {
    dialogs.ShowMessage(ExceptionText(error));
  } catch (...) {
    // The dialog itself failed; there is nobody left to tell.
  }
}

}  // namespace sb
