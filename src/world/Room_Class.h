// Rooms as the package stores them: size, speed, caption, colour, eight
// background layers, eight views, the instances placed in the room, its
// tiles and its creation code; and the room order the game follows.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "package/Resource_List.h"
#include "package/Support_Stream.h"

namespace tavrin {

inline constexpr int32_t kRoomLayers = 8;  // background layers and views

struct CBack {
  bool visible = false, foreground = false;
  int32_t index = -1;
  double x = 0, y = 0;
  bool htiled = true, vtiled = true;
  double hspeed = 0, vspeed = 0;
  double xscale = 1, yscale = 1;
  int32_t blend = 0xFFFFFF;
  double alpha = 1;
  bool stretch = false;  // the editor's choice, kept to write the room back
};

struct CView {
  bool visible = false;
  int32_t xview = 0, yview = 0, wview = 640, hview = 480;
  int32_t xport = 0, yport = 0, wport = 640, hport = 480;
  double angle = 0;
  int32_t hborder = 32, vborder = 32, hspeed = -1, vspeed = -1;
  int32_t index = -1;  // the object followed
};

// An instance placed in the room by the editor.
struct RRoomInstance {
  int32_t x = 0, y = 0, object = -1, id = 0;
  std::string code;
  double xscale = 1, yscale = 1;
  int32_t blend = 0xFFFFFF;
  double alpha = 1;
  double angle = 0;
};

struct RTile {
  double x = 0, y = 0;
  int32_t index = -1, xo = 0, yo = 0, w = 0, h = 0;
  double depth = 0;
  int32_t id = 0;
  double xscale = 1, yscale = 1;
  int32_t blend = 0xFFFFFF;
  double alpha = 1;
  bool visible = true;
};

class CRoom {
 public:
  int32_t r_version = 811;  // 541, 810 or 811: what the record holds
  std::string r_caption;
  int32_t r_width = 640, r_height = 480, r_speed = 30;
  bool r_persistent = false;
  int32_t r_color = 0xC0C0C0;  // silver, for rooms made without a colour
  int32_t r_flags = 1;  // bit 0 fill with the colour; bit 1 set: do not clear the window behind views
  std::string r_code;
  int32_t r_backcount = kRoomLayers;  // layers stored (the rest keep their defaults)
  std::array<CBack, kRoomLayers> r_background;
  bool r_enableviews = false;
  int32_t r_viewcount = kRoomLayers;
  std::array<CView, kRoomLayers> r_view;
  std::vector<RRoomInstance> r_instances;
  std::vector<RTile> r_tiles;

  bool ShowColor() const { return (r_flags & 1) != 0; }
  bool ClearViewBackground() const { return (r_flags & 2) == 0; }

  bool LoadFromStream(CStream& s);
  void SaveToStream(CStream& s) const;
};

class CBackground;
struct RWorldData;

// The room section: the rooms, then the last instance and tile ids the editor
// handed out. A stretched background layer is scaled to its room by the size
// of its background, from `backgrounds` (loaded before rooms).
bool Room_LoadAll(CStream& content, RWorldData& world, const CResourceList<CBackground>& backgrounds);
void Room_SaveAll(CStream& content, const RWorldData& world);
// The room order; fails when it is empty or names a room that does not exist.
bool RoomOrder_Load(CStream& content, RWorldData& world);
void RoomOrder_Save(CStream& content, const RWorldData& world);

}  // namespace tavrin
