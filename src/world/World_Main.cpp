#include "world/World_Main.h"

#include "script/Variable_Main.h"
#include "world/Collision_Main.h"
#include "world/Event_Action.h"
#include "world/Motion_Planning.h"
#include "world/Room_Main.h"
#include "world/Run_State.h"
#include "world/TimeLine_Main.h"

namespace tavrin {

namespace {

int32_t InstanceCount() { return g_RunRoom ? g_RunRoom->InstanceCount() : 0; }
CInstanceBase* InstanceAt(int32_t pos) { return g_RunRoom ? g_RunRoom->InstanceAt(pos) : nullptr; }
int32_t ObjectInstanceCount(int32_t obj) { return g_RunRoom ? g_RunRoom->Obj_Number_Recursive(obj) : 0; }
CInstanceBase* ObjectInstanceAt(int32_t obj, int32_t pos) {
  return g_RunRoom ? g_RunRoom->Obj_Instance_Recursive(obj, pos) : nullptr;
}

}  // namespace

void World_Install() {
  g_ScriptWorld = {InstanceCount, InstanceAt, ObjectInstanceCount, ObjectInstanceAt};
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
}

}  // namespace tavrin
