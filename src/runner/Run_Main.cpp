#include "runner/Run_Main.h"

#include "platform/Platform_Trace.h"

namespace tavrin {

namespace {
bool g_running = false;
int g_exitStatus = 0;
}  // namespace

// Instances and the step sequence are not built yet: the rooms cannot be
// played, so the game ends as soon as it starts.
void RunMain() {
  g_running = true;
  WriteTrace("Main loop: rooms cannot be played yet; the game ends");
  g_running = false;
}

bool Run_IsRunning() { return g_running; }
int Run_ExitStatus() { return g_exitStatus; }

}  // namespace tavrin
