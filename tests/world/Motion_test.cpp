// Motion and paths as game code sees them, through `tavrin --code`: the
// coupling of speed and direction, the motion functions, and the path
// functions with their errors. The blank game's room is 640 x 480 and its one
// instance, without a sprite, starts at (0, 0).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "graphics/Sprite_Class.h"
#include "script/Code_Random.h"
#include "script/Conformance.h"
#include "world/Instance_Class.h"
#include "world/Motion_Main.h"
#include "graphics/Graphics_Data.h"

namespace tavrin::test {
namespace {

TEST(Motion, SpeedAndDirectionAlwaysAgree) {
  RunTable({
      {"components give direction and speed; a new speed keeps the direction, snapped to whole numbers",
       "hspeed = 3; vspeed = -4;\n" + Show({"direction", "speed"}) + "speed = 10;\n" + Show({"hspeed", "vspeed"}),
       "53.13\n5\n6\n-8\n", ""},
      {"a direction is kept within 0 to 360",
       "direction = -90; a = direction; direction = 725; b = direction;\n" + Show({"a", "b", "vspeed"}), "270\n5\n0\n",
       ""},
      {"straight down, up and still",
       "vspeed = 2; a = direction; vspeed = -2; b = direction; vspeed = 0; c = direction;\n" + Show({"a", "b", "c"}),
       "270\n90\n0\n", ""},
      {"a negative speed moves against the direction", "direction = 0; speed = -2;\n" + Show({"hspeed", "speed"}),
       "-2\n-2\n", ""},
      {"motion_set sets direction then speed; motion_add adds a vector",
       "motion_set(90, 4); a = vspeed; motion_add(0, 4);\n" + Show({"a", "hspeed", "vspeed", "direction", "speed"}),
       "-4\n4\n-4\n45\n5.66\n", ""},
      {"move_towards_point aims at the point with the given speed",
       "x = 10; y = 10; move_towards_point(13, 14, 10);\n" + Show({"hspeed", "vspeed", "direction"}),
       "6\n8\n306.87\n", ""},
  });
}

TEST(Motion, SnappingWrappingAndDistances) {
  RunTable({
      {"move_snap rounds to the nearest multiple, halves to even; 0 leaves an axis alone",
       "x = 25; y = 17; move_snap(10, 0); a = x; b = y; x = 35; move_snap(10, 4);\n" + Show({"a", "b", "x", "y"}),
       "20\n17\n40\n16\n", ""},
      {"place_snapped tolerates a thousandth",
       "x = 32.0005; y = 7;\n" + Show({"place_snapped(16, 0)", "place_snapped(16, 7)", "place_snapped(16, 2)"}),
       "1\n1\n0\n", ""},
      {"move_wrap moves by the room size plus twice the margin, only past the margin",
       "x = -11; y = -9; move_wrap(true, true, 10);\n" + Show({"x", "y"}) + "x = 651; move_wrap(true, false, 10);\n" +
           Show({"x"}),
       "649\n-9\n-9\n", ""},
      {"an instance without a sprite measures from its position",
       "x = 10; y = 10;\n" + Show({"distance_to_point(13, 14)", "distance_to_point(10, 10)", "distance_to_point(7, 6)"}),
       "5\n0\n5\n", ""},
      {"distance_to_object: the nearest, never self; none at all is 1000000",
       "if (instance_number(object0) > 1) exit;\n" + Show({"distance_to_object(all)", "distance_to_object(object0)"}) +
           "a = instance_create(30, 40, object0); b = instance_create(6, 8, object0);\n" +
           Show({"distance_to_object(object0)", "distance_to_object(a)", "distance_to_object(self)"}) +
           "with (b) instance_destroy();\n" + Show({"distance_to_object(all)"}),
       "1000000\n1000000\n10\n50\n1000000\n50\n", ""},
      {"huge and non-finite positions snap, wrap and measure without fault",
       "inf = power(10, 300) * power(10, 300); x = inf; y = inf - inf; move_snap(10, 10); move_wrap(true, true, 0);\n"
       "a = place_snapped(3, 3); x = power(10, 300); move_snap(7, 0);\n" +
           Show({"a", "x == power(10, 300)", "distance_to_point(0, 0) > 0"}),
       "0\n1\n1\n", ""},
  });
}

TEST(Motion, PathFunctions) {
  const std::string square = "p = path_add(); path_add_point(p, 0, 0, 100); path_add_point(p, 100, 0, 50);\n"
                             "path_add_point(p, 100, 100, 100); path_add_point(p, 0, 100, 100);\n";
  RunTable({
      {"a new path is named after its index and starts closed, straight, at precision 4",
       square + Show({"p", "path_get_name(p)", "path_name(p)", "path_exists(p)", "path_get_kind(p)",
                      "path_get_closed(p)", "path_get_precision(p)", "path_get_number(p)", "path_get_length(p)"}),
       "0\n__newpath0\n__newpath0\n1\n0\n1\n4\n4\n400\n", ""},
      {"positions and speed factors along the closed square",
       square + Show({"path_get_x(p, 0.25)", "path_get_y(p, 0.625)", "path_get_speed(p, 0.125)",
                      "path_get_x(p, 2)", "path_get_y(p, -1)"}),
       "100\n100\n75\n0\n0\n", ""},
      {"control points; out of range reads 0, 0 and a speed of 1",
       square + Show({"path_get_point_x(p, 1)", "path_get_point_speed(p, 1)", "path_get_point_x(p, 4)",
                      "path_get_point_y(p, -1)", "path_get_point_speed(p, 9)"}),
       "100\n50\n0\n0\n1\n", ""},
      {"settings are kept in range and change the length",
       square + "path_set_closed(p, false); a = path_get_length(p); path_set_kind(p, 7); b = path_get_kind(p);\n"
                "path_set_precision(p, 12); path_set_kind(p, 1);\n" +
           Show({"a", "b", "path_get_precision(p)", "path_get_length(p) < 300"}),
       "300\n0\n8\n1\n", ""},
      {"point editing and transformations",
       square + "path_delete_point(p, 3); path_insert_point(p, 0, -50, 0, 100); path_change_point(p, 1, 0, 10, 100);\n"
                "path_shift(p, 5, 5); path_mirror(p);\n" +
           Show({"path_get_number(p)", "path_get_point_x(p, 0)", "path_get_point_y(p, 1)"}) +
           "path_clear_points(p);\n" + Show({"path_get_number(p)", "path_get_length(p)", "path_get_x(p, 0.5)"}),
       "4\n105\n15\n0\n0\n0\n", ""},
      {"duplicate, assign and append copy points; reverse, flip, rotate and scale act on the copy only",
       square + "q = path_duplicate(p); path_reverse(q); path_flip(q); path_rotate(q, 90); path_scale(q, 2, 2);\n"
                "r = path_add(); path_assign(r, p); path_append(r, p);\n" +
           Show({"q", "path_get_point_x(p, 0)", "path_get_number(r)", "path_get_point_speed(r, 5)",
                 "path_get_name(q)"}),
       "1\n0\n8\n50\n__newpath1\n", ""},
      {"a deleted path reads -1 and <undefined>; changes to it do nothing",
       square + "path_delete(p); path_add_point(p, 1, 1, 1); path_set_kind(p, 1);\n" +
           Show({"path_exists(p)", "path_get_length(p)", "path_get_x(p, 0)", "path_get_point_x(p, 0)",
                 "path_get_name(p)", "path_name(-1)"}),
       "0\n-1\n-1\n-1\n<undefined>\n<undefined>\n", ""},
      {"a failed duplicate gives -1, never the index of a real path", Show({"path_duplicate(3)"}), "-1\n",
       ActionError("Trying to duplicate non-existing path.")},
      {"assigning from a missing path or onto an index beyond the list fails",
       square + "path_assign(p, 5);\n", "", ActionError("Error assigning a path.")},
      {"assigning onto a deleted entry makes the path again",
       square + "q = path_add(); path_delete(q); path_assign(q, p);\n" +
           Show({"path_exists(q)", "path_get_length(q)", "path_get_name(q)"}),
       "1\n400\n__newpath1\n", ""},
      {"appending to a missing path", square + "path_append(4, p);\n", "",
       ActionError("Appending to non-existing path.")},
      {"appending a missing path", square + "path_append(p, 4);\n", "", ActionError("Appending a non-existing path.")},
      {"deleting a missing path", "path_delete(0);\n", "", ActionError("Trying to delete non-existing path.")},
  });
}

TEST(Motion, StartingAPathPlacesTheInstance) {
  const std::string line = "p = path_add(); path_set_closed(p, false); path_add_point(p, 100, 50, 100);"
                           " path_add_point(p, 200, 50, 100);\n";
  RunTable({
      {"absolute: on the first point, or on the last with a negative speed; relative: stays",
       line + "path_start(p, 4, 0, true); a = x; path_start(p, -4, 0, true); b = x; x = 7; path_start(p, 4, 0, false);\n" +
           Show({"a", "b", "x"}),
       "100\n200\n7\n", ""},
      {"a path of no length or a missing path is not followed and does not move the instance",
       "p = path_add(); path_add_point(p, 100, 50, 100); path_start(p, 4, 0, true); path_start(9, 4, 0, true);\n" +
           Show({"x", "y"}),
       "0\n0\n", ""},
  });
}

// Placing at random, with the free-place test played by the test: every
// place tried is recorded.
struct RTried {
  static inline std::vector<std::pair<double, double>> places;
  static inline bool answer = true;
  static bool Free(CInstance&, double x, double y) {
    places.emplace_back(x, y);
    return answer;
  }
};

class MoveRandom : public ::testing::Test {
 protected:
  void SetUp() override {
    RTried::places.clear();
    RTried::answer = true;
    Random_SetSeed(11);
    auto wide = std::make_unique<CSprite>();
    wide->i_bbox = {0, 0, 999, 7};  // wider than the 640 x 480 room
    g_GraphicsData.sprites.Set(0, std::move(wide), "spr_wide");
  }
  void TearDown() override { g_GraphicsData.sprites.Clear(); }
};

TEST_F(MoveRandom, AnInstanceWiderThanTheRoomKeepsItsXAndStillMovesInY) {
  CInstance inst(300, 200, 100001, -1);
  inst.SetSpriteIndex(0);
  EXPECT_TRUE(Motion_MoveRandom(inst, 0, 0, 640, 480, RTried::Free));
  ASSERT_EQ(RTried::places.size(), 1u);
  EXPECT_EQ(inst.i_x, 300);
  // The box (8 high, from the instance's position down) stays in the room.
  EXPECT_GE(inst.i_y, 0);
  EXPECT_LE(inst.i_y, 480 - 8);
}

TEST_F(MoveRandom, DrawsSnappedPlacesInTheRoomAndGivesUpAfterAHundred) {
  CInstance inst(7, 9, 100001, -1);  // no sprite: the whole room
  RTried::answer = false;
  EXPECT_FALSE(Motion_MoveRandom(inst, 16, 0, 640, 480, RTried::Free));
  EXPECT_EQ(RTried::places.size(), 100u);
  EXPECT_EQ(inst.i_x, 7);
  EXPECT_EQ(inst.i_y, 9);
  bool yVaries = false;
  for (const auto& [x, y] : RTried::places) {
    EXPECT_EQ(std::fmod(x, 16), 0) << x;
    EXPECT_TRUE(x >= 0 && x < 640 && y >= 0 && y < 480) << x << " " << y;
    yVaries = yVaries || y != RTried::places[0].second;
  }
  EXPECT_TRUE(yVaries);
}

TEST_F(MoveRandom, HugeOrUndefinedPositionsLeaveTheInstanceInPlace) {
  for (const double x : {1e300, -1e300, std::numeric_limits<double>::quiet_NaN()}) {
    CInstance inst(x, 5, 100001, -1);
    inst.SetSpriteIndex(0);
    Motion_MoveRandom(inst, 0, 0, 640, 480, RTried::Free);
    EXPECT_TRUE(inst.i_x == x || (std::isnan(x) && std::isnan(inst.i_x)));
  }
}

}  // namespace
}  // namespace tavrin::test
