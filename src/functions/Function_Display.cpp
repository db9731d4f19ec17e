// The display, window and screen functions of the script language. They
// store into the display state and let it apply the change to the window and
// the device when those exist, so that a game may shape its window before it
// is shown and code run without a window still reads back what it set.
#include "functions/Function_Display.h"

#include <cmath>
#include <string>

#include "graphics/Graphics_Display.h"
#include "package/Support_Path.h"
#include "platform/Platform.h"
#include "script/Code_Error.h"
#include "script/Code_Function.h"
#include "script/Variable_Class.h"
#include "world/Run_State.h"

namespace tavrin {

namespace {

int32_t Int(const RValue& v) { return Real_ToInt32(v.AsReal()); }
bool Flag(const RValue& v) { return Value_IsTrue(v); }

// --- the screen's display mode

RDisplayMode ModeOf(RValue* a, bool withRest) {
  // Only values above 0 are asked for; the rest stay as they are.
  RDisplayMode m;
  auto positive = [](const RValue& v) { return std::max(Int(v), 0); };
  m.width = positive(a[0]);
  m.height = positive(a[1]);
  if (withRest) {
    m.refresh = positive(a[2]);
    m.bitsPerPixel = positive(a[3]);
  }
  return m;
}

RDisplayMode CurrentMode() { return Platform_Installed() ? Platform().Display_GetMode() : RDisplayMode{}; }
bool AskMode(const RDisplayMode& m) { return Platform_Installed() && Platform().Display_SetMode(m); }

FUNCTION_ROUTINE(F_DisplayGetWidth) { result.SetReal(CurrentMode().width); }
FUNCTION_ROUTINE(F_DisplayGetHeight) { result.SetReal(CurrentMode().height); }
FUNCTION_ROUTINE(F_DisplayGetColordepth) { result.SetReal(CurrentMode().bitsPerPixel); }
FUNCTION_ROUTINE(F_DisplayGetFrequency) { result.SetReal(CurrentMode().refresh); }
FUNCTION_ROUTINE(F_DisplaySetSize) { result.SetReal(AskMode(ModeOf(a, false)) ? 1 : 0); }
FUNCTION_ROUTINE(F_DisplaySetColordepth) {
  RDisplayMode m;
  m.bitsPerPixel = std::max(Int(a[0]), 0);
  result.SetReal(AskMode(m) ? 1 : 0);
}
FUNCTION_ROUTINE(F_DisplaySetFrequency) {
  RDisplayMode m;
  m.refresh = std::max(Int(a[0]), 0);
  result.SetReal(AskMode(m) ? 1 : 0);
}
FUNCTION_ROUTINE(F_DisplaySetAll) { result.SetReal(AskMode(ModeOf(a, true)) ? 1 : 0); }
FUNCTION_ROUTINE(F_DisplayTestAll) {
  result.SetReal(Platform_Installed() && Platform().Display_TestMode(ModeOf(a, true)) ? 1 : 0);
}
FUNCTION_ROUTINE(F_DisplayReset) {
  // Only 2, 4 and 8 samples are offered; anything else turns antialiasing off.
  const int32_t level = argc > 0 ? Int(a[0]) : 0;
  g_Display.antialias = level == 2 || level == 4 || level == 8 ? level : 0;
  g_Display.resetRequested = true;
}

// --- the mouse

// The last mouse position in the game window's client area.
void WarpInWindow(int32_t x, int32_t y) {
  if (Platform_Installed() && g_Display.window) Platform().Mouse_Warp(g_Display.window, x, y);
}
void WarpToRegion(double rx, double ry) {
  const RRect c = Display_ClientBounds();
  const auto [x, y] = Display_RegionToWindow(rx, ry, c.w, c.h, g_Display.regionW, g_Display.regionH, g_Display.regionScale);
  WarpInWindow(x, y);
}
// The mouse in room coordinates through view `index`; a view without a port
// shows the region as it is. Indices outside the table give nothing.
bool MouseThroughView(const RValue& index, std::pair<int32_t, int32_t>& out) {
  const int32_t v = Int(index);
  if (v < 0 || v >= kViewMaps) return false;
  const auto [mx, my] = Display_MouseInWindow();
  const auto region = Display_WindowToRegionNow(mx, my);
  const RViewMap& view = g_Display.views[size_t(v)];
  out = view.wport != 0 && view.hport != 0 ? Display_RegionToRoom(view, region.first, region.second) : region;
  return true;
}

FUNCTION_ROUTINE(F_DisplayMouseGetX) { result.SetReal(Display_ClientBounds().x + Display_MouseInWindow().first); }
FUNCTION_ROUTINE(F_DisplayMouseGetY) { result.SetReal(Display_ClientBounds().y + Display_MouseInWindow().second); }
FUNCTION_ROUTINE(F_DisplayMouseSet) {
  const RRect c = Display_ClientBounds();
  WarpInWindow(Int(a[0]) - c.x, Int(a[1]) - c.y);
}
FUNCTION_ROUTINE(F_WindowMouseGetX) { result.SetReal(Display_MouseInWindow().first); }
FUNCTION_ROUTINE(F_WindowMouseGetY) { result.SetReal(Display_MouseInWindow().second); }
FUNCTION_ROUTINE(F_WindowMouseSet) { WarpInWindow(Int(a[0]), Int(a[1])); }
FUNCTION_ROUTINE(F_WindowViewMouseGetX) {
  std::pair<int32_t, int32_t> p;
  if (MouseThroughView(a[0], p)) result.SetReal(p.first);
}
FUNCTION_ROUTINE(F_WindowViewMouseGetY) {
  std::pair<int32_t, int32_t> p;
  if (MouseThroughView(a[0], p)) result.SetReal(p.second);
}
FUNCTION_ROUTINE(F_WindowViewMouseSet) {
  const int32_t v = Int(a[0]);
  if (v < 0 || v >= kViewMaps) return;
  const RViewMap& view = g_Display.views[size_t(v)];
  if (view.wport == 0 || view.hport == 0) return WarpToRegion(a[1].AsReal(), a[2].AsReal());
  const auto [rx, ry] = Display_RoomToRegion(view, a[1].AsReal(), a[2].AsReal());
  WarpToRegion(rx, ry);
}
FUNCTION_ROUTINE(F_WindowViewsMouseGetX) { result.SetReal(Display_MouseInRoom().first); }
FUNCTION_ROUTINE(F_WindowViewsMouseGetY) { result.SetReal(Display_MouseInRoom().second); }
FUNCTION_ROUTINE(F_WindowViewsMouseSet) {
  const int32_t v = Display_FirstUsedView();
  if (v < 0) return WarpToRegion(a[0].AsReal(), a[1].AsReal());
  const auto [rx, ry] = Display_RoomToRegion(g_Display.views[size_t(v)], a[0].AsReal(), a[1].AsReal());
  WarpToRegion(rx, ry);
}

// --- the window's shape

// Every change of shape first remembers the windowed rectangle, so that
// leaving full screen or changing the border brings the window back there.
void ChangeShape(bool& field, const RValue& v) {
  Display_SaveWindowState();
  field = Flag(v);
  Display_ApplyWindowState();
}

FUNCTION_ROUTINE(F_WindowSetVisible) {
  Display_SaveWindowState();
  g_Display.visible = Flag(a[0]);
  Display_ApplyVisibility();
}
FUNCTION_ROUTINE(F_WindowGetVisible) { result.SetReal(g_Display.visible ? 1 : 0); }
FUNCTION_ROUTINE(F_WindowSetFullscreen) { ChangeShape(g_Display.fullscreen, a[0]); }
FUNCTION_ROUTINE(F_WindowGetFullscreen) { result.SetReal(g_Display.fullscreen ? 1 : 0); }
FUNCTION_ROUTINE(F_WindowSetShowborder) { ChangeShape(g_Display.showBorder, a[0]); }
FUNCTION_ROUTINE(F_WindowGetShowborder) { result.SetReal(g_Display.showBorder ? 1 : 0); }
FUNCTION_ROUTINE(F_WindowSetShowicons) { ChangeShape(g_Display.showIcons, a[0]); }
FUNCTION_ROUTINE(F_WindowGetShowicons) { result.SetReal(g_Display.showIcons ? 1 : 0); }
FUNCTION_ROUTINE(F_WindowSetStayontop) { ChangeShape(g_Display.stayOnTop, a[0]); }
FUNCTION_ROUTINE(F_WindowGetStayontop) { result.SetReal(g_Display.stayOnTop ? 1 : 0); }
FUNCTION_ROUTINE(F_WindowSetSizeable) { ChangeShape(g_Display.sizeable, a[0]); }
FUNCTION_ROUTINE(F_WindowGetSizeable) { result.SetReal(g_Display.sizeable ? 1 : 0); }
FUNCTION_ROUTINE(F_WindowSetCaption) { Display_SetCaption(std::string(a[0].AsText())); }
FUNCTION_ROUTINE(F_WindowGetCaption) { result.SetString(RString(g_Display.caption)); }
FUNCTION_ROUTINE(F_WindowSetCursor) { Display_SetCursor(Int(a[0])); }
FUNCTION_ROUTINE(F_WindowGetCursor) { result.SetReal(g_Display.cursor); }
FUNCTION_ROUTINE(F_WindowSetColor) { g_Display.color = Int(a[0]); }
FUNCTION_ROUTINE(F_WindowGetColor) { result.SetReal(g_Display.color); }

// --- the window's place and size

FUNCTION_ROUTINE(F_WindowSetPosition) {
  RRect r = Display_ClientBounds();
  r.x = Int(a[0]);
  r.y = Int(a[1]);
  Display_SetClientRect(r);
}
FUNCTION_ROUTINE(F_WindowSetSize) {
  RRect r = Display_ClientBounds();
  std::tie(r.w, r.h) = Display_ClientSizeFor(Int(a[0]), Int(a[1]));
  Display_SetClientRect(r);
}
FUNCTION_ROUTINE(F_WindowSetRectangle) {
  RRect r{Int(a[0]), Int(a[1]), 0, 0};
  std::tie(r.w, r.h) = Display_ClientSizeFor(Int(a[2]), Int(a[3]));
  Display_SetClientRect(r);
}
FUNCTION_ROUTINE(F_WindowCenter) { Display_WindowCenter(); }
FUNCTION_ROUTINE(F_WindowDefault) { Display_WindowDefault(); }
FUNCTION_ROUTINE(F_WindowHandle) {
  result.SetReal(g_Display.window ? Platform().Window_NativeHandle(g_Display.window) : 0);
}
FUNCTION_ROUTINE(F_WindowGetX) { result.SetReal(Display_ClientBounds().x); }
FUNCTION_ROUTINE(F_WindowGetY) { result.SetReal(Display_ClientBounds().y); }
FUNCTION_ROUTINE(F_WindowGetWidth) { result.SetReal(Display_ClientBounds().w); }
FUNCTION_ROUTINE(F_WindowGetHeight) { result.SetReal(Display_ClientBounds().h); }
FUNCTION_ROUTINE(F_WindowSetRegionSize) { Display_SetRegionSize(Int(a[0]), Int(a[1]), Flag(a[2])); }
FUNCTION_ROUTINE(F_WindowGetRegionWidth) { result.SetReal(g_Display.regionW); }
FUNCTION_ROUTINE(F_WindowGetRegionHeight) { result.SetReal(g_Display.regionH); }
FUNCTION_ROUTINE(F_WindowSetRegionScale) { Display_SetRegionScale(a[0].AsReal(), Flag(a[1])); }
FUNCTION_ROUTINE(F_WindowGetRegionScale) { result.SetReal(g_Display.regionScale); }

// --- frames and the screen

FUNCTION_ROUTINE(F_SetSynchronization) { Display_SetVSync(Flag(a[0])); }
FUNCTION_ROUTINE(F_SetAutomaticDraw) { g_World.automaticDraw = Flag(a[0]); }
FUNCTION_ROUTINE(F_ScreenRedraw) {
  Display_DrawRoom();
  Display_FinishFrame();
  Display_StartFrame();
}
FUNCTION_ROUTINE(F_ScreenRefresh) { Display_Refresh(); }
FUNCTION_ROUTINE(F_ScreenWaitVsync) { Display_WaitVSync(); }

// A failed write is not the game's error: the game goes on without the file.
void SaveScreen(const RValue& name, int32_t x, int32_t y, int32_t w, int32_t h) {
  if (name.AsText().empty()) {
    Error_ReportAction("Trying to save screen to empty image file name.", false);
    return;
  }
  Display_SaveScreen(Path_FromGame(name.AsText()), x, y, w, h);
}
FUNCTION_ROUTINE(F_ScreenSave) { SaveScreen(a[0], 0, 0, g_Display.deviceW, g_Display.deviceH); }
FUNCTION_ROUTINE(F_ScreenSavePart) { SaveScreen(a[0], Int(a[1]), Int(a[2]), Int(a[3]), Int(a[4])); }

constexpr RFunctionRoutine kDisplayFunctions[] = {
    {"display_get_width", F_DisplayGetWidth},
    {"display_get_height", F_DisplayGetHeight},
    {"display_get_colordepth", F_DisplayGetColordepth},
    {"display_get_frequency", F_DisplayGetFrequency},
    {"display_set_size", F_DisplaySetSize},
    {"display_set_colordepth", F_DisplaySetColordepth},
    {"display_set_frequency", F_DisplaySetFrequency},
    {"display_set_all", F_DisplaySetAll},
    {"display_test_all", F_DisplayTestAll},
    {"display_reset", F_DisplayReset},
    {"display_mouse_get_x", F_DisplayMouseGetX},
    {"display_mouse_get_y", F_DisplayMouseGetY},
    {"display_mouse_set", F_DisplayMouseSet},
    {"window_set_visible", F_WindowSetVisible},
    {"window_get_visible", F_WindowGetVisible},
    {"window_set_fullscreen", F_WindowSetFullscreen},
    {"window_get_fullscreen", F_WindowGetFullscreen},
    {"window_set_showborder", F_WindowSetShowborder},
    {"window_get_showborder", F_WindowGetShowborder},
    {"window_set_showicons", F_WindowSetShowicons},
    {"window_get_showicons", F_WindowGetShowicons},
    {"window_set_stayontop", F_WindowSetStayontop},
    {"window_get_stayontop", F_WindowGetStayontop},
    {"window_set_sizeable", F_WindowSetSizeable},
    {"window_get_sizeable", F_WindowGetSizeable},
    {"window_set_caption", F_WindowSetCaption},
    {"window_get_caption", F_WindowGetCaption},
    {"window_set_cursor", F_WindowSetCursor},
    {"window_get_cursor", F_WindowGetCursor},
    {"window_set_color", F_WindowSetColor},
    {"window_get_color", F_WindowGetColor},
    {"window_set_position", F_WindowSetPosition},
    {"window_set_size", F_WindowSetSize},
    {"window_set_rectangle", F_WindowSetRectangle},
    {"window_center", F_WindowCenter},
    {"window_default", F_WindowDefault},
    {"window_handle", F_WindowHandle},
    {"window_get_x", F_WindowGetX},
    {"window_get_y", F_WindowGetY},
    {"window_get_width", F_WindowGetWidth},
    {"window_get_height", F_WindowGetHeight},
    {"window_set_region_size", F_WindowSetRegionSize},
    {"window_get_region_width", F_WindowGetRegionWidth},
    {"window_get_region_height", F_WindowGetRegionHeight},
    {"window_set_region_scale", F_WindowSetRegionScale},
    {"window_get_region_scale", F_WindowGetRegionScale},
    {"window_mouse_get_x", F_WindowMouseGetX},
    {"window_mouse_get_y", F_WindowMouseGetY},
    {"window_mouse_set", F_WindowMouseSet},
    {"window_view_mouse_get_x", F_WindowViewMouseGetX},
    {"window_view_mouse_get_y", F_WindowViewMouseGetY},
    {"window_view_mouse_set", F_WindowViewMouseSet},
    {"window_views_mouse_get_x", F_WindowViewsMouseGetX},
    {"window_views_mouse_get_y", F_WindowViewsMouseGetY},
    {"window_views_mouse_set", F_WindowViewsMouseSet},
    {"set_synchronization", F_SetSynchronization},
    {"set_automatic_draw", F_SetAutomaticDraw},
    {"screen_redraw", F_ScreenRedraw},
    {"screen_refresh", F_ScreenRefresh},
    {"screen_wait_vsync", F_ScreenWaitVsync},
    {"screen_save", F_ScreenSave},
    {"screen_save_part", F_ScreenSavePart},
};

}  // namespace

void Function_RegisterDisplay() { Function_ImplementTable(kDisplayFunctions); }

}  // namespace tavrin
