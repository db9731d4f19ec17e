// The last-chance handler: an exception (or a crash signal) that nothing else
// caught is written to the trace log with a stack trace and shown to the
// player, so that a failing game always says why.
#pragma once

#include <exception>
#include <string>

namespace tavrin {

// The current stack, one frame per line.
std::string Exception_StackTrace();
// Traces "Unhandled Exception - <text>", "Stack Trace" and the stack, then
// shows the text in an error box.
void VXExceptionHandler(const std::string& text, const std::string& stack);
// The text of an exception in flight (for use inside a catch block).
std::string Exception_Text(const std::exception_ptr& e);
// Installs the terminate handler and the crash-signal handlers.
void Exception_Install();

}  // namespace tavrin
