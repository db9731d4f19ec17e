// Drawing the current room. The views move after the instances they follow;
// then every visible view (or the whole room, without views) is drawn from
// back to front: the room colour, the background layers, the tiles and the
// instances merged by depth (an instance's draw event, or its sprite), the
// foreground layers and the cursor sprite.
//
// What to draw and in which order is decided here; how a picture reaches the
// screen is the painter's business, so the order can be tested without a
// graphics device and the device can be changed without touching the rules.
#pragma once

#include <cstdint>

#include "world/Room_Class.h"

namespace tavrin {

class CInstance;
class CRoom;
class CRunRoom;

// A rectangle of the room, edges included.
struct RRoomRect {
  double left = 0, top = 0, right = 0, bottom = 0;
};

// Puts the pictures of a room where the renderer says.
class IRoomPainter {
 public:
  virtual ~IRoomPainter() = default;
  // Drawing goes to the port (xport, yport, wport, hport) of the region and
  // shows the room rectangle (xview, yview, wview, hview) turned by `angle`
  // degrees about its centre.
  virtual void SetView(const CView& view) = 0;
  // The whole region shows the room from (0, 0), wide and high as the region.
  virtual void SetWholeRegion() = 0;
  // The views have moved: where each shows the room (none when views are
  // off or the view is hidden), for finding the room under the mouse.
  virtual void MapViews(const CRoom& room) = 0;
  // The port being drawn, cleared to the window's colour (behind views) or
  // to a game colour (the room's own colour).
  virtual void ClearToWindowColor() = 0;
  virtual void Clear(int32_t color) = 0;
  // A background layer over `rect`, tiled as the layer says.
  virtual void Layer(const CBack& layer, const RRoomRect& rect) = 0;
  virtual void Tile(const RTile& tile) = 0;
  // The instance's sprite, frame floor(image_index) at its position: with
  // its scale, angle, blend and alpha, or plainly when `simple`.
  virtual void Sprite(const CInstance& instance, bool simple) = 0;
  // The cursor sprite at the mouse, `frame` counting the steps.
  virtual void Cursor(int32_t sprite, int32_t frame) = 0;
};

// Moves every visible view after the instance it follows: within its borders,
// inside the room, and no faster than its speed limits.
void Room_FollowViews(CRunRoom& room);

// Draws the current room through `painter`: follows the views, sorts
// instances and tiles by depth, then draws every visible view. A redraw asked
// for while the room is being drawn (from a draw event) is ignored.
void Room_Draw(IRoomPainter& painter, int32_t cursorSprite, int32_t cursorFrame);

// The region a room needs: the union of its visible views' ports (at least
// 8 x 8) when views are on, else the room's size.
void Room_RegionSize(const CRoom& room, int32_t& w, int32_t& h);

}  // namespace tavrin
