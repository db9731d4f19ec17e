#include "runner/Run_Main.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>
#include <ctime>
#include <string>

#include "graphics/Graphics_Display.h"
#include "graphics/Graphics_Surface.h"
#include "platform/Platform.h"
#include "platform/Platform_Answers.h"
#include "platform/Platform_Quit.h"
#include "platform/Platform_Trace.h"
#include "runner/Run_Painter.h"
#include "runner/Run_Transition.h"
#include "runner/Runner_Exception.h"
#include "runner/Runner_Frame.h"
#include "runner/Runner_Keys.h"
#include "runner/Runner_Replay.h"
#include "script/Code_Error.h"
#include "script/Code_Function.h"
#include "script/Code_Random.h"
#include "script/Variable_Main.h"
#include "sound/Sound_Main.h"
#include "world/Collision_Index.h"
#include "world/Collision_Main.h"
#include "world/Event_Action.h"
#include "world/Input_State.h"
#include "world/Motion_Main.h"
#include "world/Room_Draw.h"
#include "world/Room_Main.h"
#include "world/Run_State.h"
#include "world/Save_Game.h"
#include "world/TimeLine_Main.h"

namespace tavrin {

namespace {

RRunConfig g_Config;
bool g_Running = false;
bool g_Paused = false;
int64_t g_StepsDone = 0;

// --- the clock ---
int64_t g_ClockBase = 0;
int64_t g_FixedNow = 0;  // the clock of --fixed-clock runs

int64_t RawMicroseconds() {
  if (Platform_Installed()) return Platform().Clock_Microseconds();
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Window messages, and the events the game or a replay put into the input
// stream.
void Pump() { IO_ProcessMessages(); }

// Sleeps in short slices, so that a quit request ends a long wait at once.
void SleepMilliseconds(int64_t ms) {
  constexpr int64_t kSlice = 20;
  for (int64_t left = ms; left > 0 && !Quit_Requested(); left -= kSlice) {
    const int64_t slice = std::min(left, kSlice);
    if (Platform_Installed())
      Platform().Sleep_Microseconds(slice * 1000);
    else
      std::this_thread::sleep_for(std::chrono::milliseconds(slice));
  }
}

// --- the step ---

void ForEachInstance(CRunRoom& room, void (*f)(CInstance&)) {
  const int32_t n = room.InstanceCount();
  for (int32_t i = 0; i < n; ++i)
    if (CInstance* inst = room.InstanceAt(i)) f(*inst);
}

// The triggers of moment m, then the step event m.
void RaiseTriggersAndStep(int32_t m) {
  Trigger_RaiseAll(m);
  Event_ForEachHolder(EV_STEP, m, [m](CInstance* inst, int32_t obj) {
    Event_PerformObject(inst, inst, obj, EV_STEP, m);
  });
}

// An alarm counts down only on instances whose object (or an ancestor) has
// that alarm event; it fires when it reaches 0, so an alarm set to 0 never
// fires and one set to 1 fires in the next step.
void Alarms() {
  for (int32_t alarm = 0; alarm < kAlarmCount; ++alarm) {
    Event_ForEachHolder(EV_ALARM, alarm, [alarm](CInstance* inst, int32_t) {
      int32_t& timer = inst->i_timer[size_t(alarm)];
      if (timer >= 0 && --timer == 0) Event_Perform(inst, inst, EV_ALARM, alarm);
    });
  }
}

// Every instance moves, those already destroyed in this step included:
// friction and gravity, then a step along its path (the end-of-path event
// comes at once, except to destroyed instances), then its own speed.
void Motion(CRunRoom& room) {
  ForEachInstance(room, [](CInstance& inst) {
    inst.AdaptSpeed();
    if (inst.AdaptPath() && !inst.i_marked) Event_Perform(&inst, &inst, EV_OTHER, EV_END_OF_PATH);
    if (inst.i_hspeed != 0 || inst.i_vspeed != 0) inst.SetPosition(inst.i_x + inst.i_hspeed, inst.i_y + inst.i_vspeed);
  });
}

// The room as the renderer orders it (views first follow their instances,
// then layers, tiles, instances by their draw events or sprites, the cursor)
// through the painter of the running game; then the window caption.
void DrawRoom() {
  CRunRoom* room = g_World.room;
  if (!room) return;
  Room_Draw(Run_Painter(), g_World.game.cursor_sprite, g_World.cursorImage);
  if (g_World.room == room) Frame_ShowCaption(*room);
}

void ScrollBackgrounds(CRunRoom& room) {
  for (CBack& b : room.r_background) {
    b.x += b.hspeed;
    b.y += b.vspeed;
  }
}

void Animate(CRunRoom& room) {
  const int32_t n = room.InstanceCount();
  for (int32_t i = 0; i < n; ++i) {
    CInstance* inst = room.InstanceAt(i);
    if (!inst) continue;
    inst->i_imageindex += inst->i_imagespeed;
    const int32_t images = inst->ImageNumber();
    if (std::floor(inst->i_imageindex) >= images) {
      inst->i_imageindex -= images;
      if (!inst->i_marked) Event_Perform(inst, inst, EV_OTHER, EV_ANIMATION_END);
    }
  }
}

void DoStep() {
  if (CRunRoom* room = g_World.room) {
    ForEachInstance(*room, [](CInstance& inst) {
      inst.i_xprevious = inst.i_x;
      inst.i_yprevious = inst.i_y;
      inst.SetPathPositionPrevious(inst.i_pathposition);
    });
  }
  Handle_Runner_Keys();
  // Keys and buttons held while another window has the focus are not the
  // game's to see.
  if (!g_Input.windowActive) IO_ClearAll();
  RaiseTriggersAndStep(EV_STEP_BEGIN);
  if (Run_ChangePending()) return;
  TimeLine_AdvanceAll();
  if (Run_ChangePending()) return;
  Alarms();
  if (Run_ChangePending()) return;
  Handle_Keyboard_Events();
  if (Run_ChangePending()) return;
  Handle_Joystick_Events();
  if (Run_ChangePending()) return;
  Handle_Mouse_Events();
  if (Run_ChangePending()) return;
  RaiseTriggersAndStep(EV_STEP_NORMAL);
  if (Run_ChangePending() || !g_World.room) return;
  Motion(*g_World.room);
  Motion_BoundaryEvents();
  if (Run_ChangePending() || !g_World.room) return;
  Collision_HandleEvents();
  if (Run_ChangePending() || !g_World.room) return;
  RaiseTriggersAndStep(EV_STEP_END);
  if (Run_ChangePending() || !g_World.room) return;
  CRunRoom& room = *g_World.room;
  room.RemoveMarked();
  if (g_World.automaticDraw) DrawRoom();
  ScrollBackgrounds(room);
  Animate(room);
  ++g_World.cursorImage;
}

// --- starting and ending ---

void StartGame() {
  Event_BuildLists();
  Collision_BuildPairs();
  g_ScriptState.ResetGlobals();
  g_World.game.score = 0;
  g_World.game.lives = -1;
  g_World.game.cursor_sprite = -1;
  g_World.game.transition_kind = 0;
  g_World.cursorImage = 0;
  if (g_Config.seed)
    Random_SetSeed(*g_Config.seed);
  else
    Random_Randomize();
  LibraryInit_Run();
  Room_FreeAll();
  g_World.newRoom = CHANGE_NONE;
  Room_Goto(Room_First(), true);
}

void EndGame() {
  Room_Leave(true);
  Room_FreeAll();
}

// The desktop asking the program to quit is a quit request like a signal:
// the game ends as if it had ended itself. So is closing a window of the
// runner's before the game window is there; the game window's own events
// (its close button included) are the input's.
void HandlePlatformEvent(const RPlatformEvent& e) {
  const bool gameWindow = g_Display.window != 0 && e.window == g_Display.window;
  if (e.type == RPlatformEvent::Quit || (e.type == RPlatformEvent::WindowClose && !gameWindow))
    Quit_Request();
  else
    Input_HandleEvent(e);
}

// Something the runner could not handle (memory ran out in a game's event,
// say) escaped the game's code: what it was doing cannot be trusted to
// repeat, so the game ends as after a fatal error, with its clean-up.
void AbortAfterException() {
  Error_Report("Unexpected error occurred when running the game: " + Exception_Text(std::current_exception()), true);
  g_World.newRoom = CHANGE_ABORT;
  g_Running = false;
}

}  // namespace

void Run_LoadGame(const std::string& fname) {
  if (!LoadGame(fname)) return;
  // The loaded room takes the window as entering it would; nothing of the
  // room's own runs.
  Frame_FitRegion(*g_World.room);
  Frame_ShowCaption(*g_World.room);
}

namespace {

// Serves the pending change; true when the game has stopped.
bool ServeChange() {
  if (Quit_Requested()) {
    // Taken here, so that the game's end events run; a second request stops
    // them too.
    Quit_Clear();
    if (g_World.newRoom != CHANGE_ABORT) g_World.newRoom = CHANGE_END;
  }
  const int32_t code = g_World.newRoom;
  switch (code) {
    case CHANGE_NONE: return false;
    case CHANGE_END:
    case CHANGE_ABORT: g_Running = false; return true;
    case CHANGE_LOAD:
      g_World.newRoom = CHANGE_NONE;
      Run_LoadGame(g_World.loadFileName);
      return false;
    case CHANGE_RESTART:
      EndGame();
      if (g_World.newRoom == CHANGE_ABORT) {
        g_Running = false;
        return true;
      }
      // Cleared before the new start, so its create and room-start events
      // run, and a restart cannot repeat itself forever.
      g_World.newRoom = CHANGE_NONE;
      StartGame();
      return false;
    default:
      Room_Change(code);
      Transition_Cancel();  // prepared, but the new room was not drawn
      return false;
  }
}

void Loop() {
  if (ServeChange()) return;
  Run_ResetClock();
  int64_t t = Run_Microseconds(), s = t;
  int32_t count = 0;
  g_World.fps = 0;
  Pump();
  while (g_Running && !g_Paused) {
    try {
      // What a replay plays before this step arrives now, as the player's
      // keys would have between the steps.
      Replay_Feed(g_StepsDone + 1);
      Pump();
      DoStep();
      IO_ClearStep();
      ++g_StepsDone;
      Surface_TickDepthBuffers();
      // A step that asked for no change shows its frame, the last step of a
      // run limited by --steps included.
      const bool show = !Run_ChangePending() && g_World.automaticDraw;
      // The last step allowed ends the game, whatever room change or restart
      // the game asked for in it; only an abort after an error stands.
      const bool last = g_Config.steps >= 0 && g_StepsDone >= g_Config.steps;
      if (last && g_World.newRoom != CHANGE_ABORT) g_World.newRoom = CHANGE_END;
      if (!last) {
        const int64_t now = Run_Microseconds();
        if (now < t) t = now;
        int32_t speed = 30;
        if (g_World.room) {
          if (g_World.room->r_speed < 1) g_World.room->r_speed = 1;
          speed = g_World.room->r_speed;
        }
        const int64_t wait = std::clamp<int64_t>(1000000 / speed - (now - t), 0, 1000000);
        Run_WaitMicroseconds(wait);
        t = now + wait;
        if (t < s) s = t;
        if (t / 1000000 > s / 1000000) {
          g_World.fps = count;
          count = 0;
          s = t;
        }
        ++count;
      }
      // The step is heard up to its end (headless runs render it now).
      Sample_Update(Run_Microseconds());
      if (show) Frame_Present(g_StepsDone, true);
      if (ServeChange()) return;
      Pump();
    } catch (...) {
      AbortAfterException();
      return;
    }
  }
}

void F_Sleep(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RValue* a) {
  Run_WaitMicroseconds(Real_ToInt64(a[0].AsReal() * 1000));
}

// The action waits the same way, after showing the room when asked to, so
// that the player sees what the game paused on.
void A_Sleep(CInstanceBase* self, CInstanceBase* other, int32_t argc, RValue& r, RValue* a) {
  if (argc > 1 && Value_IsTrue(a[1])) {
    DrawRoom();
    Frame_Present(g_StepsDone, false);
  }
  F_Sleep(self, other, argc, r, a);
}

// Milliseconds since the system started; in fixed-clock runs the step clock,
// so that the time games read repeats exactly too.
bool GetCurrentTime(CInstanceBase*, int32_t, RValue& v) {
  if (g_Config.fixedClock) {
    v.SetReal(double(g_FixedNow / 1000));
  } else {
    timespec ts{};
    clock_gettime(CLOCK_BOOTTIME, &ts);
    v.SetReal(double(ts.tv_sec) * 1000.0 + double(ts.tv_nsec / 1000000));
  }
  return true;
}

}  // namespace

void Run_Configure(const RRunConfig& config) {
  g_Config = config;
  g_World.useSpatialIndex = !config.plainCollisions;
}

void Run_ResetClock() { g_ClockBase = g_Config.fixedClock ? g_FixedNow : RawMicroseconds(); }

int64_t Run_Microseconds() { return (g_Config.fixedClock ? g_FixedNow : RawMicroseconds()) - g_ClockBase; }

void Run_WaitMicroseconds(int64_t d) {
  if (d <= 0) return;
  if (g_Config.fixedClock) {
    g_FixedNow += d;
    Pump();
    return;
  }
  const int64_t start = Run_Microseconds(), end = start + d;
  if (d >= 2000) SleepMilliseconds((d - 1000) / 1000);
  for (int64_t now = Run_Microseconds(); start <= now && now < end && !Quit_Requested(); now = Run_Microseconds())
    Pump();
}

void Run_RoomEntered() {
  if (g_World.room) Frame_FitRegion(*g_World.room);
  if (g_Running && g_World.room) {
    DrawRoom();
    if (Transition_Pending())
      Transition_Play(g_World.game.transition_steps, g_StepsDone);
    else
      Frame_Present(g_StepsDone, false);
  }
}

void Run_DrawRoom() { DrawRoom(); }

void RunMain() {
  if (Platform_Installed()) Platform().SetEventHandler(HandlePlatformEvent);
  g_Paused = false;
  try {
    if (!g_Running) {
      g_Running = true;
      g_StepsDone = 0;
      StartGame();
    }
    g_Running = true;
    Loop();
  } catch (...) {
    AbortAfterException();
  }
  if (g_Running) return;
  try {
    EndGame();
  } catch (...) {
    AbortAfterException();
  }
}

bool Run_IsRunning() { return g_Running; }
// An answer of the answers file that did not fit its window ends the run as
// a failure to run at all: the test that gave it is wrong.
int Run_ExitStatus() {
  if (Answers_Refused()) return 1;
  return Error_Aborting() || g_World.newRoom == CHANGE_ABORT ? 2 : 0;
}

void Run_RegisterFunctions() {
  static const RFunctionRoutine kRoutines[] = {
      {"sleep", F_Sleep},
      {"action_sleep", A_Sleep},
  };
  Function_ImplementTable(kRoutines);
  Transition_RegisterFunctions();
  Display_SetRoomDrawer(DrawRoom);
  Variable_BuiltinImplement("current_time", GetCurrentTime, nullptr);
}

}  // namespace tavrin
