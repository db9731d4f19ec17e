// Motion planning played in this process, so that the paths the planners
// record can be read back point by point: grid paths around walls, the
// straight-line and potential-field steppers, and the limits that keep a
// planner from running away or reading outside its grid.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "graphics/Sprite_Class.h"
#include "script/Conformance.h"
#include "world/Motion_Planning.h"
#include "world/Path_Class.h"
#include "graphics/Graphics_Data.h"
#include "world/World_Data.h"

namespace tavrin::test {

namespace {

using RPoints = std::vector<RWayPoint>;

// What a failed planner must leave in the path it was given.
const RPoints kUntouched = {{1, 2, 50}};

// A game with sprite 0, a 16 x 16 block; sprite 1, an 8 x 8 block centred on
// its position; sprite 2, 32 x 32 with only its top-left and bottom-right
// quarters solid; and paths 0 and 1 holding one point each. The code runs as
// the create event of instance 100001; `wall(x, y)` places a solid block.
class Planning : public ::testing::Test {
 protected:
  void SetUp() override {
    AddSprite(16, 16, 0, 0, false);
    AddSprite(8, 8, 4, 4, false);
    AddSprite(32, 32, 0, 0, true);
    for (int k = 0; k < 2; ++k) {
      auto path = std::make_unique<CPath>();
      path->i_points = kUntouched;
      g_WorldData.paths.Add(std::move(path), "path" + std::to_string(k));
    }
  }
  void TearDown() override {
    g_GraphicsData.sprites.Clear();
    g_WorldData.paths.Clear();
  }

  static void AddSprite(int32_t w, int32_t h, int32_t xorig, int32_t yorig, bool corners) {
    auto sprite = std::make_unique<CSprite>();
    TBitmap32 frame(w, h, 0xFF000000);
    if (corners)
      for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
          if ((x < w / 2) != (y < h / 2)) frame.SetPixel(x, y, 0);
    sprite->i_numb = 1;
    sprite->i_bitmap.push_back(frame);
    sprite->i_xorig = xorig;
    sprite->i_yorig = yorig;
    sprite->ComputeMask(RMaskSettings{});
    g_GraphicsData.sprites.Add(std::move(sprite), "sprite" + std::to_string(g_GraphicsData.sprites.Count()));
  }

