// The game window as games see it, end to end: small games built with
// tavrin-pack and played headless with a fixed clock write their frames with
// --frames, shape their window and read the mouse through it, save the
// screen, and fail cleanly when no graphics device can be had.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "graphics/Graphics_Picture.h"
#include "support/TestProcess.h"

namespace fs = std::filesystem;

namespace tavrin {
namespace {

class DisplayGameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir = fs::temp_directory_path() / ("tavrin_display_" + std::to_string(::getpid()) + "_" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(m_dir);
    fs::create_directories(m_dir);
  }
  void TearDown() override { fs::remove_all(m_dir); }

  // A one-room game: the room (JSON fields) holds one instance of an object
  // with the given events.
  std::string Build(const std::string& name, const std::string& room, const std::string& events) {
    const fs::path dir = m_dir / name;
    fs::create_directories(dir / "rooms");
    fs::create_directories(dir / "objects");
    std::ofstream(dir / "game.json") << R"({"room_order": ["r"], "settings": {"uninitzero": true}})";
    std::ofstream(dir / "rooms" / "r.json")
        << "{" << room << R"(, "instances": [{"x": 0, "y": 0, "object": "o", "id": 100001}]})";
    std::ofstream(dir / "objects" / "o.json") << R"({"events": {)" << events << "}}";
    const std::string game = (m_dir / (name + ".bin")).string();
    const test::RRun packed = test::RunProgram({TAVRIN_PACK_EXE, "build", dir.string(), "-o", game});
    EXPECT_EQ(packed.status, 0) << packed.err;
    return game;
  }

  test::RRun Play(const std::string& game, const std::vector<std::string>& options,
                  const std::vector<std::string>& env = {}) {
    std::vector<std::string> argv = {"timeout", "60", TAVRIN_EXE, "--headless", "--fixed-clock", "--seed", "7"};
    argv.insert(argv.end(), options.begin(), options.end());
    argv.push_back(game);
    std::vector<std::string> environment = {"TAVRIN_HOME=" + m_dir.string()};
    environment.insert(environment.end(), env.begin(), env.end());
    return test::RunProgram(argv, environment, m_dir.string());
  }

  static std::vector<std::string> FilesIn(const fs::path& dir) {
    std::vector<std::string> names;
    if (fs::is_directory(dir))
      for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path m_dir;
};

// Code inside a JSON string: its line breaks escaped (the code has no quotes).
std::string JsonText(const std::string& code) {
  std::string json;
  for (char ch : code) json += ch == '\n' ? std::string("\\n") : std::string(1, ch);
  return json;
}

// The room is cleared to its colour every frame; the step makes the colour
// redder by 40 each time, so frame k shows red 40 x k.
constexpr const char* kRedderRoom = R"("width": 40, "height": 30, "color": 0, "show_color": true)";
constexpr const char* kRedderStep = R"("step": "background_color += 40")";

TEST_F(DisplayGameTest, FramesAreTheRoomsSizeShowEachStepAndRepeatExactly) {
  const std::string game = Build("frames", kRedderRoom, kRedderStep);
  const fs::path first = m_dir / "first", second = m_dir / "second";
  for (const fs::path& dir : {first, second}) {
    const test::RRun r = Play(game, {"--steps", "4", "--frames", dir.string()});
    ASSERT_EQ(r.status, 0) << r.err;
  }
  const std::vector<std::string> expected = {"frame-000001.png", "frame-000002.png", "frame-000003.png",
                                             "frame-000004.png"};
  ASSERT_EQ(FilesIn(first), expected);
  ASSERT_EQ(FilesIn(second), expected);
  for (int k = 1; k <= 4; ++k) {
    SCOPED_TRACE(k);
    const std::string name = expected[size_t(k - 1)];
    EXPECT_EQ(test::ReadFile(first / name), test::ReadFile(second / name));
    const auto frame = Picture_LoadFromImageFile((first / name).string());
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->s_w, 40);
    EXPECT_EQ(frame->s_h, 30);
    const uint32_t red = 0xFF000000u | (uint32_t(40 * k) << 16);
    EXPECT_EQ(frame->s_data.front(), red);
    EXPECT_EQ(frame->s_data.back(), red);
  }
}

TEST_F(DisplayGameTest, WhichFramesAreWritten) {
  struct Case {
    const char* what;
    const char* events;
    std::vector<std::string> options;
    std::vector<std::string> files;
  };
  const Case cases[] = {
      {"every second frame, starting with the first", kRedderStep, {"--steps", "5", "--frame-every", "2"},
       {"frame-000001.png", "frame-000003.png", "frame-000005.png"}},
      {"without automatic drawing nothing is presented",
       R"j("create": "set_automatic_draw(false)", "step": "if (background_color == 80) set_automatic_draw(true); background_color += 40")j",
       {"--steps", "4"},
       {"frame-000003.png", "frame-000004.png"}},
      {"a step that ends the game shows no frame", R"j("step": "if (background_color == 80) game_end(); background_color += 40")j",
       {"--steps", "6"},
       {"frame-000001.png", "frame-000002.png"}},
  };
  int k = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string game = Build("which" + std::to_string(k), kRedderRoom, c.events);
    const fs::path dir = m_dir / ("frames" + std::to_string(k++));
    std::vector<std::string> options = c.options;
    options.insert(options.end(), {"--frames", dir.string()});
    const test::RRun r = Play(game, options);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(FilesIn(dir), c.files);
  }
}

