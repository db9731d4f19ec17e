#include "runner/Runner_Frame.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "graphics/Graphics_Display.h"
#include "graphics/Graphics_State.h"
#include "package/Package_Data.h"
#include "world/Room_Class.h"
#include "world/Room_Draw.h"
#include "world/Room_Main.h"
#include "world/Run_State.h"
#include "world/World_Data.h"

namespace tavrin {

namespace {

struct RFrameRecord {
  std::string dir;
  int every = 1;
  int64_t presented = 0;  // frames the loop has presented
  bool failed = false;    // a write failed (said once)
};
RFrameRecord g_Record;

}  // namespace

bool Frame_Configure(const std::string& dir, int every, std::string& error) {
  g_Record = RFrameRecord{dir, std::max(every, 1), 0, false};
  if (dir.empty()) return true;
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec || !std::filesystem::is_directory(dir, ec)) {
    error = "cannot make the frames folder " + dir;
    g_Record.dir.clear();
    return false;
  }
  return true;
}

std::string Frame_FileName(const std::string& dir, int64_t step, int32_t transitionFrame) {
  char name[48];
  if (transitionFrame >= 0)
    std::snprintf(name, sizeof name, "frame-%06lld-t%02d.png", static_cast<long long>(step), transitionFrame);
  else
    std::snprintf(name, sizeof name, "frame-%06lld.png", static_cast<long long>(step));
  return (std::filesystem::path(dir) / name).string();
}

std::string Frame_OpenDisplay() {
  Display_Close();
  int32_t w = 640, h = 480;
  std::string caption;
  if (const CRoom* first = g_WorldData.rooms.Get(Room_First())) {
    Room_RegionSize(*first, w, h);
    caption = first->r_caption;
  }
  return Display_Open(g_PackageData.settings, caption, std::max(w, 1), std::max(h, 1));
}

void Frame_CloseDisplay() { Display_Close(); }

void Frame_FitRegion(const CRoom& room) {
  int32_t w = 0, h = 0;
  Room_RegionSize(room, w, h);
  w = std::max(w, 1);
  h = std::max(h, 1);
  if (w == g_Display.regionW && h == g_Display.regionH) return;
  Display_SetRegionSize(w, h, true);
  Display_WindowDefault();
  Display_SetDeviceRegion(w, h);
}

void Frame_ShowCaption(const CRoom& room) {
  const RGameValues& g = g_World.game;
  RCaptionParts parts;
  parts.room = room.r_caption;
  parts.showScore = g.show_score;
  parts.scoreExplicit = g.score_explicit;
  parts.score = g.score;
  parts.showLives = g.show_lives;
  parts.lives = g.lives;
  parts.showHealth = g.show_health;
  parts.health = g.health;
  parts.captionScore = g.caption_score;
  parts.captionLives = g.caption_lives;
  parts.captionHealth = g.caption_health;
  Display_SetCaption(Display_ComposeCaption(parts));
}

namespace {

void Present(const std::string& file) {
  if (!Graphics_Device()) return;
  Display_FinishFrame();
  if (!file.empty() && !Display_SaveScreen(file, 0, 0, g_Display.deviceW, g_Display.deviceH) && !g_Record.failed) {
    g_Record.failed = true;
    std::fprintf(stderr, "tavrin: cannot write the frame %s\n", file.c_str());
  }
  Display_ServeReset();
  Display_StartFrame();
}

}  // namespace

void Frame_Present(int64_t step, bool record) {
  const bool due = record && !g_Record.dir.empty() && g_Record.presented++ % g_Record.every == 0;
  Present(due ? Frame_FileName(g_Record.dir, step) : std::string());
}

void Frame_PresentTransition(int64_t step, int32_t frame) {
  Present(g_Record.dir.empty() ? std::string() : Frame_FileName(g_Record.dir, step, frame));
}

}  // namespace tavrin
