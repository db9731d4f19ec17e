// What the room renderer draws, and in which order, seen through a painter
// that writes down every call: layers, tiles and instances merged by depth,
// draw events in place of sprites, and views that follow their instances.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "graphics/Graphics_Data.h"
#include "runner/Runner_Host.h"
#include "script/Code_Function.h"
#include "world/Event_Action.h"
#include "world/Instance_Class.h"
#include "world/Room_Draw.h"
#include "world/Room_Main.h"
#include "world/Run_State.h"
#include "world/World_Data.h"

namespace tavrin {
namespace {

class CRecordingPainter : public IRoomPainter {
 public:
  std::vector<std::string> calls;
  void SetView(const CView& v) override { calls.push_back("view " + std::to_string(v.xview)); }
  void SetWholeRegion() override { calls.push_back("region"); }
  void MapViews(const CRoom&) override {}
  void ClearToWindowColor() override { calls.push_back("clear window"); }
  void Clear(int32_t color) override { calls.push_back("clear " + std::to_string(color)); }
  void Layer(const CBack& layer, const RRoomRect&) override {
    calls.push_back(std::string(layer.foreground ? "foreground " : "background ") + std::to_string(layer.index));
  }
  void Tile(const RTile& tile) override { calls.push_back("tile " + std::to_string(tile.id)); }
  void Sprite(const CInstance& inst, bool simple) override {
    calls.push_back("sprite " + std::to_string(inst.i_id) + (simple ? "" : " ext"));
  }
  void Cursor(int32_t sprite, int32_t frame) override {
    calls.push_back("cursor " + std::to_string(sprite) + " " + std::to_string(frame));
  }
};

CRecordingPainter* g_painter = nullptr;

// A room of 200 x 100 holding `instances` of obj_plain (sprite 0) and
// obj_drawn (a draw event that runs `drawCode`), and `tiles`.
struct RPlaced {
  int32_t object;  // 0 plain, 1 with a draw event
  double depth;
};

class RoomDraw : public ::testing::Test {
 protected:
  void SetUp() override {
    Runner_InstallEngineHost();
    g_WorldData.Clear();
    g_GraphicsData.Clear();
    g_World.Reset();
    auto sprite = std::make_unique<CSprite>();
    sprite->i_numb = 1;
    sprite->i_bitmap = {TBitmap32(4, 4, 0xFFFFFFFF)};
    g_GraphicsData.sprites.Add(std::move(sprite), "spr");
    auto back = std::make_unique<CBackground>();
    back->i_bitmap = TBitmap32(16, 16, 0xFF000000);
    g_GraphicsData.backgrounds.Add(std::move(back), "back");
    // A test built-in: the room drawn again from inside a draw event.
    if (Function_Find("draw_room_again") < 0)
      Function_Register(
          "draw_room_again", [](CInstanceBase*, CInstanceBase*, int32_t, RValue&, RValue*) { Room_Draw(*g_painter, -1, 0); },
          0);
  }
  void TearDown() override {
    Room_FreeAll();
    g_WorldData.Clear();
    g_GraphicsData.Clear();
    g_World.Reset();
  }

  void Build(const std::vector<RPlaced>& instances, const std::vector<std::pair<int32_t, double>>& tiles,
             const std::string& drawCode = "", const std::function<void(CRoom&)>& configure = {}) {
    auto plain = std::make_unique<CObject>();
    plain->o_spriteindex = 0;
    g_WorldData.objects.Add(std::move(plain), "obj_plain");
    auto drawn = std::make_unique<CObject>();
    drawn->o_spriteindex = 0;
    drawn->AddEvent(EV_DRAW, 0).e_actions.push_back(CAction::CreateCode(drawCode.empty() ? "x = x" : drawCode));
    g_WorldData.objects.Add(std::move(drawn), "obj_drawn");
    auto room = std::make_unique<CRoom>();
    room->r_width = 200;
    room->r_height = 100;
    room->r_color = 7;
    room->r_background[0].visible = true;
    room->r_background[0].index = 0;
    room->r_background[1].visible = true;
    room->r_background[1].foreground = true;
    room->r_background[1].index = 0;
    int32_t id = kFirstInstanceId;
    for (const RPlaced& p : instances) {
      RRoomInstance placed;
      placed.object = p.object;
      placed.id = ++id;
      room->r_instances.push_back(placed);
    }
    int32_t tileId = kFirstTileId;
    for (const auto& [x, depth] : tiles) {
      RTile t;
      t.x = x;
      t.index = 0;
      t.w = t.h = 16;
      t.depth = depth;
      t.id = ++tileId;
      room->r_tiles.push_back(t);
    }
    if (configure) configure(*room);
    g_WorldData.rooms.Add(std::move(room), "room");
    g_WorldData.roomOrder = {0};
    Room_PrepareIds();
    ASSERT_TRUE(Object_CompileAll());
    Room_Goto(0, true);
    ASSERT_NE(g_World.room, nullptr);
    for (size_t k = 0; k < instances.size(); ++k) g_World.room->InstanceAt(int32_t(k))->i_depth = instances[k].depth;
  }

