#include "runner/Runner_Frame.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "graphics/Graphics_Display.h"
#include "graphics/Graphics_State.h"
#include "package/Package_Data.h"
#include "world/Room_Class.h"
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

uint32_t Opaque(int32_t color) { return Device_ArgbOf(uint32_t(color) & 0xFFFFFF, 1.0); }

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

std::string Frame_FileName(const std::string& dir, int64_t step) {
  char name[40];
  std::snprintf(name, sizeof name, "frame-%06lld.png", static_cast<long long>(step));
  return (std::filesystem::path(dir) / name).string();
}

std::pair<int32_t, int32_t> Frame_RegionOf(const CRoom& room) {
  if (!room.r_enableviews) return {std::max(room.r_width, 1), std::max(room.r_height, 1)};
  int32_t w = 8, h = 8;
  for (const CView& v : room.r_view) {
    if (!v.visible) continue;
    w = std::max(w, v.xport + v.wport);
    h = std::max(h, v.yport + v.hport);
  }
  return {w, h};
}

std::string Frame_OpenDisplay() {
  Display_Close();
  std::pair<int32_t, int32_t> region{640, 480};
  std::string caption;
  if (const CRoom* first = g_WorldData.rooms.Get(Room_First())) {
    region = Frame_RegionOf(*first);
    caption = first->r_caption;
  }
  return Display_Open(g_PackageData.settings, caption, region.first, region.second);
}

void Frame_CloseDisplay() { Display_Close(); }

void Frame_FitRegion(const CRoom& room) {
  const auto [w, h] = Frame_RegionOf(room);
  if (w == g_Display.regionW && h == g_Display.regionH) return;
  Display_SetRegionSize(w, h, true);
  Display_WindowDefault();
  Display_SetDeviceRegion(w, h);
}

void Display_ClearForRoom(const CRoom& room) {
  for (int32_t i = 0; i < kRoomLayers; ++i) {
    const CView& v = room.r_view[size_t(i)];
    RViewMap map;
    if (room.r_enableviews && v.visible)
      map = RViewMap{true, double(v.xview), double(v.yview), double(v.wview), double(v.hview), double(v.xport),
                     double(v.yport), double(v.wport), double(v.hport), v.angle};
    Display_SetViewMap(i, map);
  }
  IGraphicsDevice* device = Graphics_Device();
  if (!device) return;
  if (room.r_enableviews) {
    Display_SetViewport(0, 0, g_Display.deviceW, g_Display.deviceH);
    if (room.ClearViewBackground()) device->Clear(true, Opaque(g_Display.color), false);
    if (room.ShowColor()) {
      for (const CView& v : room.r_view) {
        if (!v.visible) continue;
        Display_SetViewport(v.xport, v.yport, v.wport, v.hport);
        device->Clear(true, Opaque(room.r_color), false);
      }
    }
    // Until views are drawn one by one, drawing lands on the region as it is.
    Display_SetViewport(0, 0, g_Display.deviceW, g_Display.deviceH);
    Display_SetView(0, 0, g_Display.deviceW, g_Display.deviceH, 0);
    return;
  }
  Display_SetViewport(0, 0, room.r_width, room.r_height);
  Display_SetView(0, 0, room.r_width, room.r_height, 0);
  if (room.ShowColor()) device->Clear(true, Opaque(room.r_color), false);
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

void Frame_Present(int64_t step, bool record) {
  if (!Graphics_Device()) return;
  Display_FinishFrame();
  if (record && !g_Record.dir.empty() && g_Record.presented++ % g_Record.every == 0) {
    const std::string file = Frame_FileName(g_Record.dir, step);
    if (!Display_SaveScreen(file, 0, 0, g_Display.deviceW, g_Display.deviceH) && !g_Record.failed) {
      g_Record.failed = true;
      std::fprintf(stderr, "tavrin: cannot write the frame %s\n", file.c_str());
    }
  }
  Display_ServeReset();
  Display_StartFrame();
}

}  // namespace tavrin
