#include "runner/Runner_Host.h"

#include "functions/Function_Date.h"
#include "functions/Function_Display.h"
#include "functions/Function_Execute.h"
#include "functions/Function_File.h"
#include "functions/Function_Graphics.h"
#include "functions/Function_Ini.h"
#include "functions/Function_IncludedFiles.h"
#include "functions/Function_Input.h"
#include "functions/Function_Math.h"
#include "functions/Function_Surface.h"
#include "functions/Function_Sound.h"
#include "functions/Function_Registry.h"
#include "functions/Function_System.h"
#include "functions/Function_Text.h"
#include "functions/Support_Data_Structures.h"
#include "graphics/Graphics_Data.h"
#include "platform/Platform.h"
#include "runner/Run_Main.h"
#include "runner/Run_Transition.h"
#include "script/Code_Builtins.h"
#include "script/Code_Function.h"
#include "sound/Sound_Class.h"
#include "world/Run_State.h"
#include "world/World_Data.h"
#include "windows/Error_Window.h"
#include "windows/Function_Dialogs.h"
#include "platform/Platform_Answers.h"
#include "world/World_Main.h"

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
  return FindIn(g_WorldData.objects, name, index) || FindIn(g_GraphicsData.sprites, name, index) || FindIn(g_Sounds, name, index) ||
         FindIn(g_GraphicsData.backgrounds, name, index) || FindIn(g_WorldData.paths, name, index) || FindIn(g_GraphicsData.fonts, name, index) ||
         FindIn(g_WorldData.timeLines, name, index);
}

class CRunnerHost : public CWorldHost {
 public:
  explicit CRunnerHost(bool platform) : m_platform(platform) {}

  bool ResourceBeforeScripts(std::string_view name, double& index) override {
    return tavrin::ResourceBeforeScripts(name, index);
  }
  void RegisterFunctionFamilies() override { Runner_RegisterFunctionFamilies(); }
  void RoomEntered(bool) override { Run_RoomEntered(); }
  // The picture of the room being left, for the transition to the next.
  void RoomLeaving() override {
    if (Run_IsRunning() && g_World.automaticDraw) Transition_Prepare(g_World.game.transition_kind);
  }

  // Headless runs write the error to standard error and go on as after
  // Ignore, unless the answers file answers the window; only a window that
  // was shown or answered clears the keys the player holds.
  bool ShowErrorWindow(std::string_view message, bool canIgnore) override {
    if (Answers_Headless() || !Platform_Installed()) CWorldHost::ShowErrorWindow(message, canIgnore);
    const EErrorAnswer answer = Error_ShowWindow(message, canIgnore);
    if (answer == EErrorAnswer::NotShown) return false;
    ClearInput();
    return answer == EErrorAnswer::Abort;
  }

  void MessageBox(std::string_view text) override {
    if (!m_platform) return CWorldHost::MessageBox(text);
    Platform().MessageBox(std::string(text), EButtons::Ok, EBoxIcon::Error);
  }
  // A game's action functions are looked up by name as the objects load:
  // scripts first, then extension functions, then the built-ins. Tools keep
  // the names only.
  int32_t ResolveActionFunction(const std::string& name) override {
    int32_t id = -1;
    if (!m_platform) return id;
    if (Function_Resolve(name, id)) return id;
    Platform().MessageBox("Failed to locate action function " + name, EButtons::Ok, EBoxIcon::Error);
    return -1;
  }

 private:
  bool m_platform;
};

}  // namespace

void Runner_RegisterFunctionFamilies() {
  Function_RegisterAll();
  Function_RegisterIncludedFiles();
  Function_RegisterFiles();
  Function_RegisterFileSystem();
  Function_RegisterIni();
  Function_RegisterRegistry();
  Function_RegisterExecute();
  Function_RegisterMath();
  Function_RegisterSound();
  Function_RegisterDataStructures();
  Function_RegisterDates();
  Function_RegisterSystem();
  Function_RegisterGraphics();
  Function_RegisterDisplay();
  Function_RegisterSurfaces();
  Function_RegisterText();
  Function_RegisterInput();
  Function_RegisterDialogs();
  World_Install();
  Run_RegisterFunctions();
}

void Runner_InstallEngineHost() {
  static CRunnerHost host(false);
  Host_Install(&host);
  Script_InitEngine();
}

void Runner_InstallHost() {
  static CRunnerHost host(true);
  Host_Install(&host);
  Script_InitEngine();
}

}  // namespace tavrin
