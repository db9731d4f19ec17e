// The built-in functions on the tiles of the room in play: adding tiles,
// finding them by id or position, reading and changing their fields, and
// working on whole depth layers of tiles at once.
#include "graphics/Background_Class.h"
#include "script/Code_Error.h"
#include "script/Code_Function.h"
#include "world/Room_Main.h"
#include "world/World_Main.h"
#include "world/World_Routine.h"
#include "graphics/Graphics_Data.h"

namespace tavrin {

namespace {

// The tile with the id given, or none after reporting it (also when there is
// no room, since then there are no tiles).
RTile* TileById(const RValue& id) {
  const int32_t pos = g_World.room ? g_World.room->FindTile(ArgInt(id)) : -1;
  if (pos < 0) {
    Error_ReportAction("Tile does not exist.", false);
    return nullptr;
  }
  return &g_World.room->r_tiles[size_t(pos)];
}

bool BackgroundExists(const RValue& back) {
  if (g_GraphicsData.backgrounds.Exists(ArgInt(back))) return true;
  Error_ReportAction("Background does not exist.", false);
  return false;
}

// tile_get_*: one field of the tile; 0 for a missing tile.
template <auto Field>
void F_TileGet(CInstanceBase*, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  if (const RTile* t = TileById(a[0])) r.SetReal(double(t->*Field));
}

// tile_set_*: calls f with the tile and the remaining arguments.
template <class F>
void WithTile(RArgs a, F f) {
  if (RTile* t = TileById(a[0])) f(*t, a + 1);
}
void F_TileSetVisible(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) {
  WithTile(a, [](RTile& t, RArgs v) { t.visible = Value_IsTrue(v[0]); });
}
void F_TileSetBackground(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) {
  WithTile(a, [](RTile& t, RArgs v) {
    if (BackgroundExists(v[0])) t.index = ArgInt(v[0]);
  });
}
void F_TileSetRegion(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) {
  WithTile(a, [](RTile& t, RArgs v) {
    t.xo = ArgInt(v[0]);
    t.yo = ArgInt(v[1]);
    t.w = ArgInt(v[2]);
    t.h = ArgInt(v[3]);
  });
}
void F_TileSetPosition(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) {
  WithTile(a, [](RTile& t, RArgs v) {
    t.x = v[0].AsReal();
    t.y = v[1].AsReal();
  });
}
void F_TileSetDepth(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) {
  WithTile(a, [](RTile& t, RArgs v) { t.depth = v[0].AsReal(); });
}
void F_TileSetScale(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) {
  WithTile(a, [](RTile& t, RArgs v) {
    t.xscale = v[0].AsReal();
    t.yscale = v[1].AsReal();
  });
}
void F_TileSetBlend(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) {
  WithTile(a, [](RTile& t, RArgs v) { t.blend = ArgInt(v[0]); });
}
void F_TileSetAlpha(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) {
  WithTile(a, [](RTile& t, RArgs v) { t.alpha = v[0].AsReal(); });
}

// tile_add(back, left, top, width, height, x, y, depth): the new tile's id,
// or -1 when nothing was added.
void F_TileAdd(CInstanceBase*, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  r.SetReal(-1);
  if (!BackgroundExists(a[0]) || !g_World.room) return;
  RTile t;
  t.index = ArgInt(a[0]);
  t.xo = ArgInt(a[1]);
  t.yo = ArgInt(a[2]);
  t.w = ArgInt(a[3]);
  t.h = ArgInt(a[4]);
  t.x = a[5].AsReal();
  t.y = a[6].AsReal();
  t.depth = a[7].AsReal();
  const int32_t pos = g_World.room->AddTile(t);
  r.SetReal(g_World.room->r_tiles[size_t(pos)].id);
}

void F_TileDelete(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (const RTile* t = TileById(a[0])) g_World.room->DeleteTile(int32_t(t - g_World.room->r_tiles.data()));
}
void F_TileExists(CInstanceBase*, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  r.SetReal(g_World.room && g_World.room->FindTile(ArgInt(a[0])) >= 0 ? 1 : 0);
}

// The id of the tile at a position in the room, or -1.
double IdAt(int32_t pos) { return pos >= 0 ? g_World.room->r_tiles[size_t(pos)].id : -1; }

void F_TileFind(CInstanceBase*, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  r.SetReal(g_World.room ? IdAt(g_World.room->FindTileAt(a[0].AsReal(), a[1].AsReal(), Value_IsTrue(a[2]))) : -1);
}
void F_TileDeleteAt(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (g_World.room) g_World.room->DeleteTilesAt(a[0].AsReal(), a[1].AsReal(), Value_IsTrue(a[2]));
}

// tile_layer_*: the first argument is the depth of the layer.
void F_LayerHide(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (g_World.room) g_World.room->HideTilesDepth(a[0].AsReal());
}
void F_LayerShow(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (g_World.room) g_World.room->ShowTilesDepth(a[0].AsReal());
}
void F_LayerDelete(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (g_World.room) g_World.room->DeleteTilesDepth(a[0].AsReal());
}
void F_LayerShift(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (g_World.room) g_World.room->ShiftTilesDepth(a[0].AsReal(), a[1].AsReal(), a[2].AsReal());
}
void F_LayerFind(CInstanceBase*, CInstanceBase*, int32_t, RValue& r, RArgs a) {
  r.SetReal(g_World.room ? IdAt(g_World.room->FindTileAtDepth(a[0].AsReal(), a[1].AsReal(), a[2].AsReal())) : -1);
}
void F_LayerDeleteAt(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (g_World.room) g_World.room->DeleteTilesAtDepth(a[0].AsReal(), a[1].AsReal(), a[2].AsReal());
}
void F_LayerDepth(CInstanceBase*, CInstanceBase*, int32_t, RValue&, RArgs a) {
  if (g_World.room) g_World.room->ChangeTilesDepth(a[0].AsReal(), a[1].AsReal());
}

}  // namespace

void Tile_RegisterFunctions() {
  static const RFunctionRoutine kRoutines[] = {
      {"tile_get_x", F_TileGet<&RTile::x>},
      {"tile_get_y", F_TileGet<&RTile::y>},
      {"tile_get_left", F_TileGet<&RTile::xo>},
      {"tile_get_top", F_TileGet<&RTile::yo>},
      {"tile_get_width", F_TileGet<&RTile::w>},
      {"tile_get_height", F_TileGet<&RTile::h>},
      {"tile_get_depth", F_TileGet<&RTile::depth>},
      {"tile_get_visible", F_TileGet<&RTile::visible>},
      {"tile_get_xscale", F_TileGet<&RTile::xscale>},
      {"tile_get_yscale", F_TileGet<&RTile::yscale>},
      {"tile_get_blend", F_TileGet<&RTile::blend>},
      {"tile_get_alpha", F_TileGet<&RTile::alpha>},
      {"tile_get_background", F_TileGet<&RTile::index>},
      {"tile_set_visible", F_TileSetVisible},
      {"tile_set_background", F_TileSetBackground},
      {"tile_set_region", F_TileSetRegion},
      {"tile_set_position", F_TileSetPosition},
      {"tile_set_depth", F_TileSetDepth},
      {"tile_set_scale", F_TileSetScale},
      {"tile_set_blend", F_TileSetBlend},
      {"tile_set_alpha", F_TileSetAlpha},
      {"tile_add", F_TileAdd},
      {"tile_find", F_TileFind},
      {"tile_exists", F_TileExists},
      {"tile_delete", F_TileDelete},
      {"tile_delete_at", F_TileDeleteAt},
      {"tile_layer_hide", F_LayerHide},
      {"tile_layer_show", F_LayerShow},
      {"tile_layer_delete", F_LayerDelete},
      {"tile_layer_shift", F_LayerShift},
      {"tile_layer_find", F_LayerFind},
      {"tile_layer_delete_at", F_LayerDeleteAt},
      {"tile_layer_depth", F_LayerDepth},
  };
  Function_ImplementTable(kRoutines);
}

}  // namespace tavrin
