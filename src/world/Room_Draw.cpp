#include "world/Room_Draw.h"

#include <algorithm>
#include <cmath>

#include "graphics/Graphics_Data.h"
#include "world/Event_Action.h"
#include "world/Instance_Class.h"
#include "world/Room_Main.h"
#include "world/Run_State.h"
#include "world/World_Data.h"

namespace tavrin {

namespace {

// The instance a view follows: an instance id, or the first instance of an
// object or its descendants; none when nothing is there to follow.
const CInstance* Followed(const CRunRoom& room, int32_t index) {
  if (index > 99999) {
    for (int32_t i = 0; i < room.InstanceCount(); ++i) {
      const CInstance* inst = room.InstanceAt(i);
      if (inst && inst->i_id == index && !inst->i_marked) return inst;
    }
    return nullptr;
  }
  if (!g_WorldData.objects.Exists(index)) return nullptr;
  for (int32_t i = 0, n = room.Obj_Number_Recursive(index); i < n; ++i) {
    const CInstance* inst = room.Obj_Instance_Recursive(index, i);
    if (inst && !inst->i_marked) return inst;
  }
  return nullptr;
}

// One axis of a view: keep `at` inside the borders of [left, left + size),
// or centred when the borders meet; inside the room; at most `speed` from
// where it was (a negative speed is no limit).
int32_t Follow(int32_t left, int32_t size, int32_t border, int32_t speed, int32_t roomSize, double at) {
  const int32_t i = int32_t(std::lround(at));
  int32_t next = left;
  if (2 * border < size) {
    if (i - border < left)
      next = i - border;
    else if (i + border > left + size)
      next = i + border - size;
  } else {
    next = i - size / 2;
  }
  if (next < 0) next = 0;
  if (next + size > roomSize) next = roomSize - size;  // a view larger than the room ends before 0
  if (speed >= 0) {
    if (next < left - speed) next = left - speed;
    if (next > left + speed) next = left + speed;
  }
  return next;
}

bool Overlaps(const RTile& t, const RRoomRect& r) {
  double x1 = t.x, x2 = t.x + t.w * t.xscale, y1 = t.y, y2 = t.y + t.h * t.yscale;
  if (x2 < x1) std::swap(x1, x2);
  if (y2 < y1) std::swap(y1, y2);
  return x1 <= r.right && x2 >= r.left && y1 <= r.bottom && y2 >= r.top;
}

void DrawLayers(const CRunRoom& room, IRoomPainter& painter, const RRoomRect& rect, bool foreground) {
  for (const CBack& layer : room.r_background)
    if (layer.visible && layer.foreground == foreground && g_GraphicsData.backgrounds.Exists(layer.index))
      painter.Layer(layer, rect);
}

// An instance's draw event, or else its sprite: drawn plainly unless it is
// scaled, turned, tinted or translucent.
void DrawInstance(CInstance& inst, IRoomPainter& painter) {
  if (Event_HasRecursive(inst.i_objectindex, EV_DRAW)) {
    Event_Perform(&inst, &inst, EV_DRAW, 0);
    return;
  }
  if (!g_GraphicsData.sprites.Exists(inst.i_spriteindex)) return;
  const bool simple = inst.i_imagescalex == 1 && inst.i_imagescaley == 1 && inst.i_imageangle == 0 &&
                      inst.i_imageblend == 0xFFFFFF && inst.i_imagealpha == 1;
  painter.Sprite(inst, simple);
}

// The room's content in `rect`: colour, backgrounds, then tiles and
// instances by depth (at equal depth the instance first, the tile over it),
// then foregrounds and the cursor. Draw events may add or remove instances
// and tiles: every step of the merge reads the lists as they are then.
void DrawRect(CRunRoom& room, IRoomPainter& painter, const RRoomRect& rect, int32_t cursorSprite, int32_t cursorFrame) {
  if (room.ShowColor()) painter.Clear(room.r_color);
  DrawLayers(room, painter, rect, false);
  size_t i = 0, j = 0;
  while (!Run_ChangePending()) {
    CInstance* inst = i < size_t(room.InstanceCount()) ? room.InstanceAt(int32_t(i)) : nullptr;
    const RTile* tile = j < room.r_tiles.size() ? &room.r_tiles[j] : nullptr;
    if (!inst && !tile) break;
    if (inst && (inst->i_marked || !inst->i_visible)) {
      ++i;
    } else if (tile && !tile->visible) {
      ++j;
    } else if (!inst || (tile && tile->depth > inst->i_depth)) {
      if (Overlaps(*tile, rect) && g_GraphicsData.backgrounds.Exists(tile->index)) painter.Tile(*tile);
      ++j;
    } else {
      DrawInstance(*inst, painter);
      ++i;
    }
  }
  DrawLayers(room, painter, rect, true);
  if (g_GraphicsData.sprites.Exists(cursorSprite)) painter.Cursor(cursorSprite, cursorFrame);
}

bool g_drawing = false;  // a room is being drawn (draw events may ask for another)

}  // namespace

void Room_FollowViews(CRunRoom& room) {
  if (!room.r_enableviews) return;
  for (CView& v : room.r_view) {
    if (!v.visible) continue;
    const CInstance* inst = Followed(room, v.index);
    if (!inst) continue;
    v.xview = Follow(v.xview, v.wview, v.hborder, v.hspeed, room.r_width, inst->i_x);
    v.yview = Follow(v.yview, v.hview, v.vborder, v.vspeed, room.r_height, inst->i_y);
  }
}

void Room_Draw(IRoomPainter& painter, int32_t cursorSprite, int32_t cursorFrame) {
  CRunRoom* room = g_World.room;
  if (!room || g_drawing) return;
  struct CDrawing {
    CDrawing() { g_drawing = true; }
    ~CDrawing() {
      g_drawing = false;
      g_World.viewCurrent = 0;
    }
  } drawing;
  Room_FollowViews(*room);
  painter.MapViews(*room);
  room->SortInstances();
  room->SortTiles();
  if (room->r_enableviews) {
    if (room->ClearViewBackground()) painter.ClearToWindowColor();
    for (int32_t k = 0; k < kRoomLayers && g_World.room == room; ++k) {
      const CView& v = room->r_view[size_t(k)];
      g_World.viewCurrent = k;
      if (!v.visible) continue;
      painter.SetView(v);
      // A turned view shows more of the room than its rectangle.
      RRoomRect rect{double(v.xview), double(v.yview), double(v.xview + v.wview), double(v.yview + v.hview)};
      if (std::fabs(v.angle) >= 0.01) {
        rect = {double(v.xview - v.hview / 2), double(v.yview - v.wview / 2),
                double(v.xview + v.wview + v.hview / 2), double(v.yview + v.hview + v.wview / 2)};
      }
      DrawRect(*room, painter, rect, cursorSprite, cursorFrame);
    }
    painter.SetWholeRegion();
  } else {
    g_World.viewCurrent = 0;
    painter.SetWholeRegion();
    DrawRect(*room, painter, {0, 0, double(room->r_width), double(room->r_height)}, cursorSprite, cursorFrame);
  }
}

void Room_RegionSize(const CRoom& room, int32_t& w, int32_t& h) {
  if (!room.r_enableviews) {
    w = room.r_width;
    h = room.r_height;
    return;
  }
  w = h = 8;
  for (const CView& v : room.r_view) {
    if (!v.visible) continue;
    w = std::max(w, v.xport + v.wport);
    h = std::max(h, v.yport + v.hport);
  }
}

}  // namespace tavrin
