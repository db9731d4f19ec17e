// Performing events: finding an event through the parent chain, running its
// action list (questions, blocks, else, repeat, exit, apply-to), the event
// context that error messages and the event_* variables show, and the tables
// that tell, per event, which objects have it.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "script/Code_Main.h"
#include "world/Object_Class.h"
#include "world/Room_Main.h"
#include "world/Run_State.h"
#include "script/Script_State.h"

namespace tavrin {

// Event types and the numbers the runner raises itself.
enum : int32_t {
  EV_CREATE = 0, EV_DESTROY = 1, EV_ALARM = 2, EV_STEP = 3, EV_COLLISION = 4, EV_KEYBOARD = 5,
  EV_MOUSE = 6, EV_OTHER = 7, EV_DRAW = 8, EV_KEYPRESS = 9, EV_KEYRELEASE = 10, EV_TRIGGER = 11,
};
enum : int32_t { EV_STEP_NORMAL = 0, EV_STEP_BEGIN = 1, EV_STEP_END = 2 };
enum : int32_t {
  EV_OUTSIDE = 0, EV_BOUNDARY = 1, EV_GAME_START = 2, EV_GAME_END = 3, EV_ROOM_START = 4, EV_ROOM_END = 5,
  EV_NO_MORE_LIVES = 6, EV_ANIMATION_END = 7, EV_END_OF_PATH = 8, EV_NO_MORE_HEALTH = 9, EV_USER0 = 10,
  EV_OUTSIDE_VIEW0 = 40, EV_BOUNDARY_VIEW0 = 50,
};

// The compiled action: the code of a code action, and every argument as a
// constant or as an expression to evaluate.
struct RActionCode {
  CCodeRef code;
  std::array<RValue, kMaxActionArguments> argvalue;
  std::array<CCodeRef, kMaxActionArguments> argcode;  // empty where the argument is a constant
};

// Compiles every object's actions ("Compiling object actions"); the first
// failure is reported and stops.
bool Object_CompileAll();
// Compiles one action list; used for objects and time-line moments.
bool Event_Compile(CEvent& event);
// Compiles a copy of one action and reports nothing: "" when it compiles,
// else the part that failed ("code action", "argument 2") with the error in
// g_ScriptState.errorText. For checking a game before it is handed out.
std::string Action_CompileError(const CAction& action);
// The library initialisation code, compiled and run once per game start.
void LibraryInit_Run();

// The event `etype`/`enumb` of object `objind`, found through its parents;
// `defining` receives the object whose list holds it. Collision events with a
// parent object also serve collisions with its children.
const CEvent* Event_Find(int32_t objind, int32_t etype, int32_t enumb, int32_t* defining = nullptr);
// Whether the object or an ancestor has any event of that type.
bool Event_HasRecursive(int32_t objind, int32_t etype);

void Event_PerformObject(CInstance* self, CInstance* other, int32_t objind, int32_t etype, int32_t enumb);
void Event_Perform(CInstance* self, CInstance* other, int32_t etype, int32_t enumb);
void Event_PerformMoment(CInstance* self, CInstance* other, int32_t timeline, const CEvent& moment, int32_t step);
// The event on every active, unmarked instance of the room, each as its own
// other, over the instances present when it starts.
void Event_PerformAll(int32_t etype, int32_t enumb);

// Builds g_World.eventObjects: per event type and number, the objects (in
// index order) that have the event directly or through a parent. Rebuilt at
// every game start and when objects change.
void Event_BuildLists();
// The objects that have event etype/enumb (empty past the table).
const std::vector<int32_t>& Event_Objects(int32_t etype, int32_t enumb);

// Calls f(instance, object) for every unmarked direct instance of each
// object that has event etype/enumb: objects in index order, instances in
// list order, each count taken as its loop starts; stops once a change of
// room is pending.
template <class F>
void Event_ForEachHolder(int32_t etype, int32_t enumb, F f) {
  for (int32_t obj : Event_Objects(etype, enumb)) {
    CRunRoom* room = g_World.room;
    if (!room || Run_ChangePending()) return;
    const int32_t n = room->Obj_Number(obj);
    for (int32_t i = 0; i < n && !Run_ChangePending(); ++i) {
      CInstance* inst = room->Obj_Instance(obj, i);
      if (inst && !inst->i_marked) f(inst, obj);
    }
  }
}

void Event_RegisterFunctions();

}  // namespace tavrin
