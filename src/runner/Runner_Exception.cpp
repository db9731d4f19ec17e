#include "runner/Runner_Exception.h"

#include <execinfo.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/Platform.h"
#include "platform/Platform_Trace.h"

namespace tavrin {

std::string Exception_StackTrace() {
  void* frames[64];
  const int n = ::backtrace(frames, 64);
  char** names = ::backtrace_symbols(frames, n);
  std::string text;
  for (int i = 1; i < n; ++i) {  // frame 0 is this function
    text += names ? names[i] : "?";
    if (i + 1 < n) text += '\n';
  }
  std::free(names);
  return text;
}

std::string Exception_Text(const std::exception_ptr& e) {
  try {
    std::rethrow_exception(e);
  } catch (const std::exception& x) {
    return x.what();
  } catch (...) {
    return "unknown exception";
  }
}

void VXExceptionHandler(const std::string& text, const std::string& stack) {
  WriteTrace("Unhandled Exception - " + text);
  WriteTrace("Stack Trace");
  WriteTrace(stack);
  if (Platform_Installed()) Platform().MessageBox(text, EButtons::Ok, EBoxIcon::Error);
  else std::fprintf(stderr, "%s\n", text.c_str());
}

namespace {

[[noreturn]] void OnTerminate() {
  const std::exception_ptr e = std::current_exception();
  VXExceptionHandler(e ? Exception_Text(e) : "terminate called", Exception_StackTrace());
  std::_Exit(2);
}

#ifndef TAVRIN_SANITIZE
void OnCrashSignal(int signal) {
  // Best effort only: the process is already broken. The report goes to
  // standard error and the trace log, then the signal ends the process.
  const char* name = strsignal(signal);
  std::fprintf(stderr, "tavrin: Unhandled Exception - %s\nStack Trace\n", name ? name : "signal");
  void* frames[64];
  const int n = ::backtrace(frames, 64);
  ::backtrace_symbols_fd(frames, n, STDERR_FILENO);
  WriteTrace(std::string("Unhandled Exception - ") + (name ? name : "signal"));
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}
#endif

}  // namespace

void Exception_Install() {
  std::set_terminate(OnTerminate);
#ifndef TAVRIN_SANITIZE
  for (int s : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) std::signal(s, OnCrashSignal);
#endif
}

}  // namespace tavrin
