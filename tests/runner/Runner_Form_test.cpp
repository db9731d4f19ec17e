// Preparing the game, the display-mode rules and the load window, with a
// fake platform standing in for the machine.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "FakePlatform.h"
#include "platform/Platform_Trace.h"
#include "runner/Runner_Exception.h"
#include "graphics/Graphics_State.h"
#include "runner/Runner_Form.h"
#include "runner/Runner_Frame.h"
#include "world/World_Data.h"
#include "runner/Runner_Load.h"
#include "support/GoldenFrame.h"
#include "support/TestProcess.h"
#include "graphics/Graphics_Picture.h"
#include "package/Package_Data.h"

namespace tavrin {
namespace {

class RunnerFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto fake = std::make_unique<test::CFakePlatform>();
    m_fake = fake.get();
    Platform_Install(std::move(fake));
    g_PackageData.Clear();
    m_trace = std::filesystem::temp_directory_path() / ("tavrin_form_trace_" + std::to_string(::getpid()));
    std::filesystem::remove(m_trace);
    Trace_SetPath(m_trace.string());
    Trace_SetEnabled(true);
  }
  void TearDown() override {
    Trace_SetEnabled(false);
    std::filesystem::remove(m_trace);
    Platform_Install(nullptr);
    g_PackageData.Clear();
  }
  std::string TraceText() { return test::ReadFile(m_trace); }

  test::CFakePlatform* m_fake = nullptr;
  std::filesystem::path m_trace;
};

class Recorder : public IPackageLoadListener {
 public:
  void ShowProgress(int p, const std::string& t) override { rows.push_back(std::to_string(p) + " " + t); }
  void HeaderRead(RPackageHeader&, const RGameSettings&) override {}
  std::vector<std::string> rows;
};

TEST_F(RunnerFormTest, PreparingReportsEveryPhaseInOrder) {
  Recorder progress;
  ASSERT_TRUE(PrepareGame(progress, Runner_PreparePhases()));
  const std::vector<std::string> expected = {
      "50 Extracting included files", "55 Preparing extension packages", "60 Preparing constants",
      "61 Preparing triggers",        "62 Compiling scripts",            "70 Compiling time line actions",
      "72 Compiling object actions",  "80 Preparing sounds",             "90 Preparing graphics",
      "100 Ready"};
  EXPECT_EQ(progress.rows, expected);
  EXPECT_TRUE(m_fake->boxes.empty());
  EXPECT_NE(TraceText().find("Init_Graphics :: GR_D3D_Init\nInit_Graphics :: Background_InitTextures\n"
                             "Init_Graphics :: Sprite_InitTextures\nInit_Graphics :: Background_FontTextures\n"
                             "Init_Graphics :: GR_D3D_Start_Frame\nInit_Graphics :: Finished\n"),
            std::string::npos);
}

TEST_F(RunnerFormTest, AFailingPhaseShowsItsMessageAndStopsTheRest) {
  std::vector<RPreparePhase> phases = Runner_PreparePhases();
  int ranAfter = 0;
  phases[4].run = [] { return false; };  // compiling scripts
  phases[5].run = [&] { return ++ranAfter > 0; };
  Recorder progress;
  EXPECT_FALSE(PrepareGame(progress, phases));
  EXPECT_EQ(m_fake->boxes, std::vector<std::string>{"Failed to compile the scripts."});
  EXPECT_EQ(progress.rows.back(), "62 Compiling scripts");
  EXPECT_EQ(ranAfter, 0);

  // The graphics phase fails without a message of its own.
  phases = Runner_PreparePhases();
  phases.back().run = [] { return false; };
  m_fake->boxes.clear();
  EXPECT_FALSE(PrepareGame(progress, phases));
  EXPECT_TRUE(m_fake->boxes.empty());
}

TEST_F(RunnerFormTest, PriorityIsAskedForAndAFailureIsOnlyTraced) {
  g_PackageData.settings.opt_priority = 2;
  Recorder progress;
  EXPECT_TRUE(PrepareGame(progress, Runner_PreparePhases()));
  EXPECT_EQ(m_fake->priorityAsked, 2);
  EXPECT_NE(TraceText().find("Process priority not raised"), std::string::npos);
  m_fake->priorityAsked = 0;
  g_PackageData.settings.opt_priority = 7;  // unknown values change nothing
  EXPECT_TRUE(PrepareGame(progress, Runner_PreparePhases()));
  EXPECT_EQ(m_fake->priorityAsked, 0);
}

