#include "world/World_Main.h"

#include "script/Variable_Main.h"
#include "world/Collision_Main.h"
#include "world/Event_Action.h"
#include "world/Input_State.h"
#include "world/Motion_Planning.h"
#include "world/Object_Class.h"
#include "world/Room_Class.h"
#include "world/Room_Main.h"
#include "world/Save_Game.h"
#include "world/Run_State.h"
#include "world/TimeLine_Class.h"
#include "world/TimeLine_Main.h"
#include "world/World_Data.h"

namespace tavrin {

std::string CWorldHost::ObjectName(int32_t index) {
  return g_WorldData.objects.Exists(index) ? g_WorldData.objects.Name(index) : CHost::ObjectName(index);
}
std::string CWorldHost::TimeLineName(int32_t index) {
  return g_WorldData.timeLines.Exists(index) ? g_WorldData.timeLines.Name(index) : CHost::TimeLineName(index);
}
std::string CWorldHost::TriggerName(int32_t index) {
  return g_WorldData.triggers.Exists(index) ? g_WorldData.triggers.Name(index) : CHost::TriggerName(index);
}

// A fatal error, or the player's choice to abort, ends the game after the step.
void CWorldHost::RequestAbort() { g_World.newRoom = CHANGE_ABORT; }
std::string CWorldHost::KeyName(int32_t key) { return Key_Name(key); }
std::string CWorldHost::MouseEventName(int32_t number) { return Mouse_EventName(number); }
void CWorldHost::ClearInput() { IO_ClearAll(); }

bool CWorldHost::RoomName(std::string_view name, double& index) {
  const int32_t i = g_WorldData.rooms.Find(std::string(name));
  if (i < 0) return false;
  index = i;
  return true;
}

// A trigger's constant name stands for the trigger's index.
bool CWorldHost::TriggerConstant(std::string_view name, double& value) {
  for (int32_t i = 0; i < g_WorldData.triggers.Count(); ++i) {
    const CTrigger* t = g_WorldData.triggers.Get(i);
    if (t && !t->i_constname.empty() && t->i_constname == name) {
      value = i;
      return true;
    }
  }
  return false;
}

int32_t CWorldHost::InstanceCount() { return g_World.room ? g_World.room->InstanceCount() : 0; }
CInstanceBase* CWorldHost::InstanceAt(int32_t pos) { return g_World.room ? g_World.room->InstanceAt(pos) : nullptr; }
int32_t CWorldHost::ObjectInstanceCount(int32_t obj) { return g_World.room ? g_World.room->Obj_Number_Recursive(obj) : 0; }
CInstanceBase* CWorldHost::ObjectInstanceAt(int32_t obj, int32_t pos) {
  return g_World.room ? g_World.room->Obj_Instance_Recursive(obj, pos) : nullptr;
}

void World_ResolveActionFunctions() {
  auto resolve = [](CEvent& event) {
    for (CAction& action : event.e_actions)
      if (action.act_exetype == ACT_EXE_FUNCTION)
        action.act_functionid = Host().ResolveActionFunction(action.act_functionname);
  };
  for (int32_t t = 0; t < g_WorldData.timeLines.Count(); ++t)
    if (CTimeLine* line = g_WorldData.timeLines.Get(t))
      for (auto& [step, moment] : line->s_moments) resolve(moment);
  for (int32_t o = 0; o < g_WorldData.objects.Count(); ++o)
    if (CObject* object = g_WorldData.objects.Get(o))
      for (auto& events : object->o_events)
        for (auto& [number, event] : events) resolve(event);
}

void World_Install() {
  Motion_RegisterFunctions();
  Path_RegisterFunctions();
  Event_RegisterFunctions();
  Instance_RegisterFunctions();
  Collision_RegisterFunctions();
  TimeLine_RegisterFunctions();
  Variable_RegisterWorld();
  Tile_RegisterFunctions();
  Potential_RegisterFunctions();
  Grid_RegisterFunctions();
  SaveGame_RegisterFunctions();
}

}  // namespace tavrin