  std::vector<std::string> Draw(int32_t cursor = -1) {
    CRecordingPainter painter;
    g_painter = &painter;
    Room_Draw(painter, cursor, 3);
    g_painter = nullptr;
    return painter.calls;
  }
};

TEST_F(RoomDraw, LayersTilesAndInstancesMergeByDepth) {
  Build({{0, 10}, {0, -5}, {0, 0}}, {{0, 10}, {300, 20}, {0, -10}});
  // Instances 100001 (depth 10), 100002 (-5), 100003 (0); tiles 10000001 (10),
  // 10000002 (20, outside the room's rectangle), 10000003 (-10).
  EXPECT_EQ(Draw(0), (std::vector<std::string>{"region", "clear 7", "background 0", "sprite 100001", "tile 10000001",
                                                "sprite 100003", "sprite 100002", "tile 10000003", "foreground 0",
                                                "cursor 0 3"}))
      << "at equal depth the instance is drawn first and the tile over it";
}

TEST_F(RoomDraw, HiddenInstancesAndTilesAreSkippedAndDrawEventsReplaceTheSprite) {
  Build({{0, 5}, {1, 4}, {0, 3}}, {{0, 4}, {0, 2}});
  CRunRoom& room = *g_World.room;
  room.InstanceAt(0)->i_visible = false;
  room.InstanceAt(2)->i_imageangle = 30;
  room.r_tiles[1].visible = false;
  room.r_flags = 0;  // no room colour
  // 100001 is hidden; 100002 (depth 4) has a draw event that draws nothing,
  // and goes before the tile of the same depth; the second tile is hidden.
  EXPECT_EQ(Draw(), (std::vector<std::string>{"region", "background 0", "tile 10000001", "sprite 100003 ext",
                                              "foreground 0"}));
}

TEST_F(RoomDraw, DrawEventsMayChangeTheListsAndCannotDrawTheRoomAgain) {
  // The draw event adds instances and deletes every tile while the merge walks
  // the lists, and asks for the room to be drawn again.
  Build({{1, 0}}, {{0, -1}, {0, -2}},
        "draw_room_again(); if (instance_number(obj_plain) < 3) instance_create(0, 0, obj_plain); "
        "tile_delete(10000001); tile_delete(10000002)");
  const std::vector<std::string> calls = Draw();
  EXPECT_EQ(calls.front(), "region");
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "region"), 1) << "drawn once";
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "background 0"), 1);
  EXPECT_EQ(calls.back(), "foreground 0");
  EXPECT_EQ(g_World.room->r_tiles.size(), 0u);
  EXPECT_EQ(g_World.room->InstanceCount(), 2);
  EXPECT_NE(std::find(calls.begin(), calls.end(), "sprite 100002"), calls.end()) << "the new instance is drawn too";
}

TEST_F(RoomDraw, ViewsFollowTheirInstanceWithinBordersRoomAndSpeed) {
  struct Case {
    const char* name;
    int32_t roomWidth, wview, hborder, hspeed, xview;
    double x;
    int32_t expected;
  };
  const Case cases[] = {
      {"inside the borders: the view stays", 1000, 320, 32, -1, 100, 200, 100},
      {"within 32 of the right edge: the view moves", 1000, 320, 32, -1, 100, 400, 112},
      {"within 32 of the left edge", 1000, 320, 32, -1, 100, 110, 78},
      {"borders that meet keep the instance centred", 1000, 320, 200, -1, 100, 500, 340},
      {"a speed limit of 4", 1000, 320, 32, 4, 100, 400, 104},
      {"inside the room on the left", 1000, 320, 32, -1, 100, 10, 0},
      {"inside the room on the right", 1000, 320, 32, -1, 600, 990, 680},
      {"a view wider than the room ends before 0", 200, 320, 32, -1, 0, 100, -120},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Build({{0, 0}}, {}, "", [&](CRoom& room) {
      room.r_width = c.roomWidth;
      room.r_height = 480;
      room.r_enableviews = true;
      CView& v = room.r_view[0];
      v.visible = true;
      v.wview = c.wview;
      v.hview = 480;
      v.hborder = c.hborder;
      v.hspeed = c.hspeed;
      v.xview = c.xview;
      v.index = 0;  // obj_plain
    });
    CRunRoom& room = *g_World.room;
    room.InstanceAt(0)->i_x = c.x;
    room.InstanceAt(0)->i_y = 240;
    Room_FollowViews(room);
    EXPECT_EQ(room.r_view[0].xview, c.expected);
    TearDown();
    SetUp();
  }
}

}  // namespace
}  // namespace tavrin
