#include "platform/Platform_Quit.h"

#include <initializer_list>

namespace tavrin {

volatile std::sig_atomic_t g_QuitRequest = 0;

namespace {
extern "C" void OnQuitSignal(int) { g_QuitRequest = 1; }
}  // namespace

void Quit_InstallSignalHandlers() {
  struct sigaction action {};
  action.sa_handler = OnQuitSignal;
  sigemptyset(&action.sa_mask);
  // Without SA_RESTART a sleeping wait wakes at once.
  action.sa_flags = 0;
  for (int s : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) sigaction(s, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace tavrin