  static CodeResult Play(const std::string& code) {
    return RunCode("if (id != 100001) exit\n" + code +
                       "\n#define wall\nw = instance_create(argument0, argument1, object0)\n"
                       "w.sprite_index = 0\nw.solid = true\nreturn w\n",
                   SET_INPROCESS | SET_UNINITZERO);
  }
  struct RCase {
    std::string name, code, out, err = "";
  };
  static void Run(const std::vector<RCase>& cases) {
    for (const RCase& c : cases) {
      SCOPED_TRACE(c.name);
      const CodeResult r = Play(c.code);
      EXPECT_EQ(r.out, c.out) << c.code;
      EXPECT_EQ(r.err, c.err) << c.code;
      EXPECT_EQ(r.status, 0);
    }
  }
  static const RPoints& Points(int32_t path) { return g_WorldData.paths.Get(path)->i_points; }
};

// A recorded route: what the call printed and the points of path 0.
struct RRouteCase {
  const char* name;
  std::string code;
  std::string out;
  RPoints points;
  std::string err = "";
};

void CheckRoutes(const std::vector<RRouteCase>& cases, CodeResult (*play)(const std::string&)) {
  for (const RRouteCase& c : cases) {
    SCOPED_TRACE(c.name);
    const CodeResult r = play(c.code);
    EXPECT_EQ(r.out, c.out) << r.err;
    EXPECT_EQ(r.err, c.err);
    const CPath& path = *g_WorldData.paths.Get(0);
    EXPECT_EQ(path.i_points, c.points);
    if (path.i_points != kUntouched) {
      EXPECT_EQ(path.i_kind, 0);
      EXPECT_FALSE(path.i_closed);
    }
    *g_WorldData.paths.Get(0) = CPath{};
    g_WorldData.paths.Get(0)->i_points = kUntouched;
  }
}

RPoints At(std::initializer_list<std::pair<double, double>> xy) {
  RPoints points;
  for (auto [x, y] : xy) points.push_back({x, y, 100});
  return points;
}

// A 6 x 5 grid of 16-pixel cells with three walls filling column 2 from the
// top: the way from the top-left cell to the top-right one leads under them.
const std::string kWalledGrid =
    "g = mp_grid_create(0, 0, 6, 5, 16, 16)\nwall(32, 0)\nwall(32, 16)\nwall(32, 32)\n"
    "mp_grid_add_instances(g, object0, false)\n";

TEST_F(Planning, GridPathsRunThroughCellCentresAroundWalls) {
  CheckRoutes(
      {
          {"straight moves only: down the first column, under the wall and up the far side",
           kWalledGrid + "show_debug_message(mp_grid_path(g, 0, 5, 3, 90, 12, false))", "1\n",
           At({{5, 3}, {8, 24}, {8, 40}, {8, 56}, {24, 56}, {40, 56}, {56, 56}, {56, 40}, {56, 24}, {56, 8},
               {72, 8}, {90, 12}})},
          {"with diagonals the path cuts across free cells but never past a wall's corner",
           kWalledGrid + "show_debug_message(mp_grid_path(g, 0, 5, 3, 90, 12, true))", "1\n",
           At({{5, 3}, {24, 24}, {24, 40}, {24, 56}, {40, 56}, {56, 56}, {72, 40}, {88, 24}, {90, 12}})},
          {"going back from the goal, a diagonal beside a forbidden cell is not taken",
           "g = mp_grid_create(0, 0, 5, 3, 10, 10)\nmp_grid_add_cell(g, 1, 2)\nmp_grid_add_cell(g, 3, 1)\n"
           "show_debug_message(mp_grid_path(g, 0, 45, 15, 15, 15, true))",
           "1\n", At({{45, 15}, {45, 5}, {35, 5}, {25, 5}, {15, 15}})},
          {"start and goal in one cell: the two points alone",
           kWalledGrid + "show_debug_message(mp_grid_path(g, 0, 1, 2, 14, 15, true))", "1\n", At({{1, 2}, {14, 15}})},
          {"the grid's own cells start at its left and top",
           "g = mp_grid_create(100, 50, 3, 1, 20, 30)\nshow_debug_message(mp_grid_path(g, 0, 100, 50, 159.5, 79.5, false))",
           "1\n", At({{100, 50}, {130, 65}, {159.5, 79.5}})},
          {"a goal in a wall fails and leaves the path",
           kWalledGrid + "show_debug_message(mp_grid_path(g, 0, 5, 3, 40, 8, true))", "0\n", kUntouched},
          {"a start or goal outside the grid fails, even just past its far edge",
           kWalledGrid + "show_debug_message(mp_grid_path(g, 0, 5, 3, 96, 8, true))\n"
                         "show_debug_message(mp_grid_path(g, 0, 5, 80, 8, 8, true))\n"
                         "show_debug_message(mp_grid_path(g, 0, -0.5, 3, 8, 8, true))\n"
                         "show_debug_message(mp_grid_path(g, 0, 5, 3, 8, -1000000000000, true))",
           "0\n0\n0\n0\n", kUntouched},
          {"a goal walled off fails; the cells are free again for the next search",
           kWalledGrid + "mp_grid_add_rectangle(g, 47, 79, 32, 48)\n"
                         "show_debug_message(mp_grid_path(g, 0, 5, 3, 90, 12, true))\n"
                         "mp_grid_clear_cell(g, 2, 4)\nshow_debug_message(mp_grid_path(g, 0, 5, 3, 8, 72, false))",
           "0\n1\n", At({{5, 3}, {8, 24}, {8, 40}, {8, 56}, {8, 72}})},
          {"no grid, no search and no error",
           kWalledGrid + "mp_grid_destroy(g)\nshow_debug_message(mp_grid_path(g, 0, 5, 3, 8, 8, true))\n"
                         "show_debug_message(mp_grid_path(-1, 0, 5, 3, 8, 8, true))",
           "0\n0\n", kUntouched},
          {"a path that does not exist is an error",
           kWalledGrid + "show_debug_message(mp_grid_path(g, 7, 5, 3, 8, 8, true))", "0\n", kUntouched,
           ActionError("Trying to assign to a non-existing path.")},
      },
      Play);
}

// Which cells end forbidden, seen by asking for a path within each cell of
// the top-left 3 x 3 corner of the grid.
std::string ShowForbidden(const char* grid) {
  return std::string("s = ''\nfor (j = 0; j < 3; j += 1) { for (i = 0; i < 3; i += 1) s += string(1 - mp_grid_path(") +
         grid + ", 0, i * 16 + 8, j * 16 + 8, i * 16 + 8, j * 16 + 8, false)); s += ' ' }\nshow_debug_message(s)";
}

TEST_F(Planning, RectanglesAndInstancesForbidTheCellsTheyCover) {
  const std::string grid = "g = mp_grid_create(0, 0, 3, 3, 16, 16)\n";
  Run({
      {"corners in any order; a coordinate just before the grid counts as its first cell",
       grid + "mp_grid_add_rectangle(g, 20, 40, -5, 17)\n" + ShowForbidden("g"), "000 110 110 \n"},
      {"a rectangle ending less than a cell before the grid still reaches its first column",
       grid + "mp_grid_add_rectangle(g, -20, 0, -5, 15)\n" + ShowForbidden("g"), "100 000 000 \n"},
      {"a rectangle entirely before the grid forbids nothing",
       grid + "mp_grid_add_rectangle(g, -100, -100, -17, 40)\n" + ShowForbidden("g"), "000 000 000 \n"},
      {"clearing a rectangle frees exactly its cells",
       grid + "mp_grid_add_rectangle(g, 0, 0, 47, 47)\nmp_grid_clear_rectangle(g, 16, 16, 100, 100)\n" +
           ShowForbidden("g"),
       "111 100 100 \n"},
      {"cells named outside the grid are ignored; clear_all frees every cell",
       grid + "mp_grid_add_cell(g, 3, 0)\nmp_grid_add_cell(g, -1, 0)\nmp_grid_add_cell(g, 2, 2)\n" + ShowForbidden("g") +
           "\nmp_grid_clear_all(g)\n" + ShowForbidden("g"),
       "000 000 001 \n000 000 000 \n"},
      {"an instance forbids its box; precisely only the cells its mask meets",
       grid + "sprite_index = 2\nmp_grid_add_instances(g, self, false)\n" + ShowForbidden("g") +
           "\nmp_grid_clear_all(g)\nmp_grid_add_instances(g, id, true)\n" + ShowForbidden("g"),
       "110 110 000 \n100 010 000 \n"},
      {"instances of other objects and deactivated ones are left out",
       grid + "w = wall(16, 16)\nmp_grid_add_instances(g, 3, false)\ninstance_deactivate_object(object0)\n"
              "mp_grid_add_instances(g, object0, false)\ninstance_activate_all()\n" +
           ShowForbidden("g") + "\nmp_grid_add_instances(g, w, false)\n" + ShowForbidden("g"),
       "000 000 000 \n000 010 000 \n"},
  });
}

TEST_F(Planning, GridsRefuseSizesNoGameNeeds) {
  const auto refused = [](const char* name, const char* call, const char* message) {
    return RCase{name, std::string("show_debug_message(") + call + ")", "-1\n", ActionError(message)};
  };
  const char* count = "Cannot create a grid with a negative number of cells or more than 16777216 cells.";
  const char* cell = "Cannot create a grid whose cells are less than one pixel wide or high.";
  Run({
      refused("cells 0 wide", "mp_grid_create(0, 0, 4, 4, 0, 16)", cell),
      refused("cells of negative height", "mp_grid_create(0, 0, 4, 4, 16, -2)", cell),
      refused("more than 16 million cells", "mp_grid_create(0, 0, 4097, 4096, 1, 1)", count),
      refused("a count that would overflow", "mp_grid_create(0, 0, 2000000000, 2000000000, 1, 1)", count),
      refused("a negative count", "mp_grid_create(0, 0, -4, 4, 16, 16)", count),
      {"the largest grid allowed, and the numbers of destroyed grids taken again",
       "a = mp_grid_create(0, 0, 4096, 4096, 1, 1)\nb = mp_grid_create(0, 0, 1, 1, 1, 1)\n"
       "c = mp_grid_create(0, 0, 1, 1, 1, 1)\nmp_grid_destroy(a)\nmp_grid_destroy(b)\nd = mp_grid_create(0, 0, 0, 0, 1, 1)\n"
       "show_debug_message(string(a >= 0) + string(b - a) + string(c - b) + string(d == a))\n"
       "mp_grid_destroy(c)\nmp_grid_destroy(d)",
       "1111\n", ""},
  });
}

// The instance is an 8 x 8 block at (50, 50) facing right; `show` prints
// the result r and where the instance ends.
const std::string kMover = "sprite_index = 1\nx = 50\ny = 50\n";
const std::string kShow = "\nshow_debug_message(string(r) + ' ' + string(x) + ',' + string(y) + ' ' + string(direction))";
// Four walls touching it on every side: no step of 1 pixel or more is free.
const std::string kBoxedIn = "wall(30, 42)\nwall(54, 42)\nwall(42, 30)\nwall(42, 54)\n";

TEST_F(Planning, LinearStepsStopShortOfObstacles) {
  Run({
      {"a goal in reach is reached, facing it", kMover + "r = mp_linear_step(53, 46, 5, false)" + kShow,
       "1 53,46 53.13\n"},
      {"a far goal: one step along the line", kMover + "r = mp_linear_step(50, 0, 5, false)" + kShow, "0 50,45 90\n"},
      {"at the goal already", kMover + "r = mp_linear_step(50, 50, 5, false)" + kShow, "1 50,50 0\n"},
      {"a blocked goal in reach counts as reached but the instance stays",
       kMover + "wall(56, 44)\nr = mp_linear_step(53, 50, 5, false)" + kShow, "1 50,50 0\n"},
      {"steps towards a wall stop at the last free place",
       kMover + "x = 20\nwall(56, 44)\nrepeat (10) r = mp_linear_step(100, 50, 5, false)" + kShow, "0 50,50 0\n"},
      {"only solid instances block unless every instance does",
       kMover + "w = wall(56, 44)\nw.solid = false\nr = mp_linear_step(100, 50, 5, false)\n"
                "show_debug_message(x)\nr = mp_linear_step(100, 50, 5, true)" + kShow,
       "55\n0 55,50 0\n"},
      {"with an object or instance given, only it blocks",
       kMover + "w = wall(56, 44)\nr = mp_linear_step_object(100, 50, 10, w + 1)\nshow_debug_message(x)\n"
                "r = mp_linear_step_object(100, 50, 10, w)" + kShow,
       "60\n0 60,50 0\n"},
  });
}

TEST_F(Planning, PotentialStepsTurnTowardsTheGoalWithinLimits) {
  Run({
      {"a goal in reach is reached", kMover + "r = mp_potential_step(52, 52, 4, false)" + kShow, "1 52,52 315\n"},
      {"a goal behind: the turn is limited to 30 degrees",
       kMover + "r = mp_potential_step(0, 50, 4, false)" + kShow, "0 53.46,48 30\n"},
      {"boxed in: turns on the spot", kMover + kBoxedIn + "r = mp_potential_step(200, 50, 4, false)" + kShow,
       "0 50,50 30\n"},
      {"a wall a few steps ahead on the way: the nearest direction clear of it",
       kMover + "wall(62, 36)\nr = mp_potential_step(200, 50, 4, false)" + kShow, "0 53.46,52 330\n"},
      {"settings below 1 are raised to 1: a one-degree turn found one degree at a time; no turn on the spot",
       kMover + "mp_potential_settings(0, 0, 0, false)\nr = mp_potential_step(50, 0, 4, false)" + kShow + "\n" +
           "x = 50\ny = 50\ndirection = 0\n" + kBoxedIn + "r = mp_potential_step(0, 0, 4, false)" + kShow +
           "\nmp_potential_settings(30, 10, 3, true)",
       "0 54.00,49.93 1\n0 50,50 0\n"},
      {"looking ahead only one step lets it go on towards a wall it would otherwise avoid",
       kMover + "wall(62, 42)\nmp_potential_settings(30, 10, 1, true)\nr = mp_potential_step(200, 50, 4, false)" + kShow +
           "\nmp_potential_settings(30, 10, 3, true)",
       "0 54,50 0\n"},
  });
}

TEST_F(Planning, PlannedPathsLeaveTheInstanceWhereItWas) {
  const std::string kept = "\nshow_debug_message(string(r) + ' ' + string(x) + ',' + string(y) + ' ' + string(direction) + ' ' + string(speed))";
  const std::string moving = kMover + "speed = 3\ndirection = 10\n";
  CheckRoutes(
      {
          {"a straight path in steps, ending on the goal",
           moving + "r = mp_linear_path(0, 70, 50, 8, false)" + kept, "1 50,50 10 3\n",
           At({{50, 50}, {58, 50}, {66, 50}, {70, 50}})},
          {"a straight path into a wall fails where it stops",
           moving + "wall(66, 44)\nr = mp_linear_path(0, 100, 50, 8, false)" + kept, "0 50,50 10 3\n",
           At({{50, 50}, {58, 50}})},
          {"a step of 0 plans nothing", moving + "r = mp_linear_path(0, 100, 50, 0, false)" + kept, "0 50,50 10 3\n",
           kUntouched},
          {"a potential path in the open is the straight line",
           moving + "direction = 0\nr = mp_potential_path(0, 62, 50, 4, 2, false)" + kept, "1 50,50 0 3\n",
           At({{50, 50}, {54, 50}, {58, 50}, {62, 50}})},
          {"a factor below 1 plans nothing", moving + "r = mp_potential_path(0, 62, 50, 4, 0.9, false)" + kept,
           "0 50,50 10 3\n", kUntouched},
          {"a potential path for an instance that cannot move fails once it has turned all the way round",
           moving + kBoxedIn + "r = mp_potential_path(0, 200, 50, 4, 10, false)" + kept,
           "0 50,50 10 3\n", RPoints(14, {50, 50, 100})},
          {"the path must exist", moving + "r = mp_potential_path(5, 62, 50, 4, 2, false)" + kept, "0 50,50 10 3\n",
           kUntouched, ActionError("Trying to assign to a non-existing path.")},
      },
      Play);
}

// Turning from facing away, the instance curls round towards the goal; the
// path ends with the first point that makes it longer than factor times the
// straight distance.
TEST_F(Planning, PotentialPathsGiveUpPastFactorTimesTheDistance) {
  const CodeResult r = Play(kMover + "direction = 180\nr = mp_potential_path(0, 70, 50, 4, 1, false)" + kShow);
  EXPECT_EQ(r.out, "0 50,50 180\n") << r.err;
  const RPoints& points = Points(0);
  ASSERT_GE(points.size(), 3u);
  EXPECT_EQ(points.front(), (RWayPoint{50, 50, 100}));
  double length = 0, last = 0;
  for (size_t k = 1; k < points.size(); ++k) {
    last = std::hypot(points[k].x - points[k - 1].x, points[k].y - points[k - 1].y);
    EXPECT_NEAR(last, 4, 1e-9);
    length += last;
  }
  EXPECT_GT(length, 20);
  EXPECT_LE(length - last, 20);
}

// A step of one pixel towards a goal a hundred million pixels away: the
// recording stops at its limit instead of filling memory.
TEST_F(Planning, RunawayPlansStopAtTheirPointLimit) {
  for (const char* call : {"mp_linear_path(0, 100000000, 50, 1, false)", "mp_potential_path(0, 100000000, 50, 1, 10, false)"}) {
    SCOPED_TRACE(call);
    const CodeResult r = Play(kMover + "r = " + call + kShow);
    EXPECT_EQ(r.out, "0 50,50 0\n") << r.err;
    EXPECT_EQ(int64_t(Points(0).size()), kPlanMaxPoints);
    EXPECT_EQ(Points(0)[1], (RWayPoint{51, 50, 100}));
  }
}

}  // namespace
}  // namespace tavrin::test