TEST_F(RunnerFormTest, TheLastChanceHandlerTracesTheErrorAndItsStackThenTellsThePlayer) {
  VXExceptionHandler("disk on fire", Exception_StackTrace());
  const std::string trace = TraceText();
  ASSERT_EQ(trace.rfind("Unhandled Exception - disk on fire\nStack Trace\n", 0), 0u) << trace;
  // The stack follows, a frame per line: this test, gtest's runner, main...
  const std::string stack = trace.substr(std::string("Unhandled Exception - disk on fire\nStack Trace\n").size());
  EXPECT_GE(std::count(stack.begin(), stack.end(), '\n'), 3) << stack;
  EXPECT_EQ(m_fake->boxes, std::vector<std::string>{"disk on fire"});
}

TEST(DisplayMode, SettingsMapToModesOnlyWhenChangingIsOn) {
  struct Case {
    bool change;
    int depth, resolution, frequency;
    RDisplayMode expected;
  };
  const Case cases[] = {
      {false, 2, 4, 1, {0, 0, 0, 0}},         {true, 0, 0, 0, {0, 0, 0, 0}},
      {true, 1, 1, 1, {320, 240, 16, 60}},    {true, 2, 2, 2, {640, 480, 32, 70}},
      {true, 2, 3, 3, {800, 600, 32, 85}},    {true, 1, 4, 4, {1024, 768, 16, 100}},
      {true, 1, 5, 5, {1280, 1024, 16, 120}}, {true, 2, 6, 0, {1600, 1200, 32, 0}},
      {true, 3, 7, 6, {0, 0, 0, 0}},          {true, -1, -1, -1, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    RGameSettings s;
    s.opt_changemode = c.change;
    s.opt_colordepth = c.depth;
    s.opt_resolution = c.resolution;
    s.opt_frequency = c.frequency;
    const RDisplayMode m = Runner_TargetMode(s);
    EXPECT_EQ(m.width, c.expected.width);
    EXPECT_EQ(m.height, c.expected.height);
    EXPECT_EQ(m.bitsPerPixel, c.expected.bitsPerPixel);
    EXPECT_EQ(m.refresh, c.expected.refresh);
  }
}

TEST_F(RunnerFormTest, ColourDepthQuestionOnDesktopsOfOtherDepths) {
  const char* question =
      "This application requires 16-bit or 32-bit color mode. Should I switch to a valid color mode?";
  m_fake->display.bitsPerPixel = 24;
  m_fake->answers = {EAnswer::No};
  EXPECT_FALSE(PrepareGraphics());
  EXPECT_EQ(m_fake->boxes, std::vector<std::string>{question});
  EXPECT_TRUE(m_fake->modeRequests.empty());

  // Yes switches to 16 bits even with mode changes off.
  m_fake->answers = {EAnswer::Yes};
  EXPECT_TRUE(PrepareGraphics());
  ASSERT_EQ(m_fake->modeRequests.size(), 1u);
  EXPECT_EQ(m_fake->modeRequests[0].bitsPerPixel, 16);

  // A depth setting of 0 with mode changes on still asks.
  g_PackageData.settings.opt_changemode = true;
  g_PackageData.settings.opt_resolution = 2;
  m_fake->answers = {EAnswer::Yes};
  m_fake->boxes.clear();
  EXPECT_TRUE(PrepareGraphics());
  EXPECT_EQ(m_fake->boxes.size(), 1u);
  EXPECT_EQ(m_fake->modeRequests.back().width, 640);

  // A depth chosen by the settings never asks, and neither does a 32-bit desktop.
  g_PackageData.settings.opt_colordepth = 2;
  m_fake->boxes.clear();
  EXPECT_TRUE(PrepareGraphics());
  m_fake->display.bitsPerPixel = 32;
  g_PackageData.settings = RGameSettings{};
  EXPECT_TRUE(PrepareGraphics());
  EXPECT_TRUE(m_fake->boxes.empty());
}

TEST_F(RunnerFormTest, GraphicsOpenTheGameWindowForTheFirstRoomOrSayWhyNot) {
  struct Case {
    const char* what;
    bool views;
    int expectedW, expectedH;
  };
  // The first room is 200 x 100; its visible views' ports reach to 300 x 50
  // and 120 x 260 (the invisible one, further, does not count).
  const Case cases[] = {{"the room's size", false, 200, 100}, {"the union of the views' ports", true, 300, 260}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto room = std::make_unique<CRoom>();
    room->r_width = 200;
    room->r_height = 100;
    room->r_enableviews = c.views;
    room->r_view[0] = CView{true, 0, 0, 10, 10, 100, 0, 200, 50};
    room->r_view[3] = CView{true, 0, 0, 10, 10, 20, 60, 100, 200};
    room->r_view[5] = CView{false, 0, 0, 10, 10, 0, 0, 900, 900};
    g_WorldData.Clear();
    g_WorldData.rooms.Set(0, std::make_unique<CRoom>(), "first_is_not_in_order");
    g_WorldData.rooms.Set(1, std::move(room), "r");
    g_WorldData.roomOrder = {1};
    ASSERT_TRUE(PrepareGraphics());
    ASSERT_NE(Graphics_Device(), nullptr);
    EXPECT_EQ(Graphics_Device()->BackBufferWidth(), c.expectedW);
    EXPECT_EQ(Graphics_Device()->BackBufferHeight(), c.expectedH);
  }
  EXPECT_EQ(m_fake->devicesOpened, 2);
  Frame_CloseDisplay();
  EXPECT_EQ(Graphics_Device(), nullptr);

  // No device: one message that says why, and the start stops.
  m_fake->deviceWorks = false;
  const size_t windows = m_fake->visible.size();
  EXPECT_FALSE(PrepareGraphics());
  EXPECT_EQ(m_fake->boxes, std::vector<std::string>{"Cannot show the game: could not start OpenGL 3.3: no card"});
  EXPECT_EQ(Graphics_Device(), nullptr);
  EXPECT_EQ(m_fake->visible.size(), windows);  // the window made for it is gone again
  g_WorldData.Clear();
}

TEST(LoadLayout, BarsSitAboveTheBottomAndFillByPercent) {
  const RLoadLayout l = Load_Layout(332, 92, 1025, 768, 50);
  EXPECT_EQ(l.left, 346);  // (1025 - 332) / 2, rounded toward zero
  EXPECT_EQ(l.top, 338);
  EXPECT_EQ(l.emptyBar.x, 24);
  EXPECT_EQ(l.emptyBar.y, 60);
  EXPECT_EQ(l.emptyBar.w, 284);
  EXPECT_EQ(l.fullBar.w, 142);
  EXPECT_EQ(l.label.x, 32);
  EXPECT_EQ(Load_Layout(332, 92, 100, 100, 0).left, -116);  // a picture wider than the screen
  EXPECT_EQ(Load_Layout(100, 50, 0, 0, 1).fullBar.w, 1);     // 0.52 rounds to 1
  EXPECT_EQ(Load_Layout(100, 50, 0, 0, 100).fullBar.w, 52);
}

TEST_F(RunnerFormTest, LoadWindowTakesThePackagesPicturesAndSettings) {
  struct Case {
    bool showprogress, debug, transparent;
    int alpha;
    bool barsVisible, labelVisible;
  };
  const Case cases[] = {
      {true, false, false, 255, true, false},
      {true, true, false, 128, true, true},
      {false, true, true, 0, false, false},
  };
  for (const Case& c : cases) {
    RGameSettings settings;
    settings.opt_showprogress = c.showprogress;
    settings.opt_loadtransparent = c.transparent;
    settings.opt_loadalpha = c.alpha;
    m_fake->lastOpacity = 1.0f;
    CLoadWindow load;
    RPackageHeader header;
    header.debugMode = c.debug;
    TBitmap32 image(200, 100, 0xFF102030u);
    image.SetPixel(0, 99, 0xFFABCDEFu);
    header.pictures.image = image;
    header.pictures.frontBar = TBitmap32(1, 1, 0xFFFF0000u);
    load.HeaderRead(header, settings);
    EXPECT_FALSE(header.pictures.image || header.pictures.frontBar);  // released
    EXPECT_EQ(load.BarsVisible(), c.barsVisible);
    EXPECT_EQ(load.LabelVisible(), c.labelVisible);
    EXPECT_EQ(load.Layout().clientW, 200);
    EXPECT_EQ(load.Layout().emptyBar.w, 152);
    EXPECT_FLOAT_EQ(m_fake->lastOpacity, c.alpha < 255 ? float(c.alpha) / 255.0f : 1.0f);

    load.ShowProgress(50, "Loading sprites");
    EXPECT_EQ(load.Label(), "Loading sprites");
    const TBitmap32& canvas = load.Canvas();
    const int barY = 100 - 32 + 4;
    // The filled bar reaches half the empty bar's width when it is shown.
    EXPECT_EQ(canvas.GetPixel(24 + 75, barY), c.showprogress ? 0xFFFF0000u : 0xFF102030u);
    EXPECT_NE(canvas.GetPixel(24 + 77, barY), 0xFFFF0000u);
  }
  EXPECT_NE(TraceText().find("Load window: this desktop has no transparent windows"), std::string::npos);
}

TEST_F(RunnerFormTest, DebugPackagesLabelTheProgressInsideTheLabelBox) {
  auto draw = [](bool debug) {
    CLoadWindow load;
    RPackageHeader header;
    header.debugMode = debug;
    load.HeaderRead(header, RGameSettings{});
    load.ShowProgress(38, "Loading objects");
    return load.Canvas();
  };
  const TBitmap32 plain = draw(false), labelled = draw(true);
  ASSERT_EQ(plain.s_w, labelled.s_w);
  const RLoadLayout l = Load_Layout(plain.s_w, plain.s_h, 0, 0, 38);
  int inside = 0, outside = 0;
  for (int y = 0; y < plain.s_h; ++y)
    for (int x = 0; x < plain.s_w; ++x) {
      if (plain.GetPixel(x, y) == labelled.GetPixel(x, y)) continue;
      const bool in = x >= l.label.x && x < l.label.x + l.label.w && y >= l.label.y && y < l.label.y + l.label.h;
      ++(in ? inside : outside);
    }
  EXPECT_GT(inside, 20);  // the text is there
  EXPECT_EQ(outside, 0);  // and nowhere else
  EXPECT_NE(TraceText().find("Loading\n"), std::string::npos);
}

// Headless runs show no load window at all; the progress still reaches
// the trace log.
TEST_F(RunnerFormTest, AHeadlessLoadWindowIsNoWindow) {
  CLoadWindow load(false);
  RPackageHeader header;
  header.pictures.image = TBitmap32(50, 40, 0xFF102030u);
  load.HeaderRead(header, RGameSettings{});
  load.ShowProgress(30, "Loading sounds");
  load.Finish();
  EXPECT_TRUE(m_fake->visible.empty());
  EXPECT_EQ(m_fake->presents, 0);
  EXPECT_FALSE(header.pictures.image);  // released all the same
  EXPECT_NE(TraceText().find("Loading\nLoading sounds\n"), std::string::npos);
}

// The window's picture: the game's loading picture with its bars, the
// filled one stretched or at its own size, and the runner's own look.
TEST_F(RunnerFormTest, TheLoadWindowMatchesItsGoldens) {
  const auto dir = std::filesystem::temp_directory_path() / ("tavrin_load_golden_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  TBitmap32 image(240, 80);
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 240; ++x)
      image.SetPixel(x, y, 0xFF000000u | uint32_t(x * 255 / 239) << 16 | uint32_t(y * 3) << 8 | 0x40u);
  TBitmap32 back(10, 16, 0xFF202020u), front(120, 16, 0xFF20C040u);
  for (int x = 0; x < 120; x += 12) front.SetPixel(x, 8, 0xFFFFFFFFu);  // marks show whether it is stretched
  struct RCase {
    const char* golden;
    bool custom, scaled;
    int percent;
  };
  for (const RCase& c : {RCase{"load_game.png", true, false, 60}, RCase{"load_scaled.png", true, true, 60},
                         RCase{"load_default.png", false, true, 40}}) {
    SCOPED_TRACE(c.golden);
    CLoadWindow load;
    RPackageHeader header;
    if (c.custom) header.pictures = {back, front, image};
    RGameSettings settings;
    settings.opt_showprogress = true;
    settings.opt_scaleprogress = c.scaled;
    load.HeaderRead(header, settings);
    load.ShowProgress(c.percent, "Loading");
    const std::vector<uint8_t> png = Picture_EncodePNG(load.Canvas());
    std::ofstream(dir / c.golden, std::ios::binary)
        .write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
    EXPECT_EQ(test::Golden_Compare(dir / c.golden, std::filesystem::path(TAVRIN_TESTS_DIR) / "runner" / "golden" /
                                                       c.golden, 0, dir / "failures"),
              "");
  }
  if (!HasFailure()) std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace tavrin
