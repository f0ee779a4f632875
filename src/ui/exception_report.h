// The last line of defence of every window: what a handler lets out is shown to the user in
// the application's message dialog (the program's title, the message, an OK button), and
// goes no further: the window goes on with its next message.
#pragma once

#include <exception>

#include "platform/text.h"
#include "ports/dialogs.h"

namespace sb {

// The text the user is shown for a caught exception: the message of the program's own
// errors, the what() of other standard exceptions, a fixed text for anything else.
Text ExceptionText(const std::exception_ptr& error) noexcept;

// Shows the exception in the application's message dialog. Never throws: a report that
// fails itself is dropped.
void ReportException(Dialogs& dialogs, const std::exception_ptr& error) noexcept;

}  // namespace sb