TEST_F(DisplayGameTest, WithoutAGraphicsDeviceTheGameSaysSoAndDoesNotStart) {
  // No EGL library: no OpenGL context can be made.
  const std::string game = Build("nogl", kRedderRoom, R"j("create": "show_debug_message('started')")j");
  const test::RRun r = Play(game, {"--steps", "2", "--frames", (m_dir / "f").string()},
                            {"SDL_VIDEO_EGL_DRIVER=" + (m_dir / "no-such-libEGL.so").string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("could not start OpenGL 3.3"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_TRUE(FilesIn(m_dir / "f").empty());
}

TEST_F(DisplayGameTest, TheWindowFollowsTheRegionAndTheMouseMapsThroughIt) {
  const std::string code =
      "window_set_region_scale(2, true)\n"
      "show_debug_message(string(window_get_width()) + 'x' + string(window_get_height()))\n"
      "window_set_size(100, 100)\n"  // a positive scale keeps the scaled region's size
      "show_debug_message(string(window_get_width()) + 'x' + string(window_get_height()))\n"
      "window_mouse_set(30, 20)\n"
      "show_debug_message(string(window_mouse_get_x()) + ',' + string(window_mouse_get_y()))\n"
      "show_debug_message(string(window_views_mouse_get_x()) + ',' + string(window_views_mouse_get_y()))\n"
      "window_views_mouse_set(40, 30)\n"
      "show_debug_message(string(window_mouse_get_x()) + ',' + string(window_mouse_get_y()))\n"
      "window_set_region_scale(0, false)\n"
      "window_set_size(640, 120)\n"  // stretched: x by 2, y by 0.5
      "window_mouse_set(100, 100)\n"
      "show_debug_message(string(window_views_mouse_get_x()) + ',' + string(window_views_mouse_get_y()))\n"
      "window_set_caption('Hello')\n"
      "show_debug_message(window_get_caption())\n"
      "show_debug_message(string(window_handle() > 0 && window_handle() == floor(window_handle())))\n"
      "show_debug_message(string(window_get_region_width()) + ' ' + string(window_get_region_scale()))\n"
      "screen_save('shot.PNG')\n"
      "screen_save_part('part.png', 300, 200, 100, 100)\n"
      "screen_save('')\n"
      "show_debug_message('after')\n";
  const std::string game = Build("window", R"("caption": "Room", "width": 320, "height": 240)",
                                 R"("create": ")" + JsonText(code) + "\"");
  const test::RRun r = Play(game, {"--steps", "1"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "640x480\n640x480\n30,20\n15,10\n80,60\n50,200\nHello\n1\n320 0\nafter\n");
  EXPECT_NE(r.err.find("Trying to save screen to empty image file name."), std::string::npos) << r.err;
  const auto shot = Picture_LoadFromImageFile((m_dir / "shot.PNG").string());
  ASSERT_TRUE(shot);
  EXPECT_EQ(shot->s_w, 320);
  EXPECT_EQ(shot->s_h, 240);
  const auto part = Picture_LoadFromImageFile((m_dir / "part.png").string());
  ASSERT_TRUE(part);  // clipped to what is left of the region
  EXPECT_EQ(part->s_w, 20);
  EXPECT_EQ(part->s_h, 40);
}

TEST_F(DisplayGameTest, FullScreenComesBackToTheWindowAndWildSizesStayWithinTheDesktopsLimit) {
  const std::string code =
      "window_set_region_scale(3, true)\n"
      "show_debug_message(string(window_get_width()) + 'x' + string(window_get_height()))\n"
      "window_set_fullscreen(true)\n"
      "show_debug_message(string(window_get_fullscreen()) + ' ' + string(window_get_width() == display_get_width()))\n"
      "window_set_fullscreen(false)\n"
      "show_debug_message(string(window_get_fullscreen()) + ' ' + string(window_get_width()) + 'x' + string(window_get_height()))\n"
      "show_debug_message(string(display_test_all(display_get_width(), display_get_height(), 0, 0)) + ' ' + string(display_test_all(12345, 0, 0, 0)))\n"
      // A wild scale asks for a window no desktop has: it gets the largest side one takes.
      "window_set_region_scale(100000000000, true)\n"
      "show_debug_message(string(window_get_width()) + 'x' + string(window_get_height()))\n";
  const std::string game = Build("fullscreen", R"("width": 40, "height": 30)", R"("create": ")" + JsonText(code) + "\"");
  const test::RRun r = Play(game, {"--steps", "1"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "120x90\n1 1\n0 120x90\n1 0\n32767x32767\n");
}

}  // namespace
}  // namespace tavrin
