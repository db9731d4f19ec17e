// Start-up and shutdown: the runner's windows, the start timer, and the four
// phases that turn a package into a running game and back into a clean exit:
// load, prepare, run, finish.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "package/Option_Main.h"
#include "platform/Platform.h"
#include "runner/Runner_Load.h"

namespace tavrin {

// The windows created at start, in this order. Only the runner window and,
// while loading, the load window are ever shown by start-up itself.
enum class ERunnerWindow { Runner, Help, Debug, Score, Splash, Load, Message, Particle, Error, Count };
const char* Runner_WindowName(ERunnerWindow window);

// One phase of preparing the game.
struct RPreparePhase {
  int percent;
  const char* text;     // shown before the phase runs
  const char* failure;  // the message when it fails; null: fail silently
  std::function<bool()> run;
};

// The phases in their fixed order, ending with graphics.
std::vector<RPreparePhase> Runner_PreparePhases();
// Runs the phases, reporting each to `progress`, then "Ready". The first
// failure shows its message and stops.
bool PrepareGame(IPackageLoadListener& progress, const std::vector<RPreparePhase>& phases);

// The display mode the settings ask for; zero fields mean no change.
RDisplayMode Runner_TargetMode(const RGameSettings& settings);
// Display mode, colour depth and the graphics device, as far as they exist.
bool PrepareGraphics();
// Process priority from opt_priority (0 normal, 1 high, 2 highest).
void Runner_SetPriority(int level);

// The runner window with its two timers, and the game it plays.
class CRunnerForm {
 public:
  explicit CRunnerForm(std::string gameFile);
  ~CRunnerForm();
  // Runs the message loop until the game is over; returns the exit status.
  int Run();

 private:
  void StartTimerTimer();
  void EndTimerTimer();
  bool RunGame();
  bool LoadGameData();
  void FinishGame();

  std::string m_gameFile;
  WindowId m_windows[int(ERunnerWindow::Count)] = {};
  std::unique_ptr<CLoadWindow> m_load;
  TimerId m_startTimer = 0, m_endTimer = 0;
  int m_exitStatus = 1;
};

}  // namespace tavrin
