// The game window and the frames it shows.
//
// A game draws into a drawing region (normally the room, or the union of its
// views' ports) on the device's back buffer; this module shows that region in
// the game window at a scale, fills the margins around it, keeps the window's
// shape (full screen, border, caption buttons, resizing, stay-on-top), runs
// the begin / end / present rhythm of frames, sets the 2D camera, maps window
// and mouse positions to room positions through the views, and copies the
// screen into bitmaps and picture files.
//
// Everything stores its value first and touches the window or the device
// only when they exist, so settings made before the window opens take
// effect when it does.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include "graphics/Graphics_Device.h"
#include "package/Option_Main.h"
#include "platform/Platform.h"

namespace tavrin {

// One view as the mouse sees it: the room rectangle it shows, where in the
// region it shows it, and its rotation in degrees.
struct RViewMap {
  bool active = false;
  double x = 0, y = 0, w = 0, h = 0;
  double xport = 0, yport = 0, wport = 0, hport = 0;
  double angle = 0;
};
inline constexpr int32_t kViewMaps = 32;

struct RDisplayState {
  // --- the game window
  WindowId window = 0;  // 0 until the window opens
  bool visible = true;
  bool fullscreen = false;
  bool showBorder = true;
  bool showIcons = true;
  bool sizeable = true;
  bool stayOnTop = false;
  // The client rectangle (screen left, top, width, height) the window comes
  // back to when it leaves full screen.
  RRect saved{100, 100, 640, 480};
  // Set while the window state is being applied: the window's own changes
  // then are not taken as the player's.
  bool applying = false;
  std::string caption;
  int32_t color = 0;  // 0x00BBGGRR: the margins around the region
  int32_t cursor = 0;  // the cursor's shape; -1 shows none
  bool cursorShown = true;

  // --- the drawing region and its scale in the window: 0 stretches it over
  // the client area, negative keeps its aspect ratio at the largest scale
  // that fits, positive is a fixed factor; the last two are centred.
  int32_t regionW = 640, regionH = 480;
  double regionScale = 1.0;

  // --- the device
  bool vsync = false;
  int32_t antialias = 0;  // 0, or the sample count 2, 4 or 8 of the next reset
  bool resetRequested = false;
  int32_t deviceW = 0, deviceH = 0;  // the part of the back buffer in use

  std::array<RViewMap, kViewMaps> views{};

