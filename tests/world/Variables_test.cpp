// The world's built-in variables and the tile functions, through small games
// run with `tavrin --code`; the cases that need sprites or backgrounds run in
// this process with those resources put in place first.
#include <gtest/gtest.h>

#include <memory>

#include "graphics/Background_Class.h"
#include "graphics/Sprite_Class.h"
#include "script/Conformance.h"
#include "script/Variable_Main.h"
#include "world/Room_Main.h"
#include "world/Run_State.h"
#include "world/World_Main.h"
#include "graphics/Graphics_Data.h"
#include "world/World_Data.h"

namespace tavrin::test {

namespace {

std::string Refused(const std::string& code) {
  return ActionError(CodeError(1, code, 1, "Cannot assign to the variable"));
}

// A game that has background 0 (32 x 16) and sprite 0 (20 x 10, origin
// 4, 2), and whose next tile id is 10000041.
class WithResources : public ::testing::Test {
 protected:
  void SetUp() override {
    auto back = std::make_unique<CBackground>();
    back->i_bitmap = TBitmap32(32, 16);
    g_GraphicsData.backgrounds.Add(std::move(back), "back0");
    auto sprite = std::make_unique<CSprite>();
    sprite->i_numb = 1;
    sprite->i_bitmap.emplace_back(20, 10);
    sprite->i_xorig = 4;
    sprite->i_yorig = 2;
    g_GraphicsData.sprites.Add(std::move(sprite), "sprite0");
    g_World.lastTileId = g_WorldData.roomLastTileId = 10000040;
  }
  void TearDown() override {
    g_GraphicsData.backgrounds.Clear();
    g_GraphicsData.sprites.Clear();
  }
  static void Run(const std::vector<CodeCase>& cases) {
    for (CodeCase c : cases) {
      c.settings |= SET_INPROCESS;
      g_World.lastTileId = g_WorldData.roomLastTileId = 10000040;
      RunTable({c});
    }
  }
};

}  // namespace

TEST(WorldVariables, FlagsRoundingAndIndexRanges) {
  RunTable({
      {"flags store round(v) >= 1, error_occurred v >= 0.5",
       "visible = 0.4; a = visible; visible = 0.6; b = visible; visible = 0.5; c = visible;"
       "timeline_loop = 1.5; d = timeline_loop; timeline_running = 0.5; e = timeline_running;"
       "error_occurred = 0.5;" +
           Show({"a", "b", "c", "d", "e", "error_occurred"}),
       "0\n1\n0\n1\n0\n1\n", ""},
      {"an alarm index out of range is alarm 0", "alarm[12] = 5; alarm[31999] += 1;" + Show({"alarm[0]", "alarm[11]"}),
       "6\n-1\n", ""},
      {"rounded instance values, ties to even",
       "path_endaction = 2.5; timeline_index = 3.5; timeline_speed = 0.25; timeline_position = 1.5;" +
           Show({"path_endaction", "timeline_index", "timeline_speed", "timeline_position", "path_index"}),
       "2\n4\n0.25\n1.50\n-1\n", ""},
      {"path positions stay within 0 .. 1, other path values are stored as written",
       "path_position = 3; path_positionprevious = -2; path_speed = -4; path_scale = 0.5; path_orientation = 370;" +
           Show({"path_position", "path_positionprevious", "path_speed", "path_scale", "path_orientation"}) +
           "path_position = 0.25;" + Show({"path_position"}),
       "1\n0\n-4\n0.50\n370\n0.25\n", ""},
      {"a transition takes at least one step",
       Show({"transition_steps", "transition_kind"}) +
           "transition_kind = 2.5; transition_steps = 0; a = transition_steps; transition_steps = -3;"
           "b = transition_steps; transition_steps = 7.6;" +
           Show({"transition_kind", "a", "b", "transition_steps"}),
       "80\n0\n2\n1\n1\n8\n", ""},
      {"instance_id outside the list is noone",
       Show({"instance_count", "instance_id[0] == id", "instance_id[instance_count]", "instance_id[7]"}),
       "1\n1\n-4\n-4\n", ""},
  });
}

TEST(WorldVariables, RoomLayersAndViews) {
  RunTable({
      {"a layer index outside 0 .. 7 is layer 0",
       "background_x[3] = 7; a = background_x[8]; background_x[0] = 2.5; background_y[100] = 4;" +
           Show({"a", "background_x[8]", "background_x[3]", "background_y[0]", "background_hspeed[99]"}),
       "0\n2.50\n7\n4\n0\n", ""},
      {"layers start as the room gives them",
       Show({"background_visible[1]", "background_htiled[1]", "background_index[1]", "background_xscale[2]",
             "background_blend[2]", "background_alpha[7]", "background_width[0]", "background_height[0]"}),
       "0\n1\n-1\n1\n16777215\n1\n0\n0\n", ""},
      {"layer flags, rounded indices and colours, reals as written",
       "background_visible[1] = 0.6; background_foreground[1] = 0.5; background_vtiled[1] = 0.4;"
       "background_index[1] = 2.5; background_blend[1] = 255.5; background_xscale[1] = -0.5;"
       "background_vspeed[1] = 1.25; background_alpha[1] = 0.3;" +
           Show({"background_visible[1]", "background_foreground[1]", "background_vtiled[1]", "background_index[1]",
                 "background_blend[1]", "background_xscale[1]", "background_vspeed[1]", "background_alpha[1]",
                 "background_visible[0]"}),
       "1\n0\n0\n2\n256\n-0.50\n1.25\n0.30\n0\n", ""},
      {"room colour and its flag",
       "background_color = 255.5; background_showcolor = 0.4; a = background_showcolor; background_showcolor = 1;" +
           Show({"background_color", "a", "background_showcolor"}),
       "256\n0\n1\n", ""},
      {"views: flags, rounded integers, a real angle, view_current 0 outside drawing",
       "view_enabled = 0.6; view_visible[2] = 1; view_wview[2] = 100.5; view_xport[9] = -3.5;"
       "view_object[2] = 0; view_angle[2] = 12.5; view_hspeed[2] = 4.4;" +
           Show({"view_enabled", "view_visible[2]", "view_wview[2]", "view_xport[0]", "view_object[2]", "view_angle[2]",
                 "view_hspeed[2]", "view_vborder[2]", "view_hview[5]", "view_current"}),
       "1\n1\n100\n-4\n0\n12.50\n4\n32\n480\n0\n", ""},
  });
}

TEST(WorldVariables, GameValuesAndInput) {
  RunTable({
      {"captions and their display",
       Show({"caption_score", "caption_lives", "caption_health", "show_score", "show_lives", "show_health"}) +
           "caption_lives = 'Ships: '; show_score = 0.5; show_lives = 0.6; cursor_sprite = 1.5;" +
           Show({"caption_lives", "show_score", "show_lives", "cursor_sprite"}),
       "Score: \nLives: \nHealth: \n1\n0\n0\nShips: \n0\n1\n2\n", ""},
      {"input reads neutral until the player acts; writable parts store",
       Show({"mouse_x", "mouse_y", "mouse_button", "keyboard_key", "'[' + keyboard_lastchar + ']'",
             "'[' + keyboard_string + ']'"}) +
           "mouse_button = 2.5; mouse_lastbutton = 3; keyboard_key = 65.6; keyboard_lastkey = 13;"
           "keyboard_string = 'abc';" +
           Show({"mouse_button", "mouse_lastbutton", "keyboard_key", "keyboard_lastkey", "keyboard_string"}),
       "0\n0\n0\n0\n[]\n[]\n2\n3\n66\n13\nabc\n", ""},
      {"the last character keeps one whole character; empty text changes nothing",
       "keyboard_lastchar = 'xyz'; a = keyboard_lastchar; keyboard_lastchar = 'é!'; b = keyboard_lastchar;"
       "keyboard_lastchar = ''; c = keyboard_lastchar; keyboard_lastchar = '世界'; d = keyboard_lastchar;" +
           Show({"a", "b", "c", "d"}),
       "x\né\né\n世\n", ""},
      {"process facts", Show({"secure_mode", "debug_mode", "game_id", "display_aa"}), "0\n0\n0\n0\n", ""},
  });
}

TEST(WorldVariables, ReadOnlyVariablesRefuseWrites) {
  std::vector<CodeCase> cases;
  for (const char* code :
       {"path_index = 1", "sprite_width = 1", "sprite_yoffset = 1", "mouse_x = 1", "mouse_y = 1", "game_id = 1",
        "temp_directory = 'x'", "secure_mode = 0", "debug_mode = 1", "display_aa = 1", "view_current = 1",
        "background_width[0] = 1", "background_height[2] = 1", "instance_id[0] = 1"})
    cases.push_back({code, code, "", Refused(code)});
  RunTable(cases);
}

TEST(WorldVariables, RoomSpeedRefusesZeroAndBelow) {
  const std::string speedError = ActionError("Trying to set the room speed to a value <= 0.");
  RunTable({
      {"0 is refused", "room_speed = 0", "", speedError + Refused("room_speed = 0")},
      {"-0.4 rounds to 0", "room_speed = -0.4", "", speedError + Refused("room_speed = -0.4")},
      {"0.6 rounds to 1", "room_speed = 0.6;" + Show({"room_speed"}), "1\n", ""},
  });
}

TEST(WorldVariables, ShowingTheScoreIsRemembered) {
  g_World.game = RGameValues{};
  RunTable({{"show_score written", "show_score = 0", "", "", 0, SET_INPROCESS}});
  EXPECT_FALSE(g_World.game.show_score);
  EXPECT_TRUE(g_World.game.score_explicit);
}

TEST(WorldVariables, OutsideAnyRoomReadsAFreshRoomAndDropsWrites) {
  Variable_RegisterBuiltins();
  World_Install();
  ASSERT_EQ(g_World.room, nullptr);
  auto var = [](const char* name) -> const RBuiltinVariable& {
    return g_BuiltinVars.at(size_t(Variable_BuiltinFind(name)));
  };
  auto read = [&](const char* name, int32_t index) {
    RValue v;
    EXPECT_TRUE(var(name).getter(nullptr, index, v)) << name;
    return v.val;
  };
  auto write = [&](const char* name, int32_t index, double value) {
    EXPECT_TRUE(var(name).setter(nullptr, index, RValue::Real(value))) << name;
  };
  write("background_xscale", 1, 5);
  write("view_wview", 3, 5);
  write("background_color", 0, 5);
  write("view_enabled", 0, 1);
  const struct {
    const char* name;
    int32_t index;
    double value;
  } cases[] = {{"background_xscale", 1, 1}, {"view_wview", 3, 640}, {"background_index", 0, -1},
               {"background_color", 0, 0xC0C0C0}, {"view_enabled", 0, 0}, {"background_showcolor", 0, 1},
               {"background_width", 2, 0}};
  for (const auto& c : cases) EXPECT_EQ(read(c.name, c.index), c.value) << c.name;
}

TEST_F(WithResources, SpriteMeasuresFollowTheScale) {
  Run({
      {"without a sprite all are 0", Show({"sprite_width", "sprite_height", "sprite_xoffset", "sprite_yoffset"}),
       "0\n0\n0\n0\n", ""},
      {"size and origin times the image scales",
       "sprite_index = 0;" + Show({"sprite_width", "sprite_height", "sprite_xoffset", "sprite_yoffset"}) +
           "image_xscale = 2; image_yscale = -0.5;" +
           Show({"sprite_width", "sprite_height", "sprite_xoffset", "sprite_yoffset"}),
       "20\n10\n4\n2\n40\n-5\n8\n-1\n", ""},
      {"a layer's size is its background's",
       "background_index[1] = 0;" + Show({"background_width[1]", "background_height[1]", "background_width[0]"}),
       "32\n16\n0\n", ""},
  });
}

TEST_F(WithResources, TilesAddedReadAndChanged) {
  Run({
      {"ids continue from the last tile id; regions are rounded, the rest as given",
       "a = tile_add(0, 1.5, 2.5, 16.4, 8.6, 10.5, 20.25, 5); b = tile_add(0, 0, 0, 1, 1, 0, 0, 0);" +
           Show({"a", "b", "tile_get_left(a)", "tile_get_top(a)", "tile_get_width(a)", "tile_get_height(a)",
                 "tile_get_x(a)", "tile_get_y(a)", "tile_get_depth(a)", "tile_get_visible(a)", "tile_get_xscale(a)",
                 "tile_get_yscale(a)", "tile_get_blend(a)", "tile_get_alpha(a)", "tile_get_background(a)"}),
       "10000041\n10000042\n2\n2\n16\n9\n10.50\n20.25\n5\n1\n1\n1\n16777215\n1\n0\n", ""},
      {"a missing background adds nothing", Show({"tile_add(1, 0, 0, 8, 8, 0, 0, 0)", "tile_exists(10000041)"}),
       "-1\n0\n", ActionError("Background does not exist.")},
      {"setters change one tile",
       "t = tile_add(0, 0, 0, 8, 8, 0, 0, 0); u = tile_add(0, 0, 0, 8, 8, 0, 0, 0);"
       "tile_set_position(t, 3.5, -2); tile_set_visible(t, 0.4); tile_set_region(t, 1.5, 2, 3.5, 4.6);"
       "tile_set_depth(t, -7.5); tile_set_scale(t, 2, 0.5); tile_set_blend(t, 255.5); tile_set_alpha(t, 0.25);" +
           Show({"tile_get_x(t)", "tile_get_y(t)", "tile_get_visible(t)", "tile_get_left(t)", "tile_get_top(t)",
                 "tile_get_width(t)", "tile_get_height(t)", "tile_get_depth(t)", "tile_get_xscale(t)",
                 "tile_get_yscale(t)", "tile_get_blend(t)", "tile_get_alpha(t)", "tile_get_x(u)", "tile_get_depth(u)"}),
       "3.50\n-2\n0\n2\n2\n4\n5\n-7.50\n2\n0.50\n256\n0.25\n0\n0\n", ""},
      {"an unknown tile reads 0 and is reported for each use",
       "a = tile_get_x(5); tile_set_alpha(5, 1); tile_delete(5);" + Show({"a", "tile_exists(5)"}), "0\n0\n",
       ActionError("Tile does not exist.") + ActionError("Tile does not exist.") + ActionError("Tile does not exist.")},
      {"a background change needs the background",
       "t = tile_add(0, 0, 0, 8, 8, 0, 0, 0); tile_set_background(t, 3); a = tile_get_background(t);"
       "tile_set_background(t, 0);" +
           Show({"a", "tile_get_background(t)"}),
       "0\n0\n", ActionError("Background does not exist.")},
      {"a deleted tile is gone, the others stay",
       "t = tile_add(0, 0, 0, 8, 8, 0, 0, 0); u = tile_add(0, 0, 0, 8, 8, 0, 0, 3); tile_delete(t);" +
           Show({"tile_exists(t)", "tile_exists(u)", "tile_get_depth(u)"}),
       "0\n1\n3\n", ""},
  });
}

TEST_F(WithResources, TilesFoundAndDeletedByPosition) {
  // Back at depth 10 and front at depth -10, both 16 x 16 at (0, 0).
  const std::string two = "back = tile_add(0, 0, 0, 16, 16, 0, 0, 10); front = tile_add(0, 0, 0, 16, 16, 0, 0, -10);";
  Run({
      {"the foreground flag picks tiles of negative depth; far edges are outside",
       two +
           Show({"tile_find(5, 5, false) == back", "tile_find(0, 0, true) == front", "tile_find(15.9, 15.9, 0) == back",
                 "tile_find(16, 5, false)", "tile_find(5, 16, true)", "tile_find(-0.1, 5, false)"}),
       "1\n1\n1\n-1\n-1\n-1\n", ""},
      {"scale widens what a tile covers",
       two + "tile_set_scale(back, 2, 2);" + Show({"tile_find(31, 31, false) == back", "tile_find(32, 5, false)"}),
       "1\n-1\n", ""},
      {"delete_at includes the far edges and keeps the other side",
       two + "tile_delete_at(16, 16, false);" + Show({"tile_exists(back)", "tile_exists(front)"}) +
           "tile_delete_at(16.5, 0, true);" + Show({"tile_exists(front)"}) + "tile_delete_at(0, 16, true);" +
           Show({"tile_exists(front)"}),
       "0\n1\n1\n0\n", ""},
      {"depth 0 counts as both sides for delete_at, as background for find",
       "z = tile_add(0, 0, 0, 8, 8, 0, 0, 0);" + Show({"tile_find(1, 1, true)", "tile_find(1, 1, false) == z"}) +
           "tile_delete_at(1, 1, true);" + Show({"tile_exists(z)"}),
       "-1\n1\n0\n", ""},
  });
}

TEST_F(WithResources, TileLayers) {
  const std::string three =
      "a = tile_add(0, 0, 0, 8, 8, 0, 0, 5); b = tile_add(0, 0, 0, 8, 8, 20, 0, 5);"
      "c = tile_add(0, 0, 0, 8, 8, 0, 0, 6);";
  Run({
      {"hide and show only that depth",
       three + "tile_layer_hide(5);" + Show({"tile_get_visible(a)", "tile_get_visible(b)", "tile_get_visible(c)"}) +
           "tile_layer_show(5);" + Show({"tile_get_visible(b)"}),
       "0\n0\n1\n1\n", ""},
      {"shift moves the layer",
       three + "tile_layer_shift(5, 2.5, -1);" + Show({"tile_get_x(b)", "tile_get_y(a)", "tile_get_x(c)"}),
       "22.50\n-1\n0\n", ""},
      {"find within one depth, far edges outside",
       three + Show({"tile_layer_find(6, 1, 1) == c", "tile_layer_find(5, 21, 1) == b", "tile_layer_find(5, 28, 1)",
                     "tile_layer_find(7, 1, 1)"}),
       "1\n1\n-1\n-1\n", ""},
      {"delete_at within one depth, far edges outside",
       three + "tile_layer_delete_at(5, 8, 1); tile_layer_delete_at(5, 1, 1);" +
           Show({"tile_exists(a)", "tile_exists(b)", "tile_exists(c)"}),
       "0\n1\n1\n", ""},
      {"a layer moves to another depth, then goes",
       three + "tile_layer_depth(5, 6);" + Show({"tile_get_depth(a)", "tile_get_depth(b)"}) + "tile_layer_delete(6);" +
           Show({"tile_exists(a)", "tile_exists(b)", "tile_exists(c)"}),
       "6\n6\n0\n0\n0\n", ""},
  });
}

}  // namespace tavrin::test
