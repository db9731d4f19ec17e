#include "world/Room_Class.h"

#include <algorithm>
#include <cmath>

#include "graphics/Background_Class.h"
#include "package/Package_Sections.h"
#include "graphics/Graphics_Data.h"
#include "world/World_Data.h"

namespace tavrin {


namespace {

constexpr int32_t kRoomOrderVersion = 700;

// A colour word carries the blend colour in its low 24 bits and the alpha,
// times 255, in the high 8.
void SplitColour(int32_t word, int32_t& blend, double& alpha) {
  blend = word & 0xFFFFFF;
  alpha = double(uint32_t(word) >> 24) / 255.0;
}
int32_t JoinColour(int32_t blend, double alpha) {
  const long a = std::lround(std::clamp(alpha, 0.0, 1.0) * 255.0);
  return int32_t((uint32_t(a) << 24) | (uint32_t(blend) & 0xFFFFFF));
}


}  // namespace

bool CRoom::LoadFromStream(CStream& s) {
  *this = CRoom{};
  r_version = s.ReadInteger();
  if (r_version != 541 && r_version != 810 && r_version != 811) return false;
  const bool extended = r_version >= 810;
  r_caption = s.ReadString();
  r_width = s.ReadInteger();
  r_height = s.ReadInteger();
  r_speed = s.ReadInteger();
  r_persistent = s.ReadBoolean();
  r_color = s.ReadInteger();
  r_flags = s.ReadInteger();
  r_code = s.ReadString();

  r_backcount = s.ReadInteger();
  if (r_backcount < 0 || r_backcount > kRoomLayers) return false;
  for (int32_t i = 0; i < r_backcount; ++i) {
    CBack& b = r_background[size_t(i)];
    b.visible = s.ReadBoolean();
    b.foreground = s.ReadBoolean();
    b.index = s.ReadInteger();
    b.x = s.ReadInteger();
    b.y = s.ReadInteger();
    b.htiled = s.ReadBoolean();
    b.vtiled = s.ReadBoolean();
    b.hspeed = s.ReadInteger();
    b.vspeed = s.ReadInteger();
    b.stretch = s.ReadBoolean();
  }

  r_enableviews = s.ReadBoolean();
  r_viewcount = s.ReadInteger();
  if (r_viewcount < 0 || r_viewcount > kRoomLayers) return false;
  for (int32_t i = 0; i < r_viewcount; ++i) {
    CView& v = r_view[size_t(i)];
    v.visible = s.ReadBoolean();
    for (int32_t* field : {&v.xview, &v.yview, &v.wview, &v.hview, &v.xport, &v.yport, &v.wport, &v.hport,
                           &v.hborder, &v.vborder, &v.hspeed, &v.vspeed, &v.index})
      *field = s.ReadInteger();
  }

  const int32_t instances = s.ReadInteger();
  if (!s.CountFits(instances, 20)) return false;
  r_instances.resize(size_t(instances));
  for (RRoomInstance& in : r_instances) {
    in.x = s.ReadInteger();
    in.y = s.ReadInteger();
    in.object = s.ReadInteger();
    in.id = s.ReadInteger();
    in.code = s.ReadString();
    if (extended) {
      in.xscale = s.ReadReal();
      in.yscale = s.ReadReal();
      SplitColour(s.ReadInteger(), in.blend, in.alpha);
    }
    if (r_version == 811) in.angle = s.ReadReal();
  }

  const int32_t tiles = s.ReadInteger();
  if (!s.CountFits(tiles, 36)) return false;
  r_tiles.resize(size_t(tiles));
  for (RTile& t : r_tiles) {
    t.x = s.ReadInteger();
    t.y = s.ReadInteger();
    t.index = s.ReadInteger();
    t.xo = s.ReadInteger();
    t.yo = s.ReadInteger();
    t.w = s.ReadInteger();
    t.h = s.ReadInteger();
    t.depth = s.ReadInteger();
    t.id = s.ReadInteger();
    if (extended) {
      t.xscale = s.ReadReal();
      t.yscale = s.ReadReal();
      SplitColour(s.ReadInteger(), t.blend, t.alpha);
    }
  }
  return true;
}

void CRoom::SaveToStream(CStream& s) const {
  const bool extended = r_version >= 810;
  s.WriteInteger(r_version);
  s.WriteString(r_caption);
  s.WriteInteger(r_width);
  s.WriteInteger(r_height);
  s.WriteInteger(r_speed);
  s.WriteBoolean(r_persistent);
  s.WriteInteger(r_color);
  s.WriteInteger(r_flags);
  s.WriteString(r_code);
  s.WriteInteger(r_backcount);
  for (int32_t i = 0; i < r_backcount; ++i) {
    const CBack& b = r_background[size_t(i)];
    s.WriteBoolean(b.visible);
    s.WriteBoolean(b.foreground);
    s.WriteInteger(b.index);
    s.WriteInteger(int32_t(b.x));
    s.WriteInteger(int32_t(b.y));
    s.WriteBoolean(b.htiled);
    s.WriteBoolean(b.vtiled);
    s.WriteInteger(int32_t(b.hspeed));
    s.WriteInteger(int32_t(b.vspeed));
    s.WriteBoolean(b.stretch);
  }
  s.WriteBoolean(r_enableviews);
  s.WriteInteger(r_viewcount);
  for (int32_t i = 0; i < r_viewcount; ++i) {
    const CView& v = r_view[size_t(i)];
    s.WriteBoolean(v.visible);
    for (int32_t field : {v.xview, v.yview, v.wview, v.hview, v.xport, v.yport, v.wport, v.hport, v.hborder,
                          v.vborder, v.hspeed, v.vspeed, v.index})
      s.WriteInteger(field);
  }
  s.WriteInteger(int32_t(r_instances.size()));
  for (const RRoomInstance& in : r_instances) {
    s.WriteInteger(in.x);
    s.WriteInteger(in.y);
    s.WriteInteger(in.object);
    s.WriteInteger(in.id);
    s.WriteString(in.code);
    if (extended) {
      s.WriteReal(in.xscale);
      s.WriteReal(in.yscale);
      s.WriteInteger(JoinColour(in.blend, in.alpha));
    }
    if (r_version == 811) s.WriteReal(in.angle);
  }
  s.WriteInteger(int32_t(r_tiles.size()));
  for (const RTile& t : r_tiles) {
    for (int32_t field : {int32_t(t.x), int32_t(t.y), t.index, t.xo, t.yo, t.w, t.h, int32_t(t.depth), t.id})
      s.WriteInteger(field);
    if (extended) {
      s.WriteReal(t.xscale);
      s.WriteReal(t.yscale);
      s.WriteInteger(JoinColour(t.blend, t.alpha));
    }
  }
}

bool Room_LoadAll(CStream& content, RWorldData& world, const CResourceList<CBackground>& backgrounds) {
  if (!Section_ReadList(content, world.rooms)) return false;
  world.roomLastInstanceId = content.ReadInteger();
  world.roomLastTileId = content.ReadInteger();
  for (int32_t r = 0; r < world.rooms.Count(); ++r) {
    CRoom* room = world.rooms.Get(r);
    if (!room) continue;
    for (int32_t i = 0; i < room->r_backcount; ++i) {
      CBack& b = room->r_background[size_t(i)];
      if (const CBackground* back = b.stretch ? backgrounds.Get(b.index) : nullptr) {
        if (back->GetWidth() > 0) b.xscale = double(room->r_width) / back->GetWidth();
        if (back->GetHeight() > 0) b.yscale = double(room->r_height) / back->GetHeight();
      }
    }
  }
  return true;
}

void Room_SaveAll(CStream& content, const RWorldData& world) {
  Section_WriteList(content, world.rooms);
  content.WriteInteger(world.roomLastInstanceId);
  content.WriteInteger(world.roomLastTileId);
}

bool RoomOrder_Load(CStream& content, RWorldData& world) {
  world.roomOrder.clear();
  if (content.ReadInteger() != kRoomOrderVersion) return false;
  const int32_t count = content.ReadInteger();
  if (count <= 0 || !content.CountFits(count, 4)) return false;
  for (int32_t i = 0; i < count; ++i) {
    const int32_t room = content.ReadInteger();
    // The game starts in the first room of the order and walks it with
    // next and previous: every entry must be a room that exists.
    if (!world.rooms.Exists(room)) return false;
    world.roomOrder.push_back(room);
  }
  return true;
}

void RoomOrder_Save(CStream& content, const RWorldData& world) {
  content.WriteInteger(kRoomOrderVersion);
  content.WriteInteger(int32_t(world.roomOrder.size()));
  for (int32_t room : world.roomOrder) content.WriteInteger(room);
}

}  // namespace tavrin
