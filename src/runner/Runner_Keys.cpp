#include "runner/Runner_Keys.h"

#include <filesystem>

#include "graphics/Graphics_Display.h"
#include "package/Package_Data.h"
#include "platform/Platform_Trace.h"
#include "runner/Run_Main.h"
#include "world/Input_State.h"
#include "world/Run_State.h"
#include "world/Save_Game.h"

namespace tavrin {

namespace {

enum : int32_t { kKeyEscape = 27, kKeyF1 = 112, kKeyF4 = 115, kKeyF5 = 116, kKeyF6 = 117, kKeyF9 = 120 };

void TakeScreenshot() {
  const std::string name = Runner_ScreenshotName();
  if (!Display_SaveScreen(name, 0, 0, g_Display.deviceW, g_Display.deviceH))
    WriteTrace("F9: the screenshot " + name + " could not be written");
}

// F5 and F6 save and load one file per game, in the working folder.
std::string QuickSaveName() { return "_save" + std::to_string(g_PackageData.identity.gameId) + ".sav"; }

}  // namespace

std::string Runner_ScreenshotName() {
  std::error_code ec;
  for (int n = 100;; ++n) {
    std::string name = "screenshot" + std::to_string(n) + ".png";
    if (!std::filesystem::exists(name, ec)) return name;
  }
}

void Handle_Runner_Keys() {
  const RGameSettings& s = g_PackageData.settings;
  int32_t& key = g_Input.keyboard_lastkey;
  if (s.opt_keyf1 && key == kKeyF1) {
    key = 0;
    WriteTrace("F1: the game information cannot be shown yet");
    IO_ClearAll();
  } else if (s.opt_keyesc && key == kKeyEscape) {
    key = 0;
    if (g_World.newRoom != CHANGE_ABORT) g_World.newRoom = CHANGE_END;
  } else if (s.opt_keyf4 && key == kKeyF4) {
    key = 0;
    Display_SaveWindowState();
    g_Display.fullscreen = !g_Display.fullscreen;
    Display_ApplyWindowState();
  } else if (s.opt_keyf5f6 && key == kKeyF5) {
    key = 0;
    SaveGame(QuickSaveName());
  } else if (s.opt_keyf5f6 && key == kKeyF6) {
    // At once: the rest of this step runs on the loaded game.
    key = 0;
    Run_LoadGame(QuickSaveName());
  } else if (s.opt_keyf9 && key == kKeyF9) {
    key = 0;
    TakeScreenshot();
  }
}

}  // namespace tavrin
