#include "runner/Run_Main.h"

#include "platform/Platform_Trace.h"

namespace tavrin {

namespace {
bool g_running = false;
int g_exitStatus = 0;
}  // namespace

// Rooms, instances and the step sequence are not built yet: a package has no
// rooms to play, so the game ends as soon as it starts.
void RunMain() {
  g_running = true;
  WriteTrace("Main loop: no rooms to play; the game ends");
  g_running = false;
}

bool Run_IsRunning() { return g_running; }
int Run_ExitStatus() { return g_exitStatus; }

}  // namespace tavrin