  void Reset() { *this = RDisplayState(); }
};
extern RDisplayState g_Display;

// ------------------------------------------------------------ pure rules
// round() here is to nearest, ties to even, saturating at the int32 range.

// Where the region (rw x rh at scale s) lands in a cw x ch client area. May
// reach outside the client area when the window is smaller than the scaled
// region.
RRect Display_RegionRect(int32_t cw, int32_t ch, int32_t rw, int32_t rh, double s);
// A client position as a region position, and back.
std::pair<int32_t, int32_t> Display_WindowToRegion(double px, double py, int32_t cw, int32_t ch, int32_t rw,
                                                   int32_t rh, double s);
std::pair<int32_t, int32_t> Display_RegionToWindow(double rx, double ry, int32_t cw, int32_t ch, int32_t rw,
                                                   int32_t rh, double s);
// A view is used for the mouse only when its port has a size.
inline bool ViewMap_Used(const RViewMap& v) { return v.active && v.wport != 0 && v.hport != 0; }
// A region position as the room position it shows through the view (turned
// about the view's centre when the view is rotated by 0.01 degrees or more),
// and back.
std::pair<int32_t, int32_t> Display_RegionToRoom(const RViewMap& view, double rx, double ry);
std::pair<int32_t, int32_t> Display_RoomToRegion(const RViewMap& view, double x, double y);
// A region position as the room position under it: through the highest
// numbered view whose room rectangle contains the answer, else through the
// lowest numbered view in use; the region position itself when no view is.
std::pair<int32_t, int32_t> Display_RegionToRoomThroughViews(double rx, double ry);
// The index of the view the mouse functions set positions through: the
// first one in use, -1 for none.
int32_t Display_FirstUsedView();

// The mouse's last position in the game window's client area; that position
// (or any client position) in the region as the window shows it now; and the
// room position under the mouse, through the views.
std::pair<int32_t, int32_t> Display_MouseInWindow();
std::pair<int32_t, int32_t> Display_WindowToRegionNow(double px, double py);
std::pair<int32_t, int32_t> Display_MouseInRoom();

// Registers view `index` (0..31; others change nothing), or clears it.
void Display_SetViewMap(int32_t index, const RViewMap& view);

// ------------------------------------------------------------ the window

// Opens the game window and its device, sized for a region of w x h, with
// the window settings of the game, and begins the first frame. Returns the
// reason when no device can be made (the window is then closed again).
std::string Display_Open(const RGameSettings& settings, const std::string& title, int32_t w, int32_t h);
// Closes the device and the window, gives the screen its desktop mode back
// and shows the cursor again. Safe to call when nothing is open.
void Display_Close();

// The client area: its screen origin and size. Without a window, the saved
// rectangle.
RRect Display_ClientBounds();
// Moves and sizes the client area (leaving full screen alone: it takes
// effect when the window comes back from it).
void Display_SetClientRect(const RRect& client);
// Shape and visibility from the state.
void Display_ApplyWindowState();
void Display_ApplyVisibility();
// Remembers the current client rectangle, unless full screen or applying.
void Display_SaveWindowState();
void Display_SetCaption(const std::string& caption);
void Display_SetCursor(int32_t cursor);

// The region's size (values of 0 or less keep that side) and scale. With a
// positive scale, `adapt` sizes the client area to the scaled region;
// otherwise it is only enlarged to fit the scaled region.
void Display_SetRegionSize(int32_t w, int32_t h, bool adapt);
void Display_SetRegionScale(double scale, bool adapt);
// The scaled region size, centred on the screen.
void Display_WindowDefault();
void Display_WindowCenter();
// The client size a requested size becomes: the scaled region under a
// positive scale.
std::pair<int32_t, int32_t> Display_ClientSizeFor(int32_t w, int32_t h);

// ------------------------------------------------------------ the device

// Uses the top-left w x h of the back buffer (clipped to the desktop) for
// drawing, with the camera on the room rectangle (0, 0, w, h).
void Display_SetDeviceRegion(int32_t w, int32_t h);
// The camera that shows the room rectangle (x, y, w, h) turned by `angle`
// degrees counter-clockwise.
void Display_SetView(double x, double y, double w, double h, double angle);
void Display_SetViewport(int32_t x, int32_t y, int32_t w, int32_t h);
// The frame rhythm: a frame is always open between steps.
bool Display_StartFrame();
bool Display_FinishFrame();
// Shows the back buffer again without ending the frame (a repaint).
bool Display_Refresh();
void Display_SetVSync(bool on);
void Display_WaitVSync();
// A full reset asked for by the game: served between frames by the main
// loop. The screen goes back to the desktop's mode.
void Display_ServeReset();

// A copy of part of the device region (clipped to it); false when nothing
// is left of it or there is no device.
bool Display_Grab(int32_t x, int32_t y, int32_t w, int32_t h, TBitmap32& out);
// Saves the grab as an opaque picture file (PNG when the name ends in .png,
// in any case; else by Picture_SaveToImageFile's choice). False when nothing
// could be grabbed or written.
bool Display_SaveScreen(const std::string& path, int32_t x, int32_t y, int32_t w, int32_t h);

// What draws the room now (installed by the runner; screen_redraw uses it).
void Display_SetRoomDrawer(void (*drawRoom)());
void Display_DrawRoom();

// ------------------------------------------------------------ the caption

struct RCaptionParts {
  std::string room;
  bool showScore = true, scoreExplicit = false;
  int32_t score = 0;
  bool showLives = false;
  int32_t lives = -1;
  bool showHealth = false;
  double health = 100;
  std::string captionScore, captionLives, captionHealth;
};
// The room's caption, then the score (once it was shown explicitly or is
// above 0), the lives and the rounded health as the game asks.
std::string Display_ComposeCaption(const RCaptionParts& parts);

}  // namespace tavrin
