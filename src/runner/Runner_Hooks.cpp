#include "runner/Runner_Hooks.h"

#include "functions/Function_Date.h"
#include "functions/Function_IncludedFiles.h"
#include "functions/Function_Math.h"
#include "functions/Function_System.h"
#include "functions/Support_Data_Structures.h"
#include "graphics/Background_Class.h"
#include "graphics/Font_Class.h"
#include "graphics/Sprite_Class.h"
#include "platform/Platform.h"
#include "script/Code_Builtins.h"
#include "script/Code_Constant.h"
#include "script/Code_Error.h"
#include "script/Code_Function.h"
#include "sound/Sound_Class.h"
#include "world/Object_Class.h"
#include "world/Path_Class.h"
#include "world/Room_Class.h"
#include "world/TimeLine_Class.h"
#include "world/Run_State.h"
#include "world/World_Main.h"
#include "runner/Run_Main.h"

namespace tavrin {

namespace {

template <class T>
bool FindIn(const CResourceList<T>& list, std::string_view name, double& index) {
  const int32_t i = list.Find(std::string(name));
  if (i < 0) return false;
  index = i;
  return true;
}

// Resource names stand for their indices in code, looked up kind by kind in
// a fixed order: the first kind that has the name wins.
bool ResourceBeforeScripts(std::string_view name, double& index) {
  return FindIn(g_Objects, name, index) || FindIn(g_Sprites, name, index) || FindIn(g_Sounds, name, index) ||
         FindIn(g_Backgrounds, name, index) || FindIn(g_Paths, name, index) || FindIn(g_Fonts, name, index) ||
         FindIn(g_TimeLines, name, index);
}

bool RoomName(std::string_view name, double& index) { return FindIn(g_Rooms, name, index); }

// A trigger's constant name stands for the trigger's index.
bool TriggerConstant(std::string_view name, double& value) {
  for (int32_t i = 0; i < g_Triggers.Count(); ++i) {
    const CTrigger* t = g_Triggers.Get(i);
    if (t && !t->i_constname.empty() && t->i_constname == name) {
      value = i;
      return true;
    }
  }
  return false;
}

template <class T>
std::string NameOf(const CResourceList<T>& list, int32_t index, const char* missing) {
  return list.Exists(index) ? list.Name(index) : std::string(missing);
}

bool BackgroundSize(int32_t index, int32_t& w, int32_t& h) {
  const CBackground* b = g_Backgrounds.Get(index);
  if (!b) return false;
  w = b->GetWidth();
  h = b->GetHeight();
  return true;
}

}  // namespace

void Runner_RegisterFunctionFamilies() {
  Function_RegisterAll();
  Function_RegisterIncludedFiles();
  Function_RegisterMath();
  Function_RegisterDataStructures();
  Function_RegisterDates();
  Function_RegisterSystem();
  World_Install();
  Run_RegisterFunctions();
}

void Runner_InstallEngineHooks() {
  g_FunctionFamiliesHook = Runner_RegisterFunctionFamilies;
  Script_InitEngine();
  g_ConstantHooks.ResourceBeforeScripts = ResourceBeforeScripts;
  g_ConstantHooks.Room = RoomName;
  g_ConstantHooks.TriggerConstant = TriggerConstant;
  g_ErrorHooks.ObjectName = [](int32_t i) { return NameOf(g_Objects, i, "<undefined>"); };
  g_ErrorHooks.TimeLineName = [](int32_t i) { return NameOf(g_TimeLines, i, "<undefined>"); };
  g_ErrorHooks.TriggerName = [](int32_t i) { return NameOf(g_Triggers, i, "<Deleted>"); };
  // A fatal error, or the player's choice to abort, ends the game after the step.
  g_ErrorHooks.RequestAbort = [] { g_NewRoom = CHANGE_ABORT; };
  Room_SetBackgroundSize(BackgroundSize);
}

void Runner_InstallHooks() {
  Runner_InstallEngineHooks();
  g_ErrorHooks.MessageBox = [](std::string_view text) {
    Platform().MessageBox(std::string(text), EButtons::Ok, EBoxIcon::Error);
  };
  // Action functions are looked up by name as the objects load: scripts
  // first, then extension functions, then the built-ins.
  Action_SetFunctionResolver([](const std::string& name) {
    int32_t id = -1;
    if (Function_Resolve(name, id)) return id;
    Platform().MessageBox("Failed to locate action function " + name, EButtons::Ok, EBoxIcon::Error);
    return int32_t(-1);
  });
}

}  // namespace tavrin
