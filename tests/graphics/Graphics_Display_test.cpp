// The game window's rules: where the region lands in the window at each kind
// of scale, how window and mouse positions find the room through views
// (rotated ones too), the caption, and the frames, grabs and screen files of
// a real headless device.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "graphics/Graphics_Display.h"
#include "graphics/Graphics_Picture.h"
#include "graphics/Graphics_State.h"
#include "platform/Platform.h"

namespace tavrin {
namespace {

TEST(DisplayRules, TheRegionLandsInTheClientAreaByItsScale) {
  struct Case {
    const char* what;
    int32_t cw, ch, rw, rh;
    double s;
    RRect expected;
  };
  const Case cases[] = {
      {"0 stretches over the whole client area", 500, 300, 320, 240, 0, {0, 0, 500, 300}},
      {"negative keeps the aspect ratio, centred (wide window)", 800, 480, 320, 240, -1, {80, 0, 640, 480}},
      {"negative keeps the aspect ratio, centred (tall window)", 320, 480, 320, 240, -1, {0, 120, 320, 240}},
      {"positive is a fixed factor, centred", 700, 500, 320, 240, 2, {30, 10, 640, 480}},
      {"a window smaller than the scaled region: negative offsets", 600, 400, 320, 240, 2, {-20, -40, 640, 480}},
      {"an odd margin truncates toward zero", 641, 481, 320, 240, 2, {0, 0, 640, 480}},
      {"an odd negative margin truncates toward zero", 639, 479, 320, 240, 2, {0, 0, 640, 480}},
      {"ties round to even: 2.5 x 1 = 2, 3.5 x 1 = 4", 10, 10, 5, 7, 0.5, {4, 3, 2, 4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Display_RegionRect(c.cw, c.ch, c.rw, c.rh, c.s), c.expected);
  }
}

TEST(DisplayRules, WindowPositionsMapToTheRegionAndBack) {
  struct Case {
    const char* what;
    int32_t cw, ch, rw, rh;
    double s;
    int32_t px, py, rx, ry;
  };
  const Case cases[] = {
      // Stretching scales each axis by its own factor.
      {"stretched, per axis", 640, 240, 320, 240, 0, 320, 120, 160, 120},
      {"stretched, far corner", 640, 240, 320, 240, 0, 640, 240, 320, 240},
      {"kept aspect, inside the margin", 800, 480, 320, 240, -1, 80, 0, 0, 0},
      {"kept aspect, in the region", 800, 480, 320, 240, -1, 400, 240, 160, 120},
      {"fixed scale, centred", 700, 500, 320, 240, 2, 30, 10, 0, 0},
      {"fixed scale, in the margin gives negative positions", 700, 500, 320, 240, 2, 10, 0, -10, -5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto r = Display_WindowToRegion(c.px, c.py, c.cw, c.ch, c.rw, c.rh, c.s);
    EXPECT_EQ(r, std::make_pair(c.rx, c.ry));
    EXPECT_EQ(Display_RegionToWindow(c.rx, c.ry, c.cw, c.ch, c.rw, c.rh, c.s), std::make_pair(c.px, c.py));
  }
  // A client area of no size does not divide by zero.
  EXPECT_EQ(Display_WindowToRegion(5, 5, 0, 0, 320, 240, 0), std::make_pair(1600, 1200));
  EXPECT_EQ(Display_WindowToRegion(5, 5, 0, 0, 320, 240, -1), std::make_pair(0, 0));
}

TEST(DisplayRules, RegionPositionsFindTheRoomThroughAView) {
  // A 100 x 50 room rectangle at (200, 100) shown in a 200 x 100 port at (10, 20).
  RViewMap v{true, 200, 100, 100, 50, 10, 20, 200, 100, 0};
  EXPECT_EQ(Display_RegionToRoom(v, 10, 20), std::make_pair(200, 100));
  EXPECT_EQ(Display_RegionToRoom(v, 110, 70), std::make_pair(250, 125));
  EXPECT_EQ(Display_RoomToRegion(v, 250, 125), std::make_pair(110, 70));

  // Turned by 90 degrees about the view's centre (250, 125): the centre
  // stays, and 10 room units right of it in the region is 10 units below it
  // in the room.
  v.angle = 90;
  EXPECT_EQ(Display_RegionToRoom(v, 110, 70), std::make_pair(250, 125));
  EXPECT_EQ(Display_RegionToRoom(v, 130, 70), std::make_pair(250, 135));
  EXPECT_EQ(Display_RoomToRegion(v, 250, 135), std::make_pair(130, 70));
  for (double angle : {33.0, -127.5, 90.0, 181.0}) {
    v.angle = angle;
    SCOPED_TRACE(angle);
    for (auto [x, y] : {std::pair{240, 110}, std::pair{275, 140}, std::pair{201, 149}}) {
      const auto r = Display_RoomToRegion(v, x, y);
      const auto back = Display_RegionToRoom(v, r.first, r.second);
      // A region pixel is half a room unit here: the way back through whole
      // pixels lands within a unit of the start.
      EXPECT_NEAR(back.first, x, 1);
      EXPECT_NEAR(back.second, y, 1);
    }
  }
  // Angles below 0.01 degrees are upright.
  v.angle = 0.005;
  EXPECT_EQ(Display_RegionToRoom(v, 130, 70), std::make_pair(260, 125));
}

class DisplayViews : public ::testing::Test {
 protected:
  void SetUp() override { g_Display.Reset(); }
  void TearDown() override { g_Display.Reset(); }
};

TEST_F(DisplayViews, TheMouseSeesTheHighestViewUnderItElseTheLowestInUse) {
  EXPECT_EQ(Display_RegionToRoomThroughViews(12.4, 7.6), std::make_pair(12, 8));  // no views: the region
  EXPECT_EQ(Display_FirstUsedView(), -1);
  // View 1 shows room (0,0)-(100,100) in port (0,0)-(100,100); view 3 shows
  // room (1000,0)-(1100,100) in port (50,0)-(150,100): they overlap in the
  // region from x 50 to 100.
  Display_SetViewMap(1, {true, 0, 0, 100, 100, 0, 0, 100, 100, 0});
  Display_SetViewMap(3, {true, 1000, 0, 100, 100, 50, 0, 100, 100, 0});
  Display_SetViewMap(5, {true, 500, 500, 10, 10, 0, 0, 0, 0, 0});  // no port: never used
  Display_SetViewMap(40, {true, 0, 0, 1, 1, 0, 0, 1, 1, 0});      // outside the table: ignored
  EXPECT_EQ(Display_FirstUsedView(), 1);
  EXPECT_EQ(Display_RegionToRoomThroughViews(75, 10), std::make_pair(1025, 10));  // both: the higher one
  EXPECT_EQ(Display_RegionToRoomThroughViews(20, 10), std::make_pair(20, 10));    // only view 1
  // Outside both room rectangles: through the lowest view in use.
  EXPECT_EQ(Display_RegionToRoomThroughViews(300, 10), std::make_pair(300, 10));
  EXPECT_EQ(Display_RegionToRoomThroughViews(-5, 200), std::make_pair(-5, 200));
}

TEST(DisplayCaption, ScoreLivesAndHealthJoinTheRoomCaption) {
  struct Case {
    const char* what;
    bool showScore, scoreExplicit;
    int32_t score;
    bool showLives, showHealth;
    double health;
    const char* expected;
  };
  const Case cases[] = {
      {"a score of 0 is not shown until it was set explicitly", true, false, 0, false, false, 100, "Room"},
      {"a score above 0 is shown", true, false, 7, false, false, 100, "Room Score: 7"},
      {"explicit display shows 0 too", true, true, 0, false, false, 100, "Room Score: 0"},
      {"score off", false, true, 7, false, false, 100, "Room"},
      {"lives and rounded health (ties to even)", false, false, 0, true, true, 42.5, "Room Lives: 3 Health: 42"},
      {"everything", true, false, -1, true, true, 99.6, "Room Lives: 3 Health: 100"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RCaptionParts p;
    p.room = "Room";
    p.showScore = c.showScore;
    p.scoreExplicit = c.scoreExplicit;
    p.score = c.score;
    p.showLives = c.showLives;
    p.lives = 3;
    p.showHealth = c.showHealth;
    p.health = c.health;
    p.captionScore = "Score: ";
    p.captionLives = "Lives: ";
    p.captionHealth = "Health: ";
    EXPECT_EQ(Display_ComposeCaption(p), c.expected);
  }
}

// A real headless window and device, installed as the running game's.
class DisplayDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    RPlatformConfig config;
    config.headless = true;
    Platform_Install(Platform_CreateSDL(config));
    m_dir = std::filesystem::temp_directory_path() / ("tavrin_display_" + std::to_string(::getpid()));
    std::filesystem::create_directories(m_dir);
  }
  void TearDown() override {
    Display_Close();
    Platform_Install(nullptr);
    std::filesystem::remove_all(m_dir);
  }
  std::filesystem::path m_dir;
};

TEST_F(DisplayDevice, OpeningGivesAWindowAndADeviceOfTheRegionAndClosingTakesThemAway) {
  RGameSettings settings;
  settings.opt_scale = 200;
  settings.opt_windowcolor = 0x00FF00;
  ASSERT_EQ(Display_Open(settings, "Game", 40, 30), "");
  ASSERT_NE(Graphics_Device(), nullptr);
  EXPECT_NE(g_Display.window, 0);
  EXPECT_EQ(Graphics_Device()->BackBufferWidth(), 40);
  EXPECT_EQ(Graphics_Device()->BackBufferHeight(), 30);
  const RRect client = Display_ClientBounds();
  EXPECT_EQ(client.w, 80);  // the scaled region
  EXPECT_EQ(client.h, 60);
  EXPECT_EQ(g_Display.color, 0x00FF00);

  // A new region resizes the part of the back buffer in use, and the window
  // follows it at the scale.
  Display_SetRegionSize(50, 20, true);
  Display_SetDeviceRegion(50, 20);
  EXPECT_EQ(g_Display.deviceW, 50);
  EXPECT_EQ(Graphics_Device()->BackBufferWidth(), 50);
  EXPECT_EQ(Display_ClientBounds().w, 100);
  EXPECT_EQ(Display_ClientBounds().h, 40);
  EXPECT_TRUE(Display_FinishFrame());
  EXPECT_TRUE(Display_StartFrame());

  Display_Close();
  EXPECT_EQ(Graphics_Device(), nullptr);
  EXPECT_EQ(g_Display.window, 0);
  EXPECT_FALSE(Display_FinishFrame());  // nothing to show any more, and no crash
}

TEST_F(DisplayDevice, GrabsAreClippedToTheRegionAndScreenFilesAreOpaque) {
  ASSERT_EQ(Display_Open(RGameSettings{}, "Game", 16, 8), "");
  IGraphicsDevice& d = *Graphics_Device();
  // Half-transparent blue everywhere: the saved picture must be opaque.
  d.Clear(true, 0x800000FF, true);

  TBitmap32 shot;
  ASSERT_TRUE(Display_Grab(-4, 2, 10, 100, shot));  // clipped to (0, 2, 6, 6)
  EXPECT_EQ(shot.s_w, 6);
  EXPECT_EQ(shot.s_h, 6);
  EXPECT_FALSE(Display_Grab(16, 0, 4, 4, shot));          // wholly outside
  EXPECT_FALSE(Display_Grab(2, 2, 0, 5, shot));           // empty
  EXPECT_FALSE(Display_Grab(INT32_MAX, 0, INT32_MAX, 5, shot));  // no wrap-around into the region

  for (const char* name : {"shot.png", "SHOT2.PNG"}) {
    SCOPED_TRACE(name);
    const std::string path = (m_dir / name).string();
    ASSERT_TRUE(Display_SaveScreen(path, 0, 0, 16, 8));
    const auto saved = Picture_LoadFromImageFile(path);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->s_w, 16);
    EXPECT_EQ(saved->s_h, 8);
    for (uint32_t pixel : saved->s_data) EXPECT_EQ(pixel >> 24, 0xFFu);
  }
  EXPECT_FALSE(Display_SaveScreen((m_dir / "no" / "such" / "folder.png").string(), 0, 0, 16, 8));
}

}  // namespace
}  // namespace tavrin
