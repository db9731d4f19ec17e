// The player's input: replay files read or refused line by line, and small
// games played headless through --input, each showing one rule of keys,
// text, buttons, the close button, waits and the runner's own keys.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "runner/Runner_Replay.h"
#include "world/Input_State.h"
#include "support/PackFixture.h"
#include "support/TestProcess.h"

namespace fs = std::filesystem;

namespace tavrin {
namespace {

// ------------------------------------------------------------ the replay reader

TEST(Replay, LinesBecomeEventsInStepOrder) {
  std::string error;
  const auto replay = Replay_Parse(
      "# a comment\n\n2 key down vk_left\r\n2 key up a\n3 text  x\\by\\n\n4 mouse move -5 7\n4 mouse down middle\n"
      "5 wheel down\n6 joy 2 axis u 1\n6 joy 2 button 32 down\n7 joy 2 pov 45\n8 close\n9 focus lost\n",
      error);
  ASSERT_TRUE(replay) << error;
  const auto& e = replay->events;
  ASSERT_EQ(e.size(), 11u);
  EXPECT_EQ(e[0].step, 2);
  EXPECT_EQ(e[0].event.type, RPlatformEvent::KeyDown);
  EXPECT_EQ(e[0].event.key, 37);
  EXPECT_EQ(e[1].event.key, 'A');
  EXPECT_EQ(e[2].event.text, " x\by\r");  // one blank after "text" separates, the rest is typed
  EXPECT_EQ(e[3].event.x, -5);
  EXPECT_EQ(e[4].event.button, 3);
  EXPECT_EQ(e[5].event.y, -1);
  // Joystick lines carry the whole state the joystick has after them.
  EXPECT_EQ(e[6].joystick, 2);
  EXPECT_EQ(e[6].state.axes[4], 65535u);
  EXPECT_EQ(e[8].state.buttons, 1u << 31);
  EXPECT_EQ(e[8].state.axes[4], 65535u);
  EXPECT_EQ(e[8].state.pov, 4500u);
  EXPECT_EQ(e[9].event.type, RPlatformEvent::WindowClose);
  EXPECT_EQ(e[10].event.type, RPlatformEvent::FocusLost);
  EXPECT_TRUE(replay->joysticks);
}

TEST(Replay, ALineThatCannotBeReadIsNamedWithItsReason) {
  const std::pair<const char*, const char*> cases[] = {
      {"0 key down A", "line 1: a line starts with its step, a whole number from 1 on, not \"0\""},
      {"1.5 close", "not \"1.5\""},
      {"3 close\n2 close", "line 2: step 2 comes after step 3"},
      {"1", "line 1: the step is not followed by an event"},
      {"1 jump", "unknown event \"jump\""},
      {"1 key down", "\"key\" takes the form: STEP key down|up KEY"},
      {"1 key pressed A", "a key goes \"down\" or \"up\""},
      {"1 key down 256", "\"256\" is no key"},
      {"1 key down vk_nothing", "\"vk_nothing\" is no key"},
      {"1 text", "\"text\" takes the form"},
      {"1 text a\\q", "unknown escape \\q"},
      {"1 text \xC3", "the text is not UTF-8"},
      {"1 mouse move 1", "mouse move X Y"},
      {"1 mouse down thumb", "\"thumb\" is no button"},
      {"1 wheel left", "the wheel turns"},
      {"1 joy 3 axis x 0", "\"joy\" takes the form"},
      {"1 joy 1 axis w 0", "the axes are x, y, z, r, u and v"},
      {"1 joy 1 axis x 1.5", "an axis goes from -1 to 1"},
      {"1 joy 1 button 33 down", "numbered 1 to 32"},
      {"1 joy 1 pov 30", "0, 45, 90 ... 315"},
      {"1 close now", "\"close\" takes the form"},
  };
  for (const auto& [text, reason] : cases) {
    SCOPED_TRACE(text);
    std::string error;
    EXPECT_FALSE(Replay_Parse(text, error));
    EXPECT_NE(error.find(reason), std::string::npos) << error;
  }
}

// The names error headings give keys and mouse events.
TEST(InputNames, KeysAndMouseEventsAreNamedForErrorHeadings) {
  const std::pair<int32_t, const char*> keys[] = {
      {0, "<no key>"}, {1, "<any key>"},  {8, "<Backspace>"}, {27, "<Escape>"}, {37, "<Left>"},
      {48, "0-key"},   {90, "Z-key"},     {96, "Keypad 0"},   {105, "Keypad 9"}, {106, "Keypad *"},
      {111, "Keypad /"}, {112, "F1"},     {123, "F12"},       {124, "<unknown>"}, {186, "<unknown>"},
      {-1, "<unknown>"}};
  for (const auto& [key, name] : keys) EXPECT_EQ(Key_Name(key), name) << key;
  const std::pair<int32_t, const char*> events[] = {
      {0, "Left Button"},           {3, "No Button"},          {9, "Middle Released"},
      {10, "Mouse Enter"},          {11, "Mouse Leave"},        {12, "<unknown>"},
      {16, "Joystick 1 Left"},      {19, "Joystick 1 Down"},    {20, "<unknown>"},
      {21, "Joystick 1 Button 1"},  {28, "Joystick 1 Button 8"}, {31, "Joystick 2 Left"},
      {36, "Joystick 2 Button 1"},  {43, "Joystick 2 Button 8"}, {50, "Glob Left Button"},
      {58, "Glob Middle Released"}, {60, "Mouse Wheel Up"},     {61, "Mouse Wheel Down"},
      {62, "<unknown>"}};
  for (const auto& [number, name] : events) EXPECT_EQ(Mouse_EventName(number), name) << number;
}

// ------------------------------------------------------------ games played with a replay

// A game of one object `o` (its events as code) with one instance, played
// with the replay for `steps` steps.
struct RInputCase {
  const char* name;
  std::map<std::string, std::string> events;
  const char* replay;
  int steps;
  const char* out;
  const char* settings = "";  // more fields of the settings
  std::vector<std::string> options = {};
};

std::string Json(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\n') out += "\\n";
    else if (c == '"' || c == '\\') out += std::string("\\") + c;
    else out += c;
  }
  return out + "\"";
}

// A test folder of its own (the fixture's), where the games are built and
// played, and where they write their files.
class InputGame : public test::CPackFixture {
 protected:
  void Write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
  }

  test::RRun Play(const RInputCase& c, const std::string& folder) {
    const fs::path project = m_dir / folder;
    std::string events;
    for (const auto& [event, code] : c.events) events += (events.empty() ? "" : ", ") + Json(event) + ": " + Json(code);
    Write(project / "objects" / "o.json", "{\"events\": {" + events + "}}");
    Write(project / "rooms" / "r.json", R"({"instances": [{"x": 0, "y": 0, "object": "o"}]})");
    Write(project / "game.json",
          std::string(R"({"room_order": ["r"], "settings": {"uninitzero": true)") + c.settings + "}}");
    Write(project / "play.txt", c.replay);
    const std::string game = (m_dir / (folder + ".bin")).string();
    const test::RRun packed = Pack({"build", project.string(), "-o", game});
    EXPECT_EQ(packed.status, 0) << packed.err;
    std::vector<std::string> argv = {"timeout", "60", TAVRIN_EXE, "--headless", "--fixed-clock", "--seed", "1",
                                     "--steps", std::to_string(c.steps), "--input", (project / "play.txt").string()};
    argv.insert(argv.end(), c.options.begin(), c.options.end());
    argv.push_back(game);
    return test::RunProgram(argv, {"TAVRIN_HOME=" + m_dir.string()}, m_dir.string());
  }

  template <size_t N>
  void PlayCases(const RInputCase (&cases)[N]) {
    int k = 0;
    for (const RInputCase& c : cases) {
      SCOPED_TRACE(c.name);
      const test::RRun r = Play(c, "case" + std::to_string(k++));
      EXPECT_EQ(r.out, c.out) << r.err;
      EXPECT_EQ(r.status, 0) << r.err;
    }
  }
};

// Each step prints what it sees, after the step counter moves on.
const char* kCount = "global.t += 1";
std::string Say(const std::string& what) { return "show_debug_message(string(global.t) + ' ' + " + what + ")"; }

TEST_F(InputGame, KeysHeldPressedReleasedMappedAndTyped) {
  const RInputCase cases[] = {
      {"a key code 2 to 7 counts for keyboard_check(vk_anykey) but raises the no-key events",
       {{"step:1", kCount},
        {"step", Say("string(keyboard_check(vk_anykey)) + string(keyboard_check(vk_nokey))")},
        {"keyboard:0", Say("'no key'")},
        {"keypress:0", Say("'no key pressed'")},
        {"keyboard:1", Say("'any key'")}},
       "2 key down 5\n", 2, "1 no key\n1 no key pressed\n1 01\n2 no key\n2 no key pressed\n2 10\n"},
      {"a key mapped to -1 is no key at all; keyboard_unset_map brings it back",
       {{"create", "keyboard_set_map(ord('Q'), -1)\nshow_debug_message(keyboard_get_map(ord('Q')))"},
        {"step:1", kCount + std::string("\nif (global.t == 3) keyboard_unset_map()")},
        {"keypress:1", Say("'pressed ' + string(keyboard_lastkey)")}},
       "2 key down Q\n2 key up Q\n4 key down Q\n", 4, "-1\n4 pressed 81\n"},
      {"Shift comes with its side: events see Shift, keyboard_check_direct sees both",
       {{"step:1", kCount},
        {"keypress:16", Say("'shift ' + string(keyboard_check(vk_shift)) + string(keyboard_check(vk_lshift)) + "
                            "string(keyboard_check_direct(vk_shift)) + string(keyboard_check_direct(vk_lshift)) + "
                            "string(keyboard_check_direct(vk_rshift))")}},
       "1 key down 160\n", 1, "1 shift 10110\n"},
      {"keyboard_key follows the key held; writes outside 0..255 and mouse_button = 0 are ignored",
       {{"step:1", kCount},
        {"step", "keyboard_lastkey = 300\nmouse_button = 0\nmouse_lastbutton = 2\n" +
                     Say("string(keyboard_key) + ' ' + string(keyboard_lastkey) + ' ' + string(mouse_button) + ' ' + "
                         "string(mouse_lastbutton)")}},
       "1 key down A\n1 key down B\n1 mouse down right\n2 key up B\n2 mouse down left\n2 mouse up right\n", 2,
       "1 66 66 2 2\n2 0 66 0 2\n"},
      {"keyboard_key_press and keyboard_key_release reach the game at the next processing",
       {{"step:1", kCount},
        {"step", "if (global.t == 1) { keyboard_key_press(ord('K')); show_debug_message(keyboard_check(ord('K'))); "
                 "io_handle(); show_debug_message(keyboard_check(ord('K'))); keyboard_key_release(ord('K')) }"},
        {"keyrelease:75", Say("'K released'")}},
       "", 2, "0\n1\n2 K released\n"},
      {"typed text keeps whole characters: backspace takes one, the cap counts characters",
       {{"create", "keyboard_string = string_repeat('é', 1100)"},
        {"step:1", kCount},
        {"step", Say("string(string_length(keyboard_string)) + ' ' + string_char_at(keyboard_string, 1) + ' ' + "
                     "string_char_at(keyboard_string, string_length(keyboard_string)) + ' [' + keyboard_lastchar + ']'")}},
       "2 text ü\n3 text \\b\\b\n4 text 日本\n", 4,
       "1 1100 é é []\n2 1025 é ü [ü]\n3 1022 é é [\b]\n4 1024 é 本 [本]\n"},
      {"backspace on empty text changes nothing but the last character",
       {{"step:1", kCount},
        {"step", Say("'[' + keyboard_string + '] ' + string(ord(keyboard_lastchar))")}},
       "1 key down vk_backspace\n", 1, "1 [] 8\n"},
  };
  PlayCases(cases);
}

TEST_F(InputGame, ButtonsTheCloseButtonAndTheFocus) {
  const RInputCase cases[] = {
      {"a button pressed twice before a step is pressed once; releasing another sets mouse_button to 0",
       {{"step:1", kCount},
        {"mouse:53", Say("'left pressed'")},
        {"mouse:56", Say("'left released'")},
        {"step", Say("string(mouse_check_button(mb_left)) + string(mouse_check_button_pressed(mb_any)) + "
                     "string(mouse_check_button_released(mb_right)) + string(mouse_check_button(mb_none)) + ' ' + "
                     "string(mouse_button)")}},
       "1 mouse down left\n1 mouse down left\n1 mouse up left\n1 mouse down left\n2 mouse down right\n"
       "2 mouse up right\n3 mouse up left\n",
       3, "1 left pressed\n1 left released\n1 1100 1\n2 1110 0\n3 left released\n3 0001 0\n"},
      {"the close button as Escape holds Escape without pressing it, and the game goes on",
       {{"step:1", kCount},
        {"step", Say("string(keyboard_check(vk_escape)) + string(keyboard_check_pressed(vk_escape)) + ' ' + "
                     "string(keyboard_lastkey)")}},
       "2 close\n", 3, "1 00 0\n2 10 27\n3 10 27\n", R"(, "keyesc": false)"},
      {"the close button as Escape ends the game when Escape does",
       {{"step:1", kCount}, {"other:3", Say("'game end'")}}, "2 close\n", 5, "1 game end\n"},
      {"otherwise the close button is the game's close-button event",
       {{"step:1", kCount}, {"other:30", Say("'close button ' + string(keyboard_check(vk_escape))")}},
       "2 close\n", 2, "1 close button 0\n", R"(, "closeasesc": false)"},
      {"while the window has lost the focus the keys are forgotten at each step",
       {{"step:1", kCount}, {"step", Say("string(keyboard_check(ord('A')))")}},
       "1 key down A\n2 focus lost\n3 focus gained\n4 key down A\n", 4, "1 1\n2 0\n3 0\n4 1\n"},
  };
  PlayCases(cases);
}

TEST_F(InputGame, WaitsTakeTheNextStepsInput) {
  const RInputCase cases[] = {
      {"keyboard_wait ends with the next key of the replay, which is not played again",
       {{"step:1", kCount},
        {"step", "if (global.t == 1) { keyboard_wait(); " + Say("'waited for ' + string(keyboard_lastkey)") + " }"},
        {"keypress:1", Say("'pressed ' + string(keyboard_lastkey)")}},
       "3 key down B\n", 3, "1 waited for 66\n"},
      {"mouse_wait waits for a new button even when one was pressed before",
       {{"step:1", kCount},
        {"step", "if (global.t == 2) { mouse_wait(); " + Say("'waited for ' + string(mouse_lastbutton)") + " }"}},
       "1 mouse down left\n5 mouse down right\n", 3, "2 waited for 2\n"},
      {"a wait with nothing left to replay ends at once in a headless run",
       {{"create", "keyboard_wait()\nshow_debug_message('went on ' + string(keyboard_lastkey))"}}, "", 1,
       "went on 0\n"},
  };
  PlayCases(cases);
}

TEST_F(InputGame, AnErrorShownNowhereLeavesTheKeysAlone) {
  // No window is shown for the error (it goes to the terminal), so the key
  // the player holds is still held afterwards.
  const RInputCase c{"error",
                     {{"step:1", kCount},
                      {"step", Say("string(keyboard_check(ord('A')))") + "\nzero = 0\nif (global.t == 2) x = 1 / zero"}},
                     "1 key down A\n", 3, "1 1\n2 1\n3 1\n"};
  const test::RRun r = Play(c, "error");
  EXPECT_EQ(r.out, c.out) << r.err;
  EXPECT_NE(r.err.find("Division by 0"), std::string::npos) << r.err;
}

TEST_F(InputGame, RunnerKeysTakeTheScreenshotAndSayWhatIsMissing) {
  Write(m_dir / "screenshot100.png", "taken");
  Write(m_dir / "screenshot101.png", "taken");
  const RInputCase c{"keys",
                     {{"step:1", kCount}, {"keypress:1", Say("'saw ' + string(keyboard_lastkey)")}},
                     "1 key down vk_f9\n2 key down vk_f5\n3 key down vk_f1\n4 key down vk_f4\n", 4,
                     // F1 clears the input after the game information, so its step sees no key.
                     "1 saw 0\n2 saw 0\n4 saw 0\n", "", {"--VXTrace"}};
  const test::RRun r = Play(c, "keys");
  EXPECT_EQ(r.out, c.out) << r.err;
  const std::string trace = test::ReadFile(m_dir / "Trace.log");
  // F5 saved the game under its own name (the game id is 0 here).
  EXPECT_TRUE(fs::is_regular_file(m_dir / "_save0.sav"));
  EXPECT_NE(trace.find("F1: the game information cannot be shown yet"), std::string::npos) << trace;
  EXPECT_TRUE(fs::is_regular_file(m_dir / "screenshot102.png"));
  EXPECT_FALSE(fs::exists(m_dir / "screenshot103.png"));
  EXPECT_EQ(test::ReadFile(m_dir / "screenshot100.png"), "taken");
}

TEST_F(InputGame, JoysticksAreReadThroughVirtualDevices) {
  const RInputCase c{
      "joysticks",
      {{"step:1", kCount},
       {"step", Say("string(joystick_exists(1)) + string(joystick_exists(2)) + ' ' + string(joystick_ypos(2)) + ' ' + "
                    "string(joystick_zpos(2)) + ' ' + string(joystick_check_button(2, 8)) + ' ' + "
                    "string(joystick_direction(2)) + ' ' + string(joystick_axes(2)) + ' ' + string(joystick_buttons(2)) + "
                    "' ' + string(joystick_has_pov(2)) + ' ' + string(joystick_pov(0))")},
       {"mouse:19", Say("'joystick 1 down'")},
       {"mouse:33", Say("'joystick 2 up'")},
       {"mouse:43", Say("'joystick 2 button 8'")}},
      "2 joy 2 axis y -1\n2 joy 2 axis z 0.5\n2 joy 2 button 8 down\n3 joy 1 axis y 1\n3 joy 1 pov 270\n", 3,
      "1 00 0 0 0 101 0 0 0 -1\n"
      "2 joystick 2 up\n2 joystick 2 button 8\n2 01 -1 0.50 1 104 6 32 1 -1\n"
      "3 joystick 1 down\n3 joystick 2 up\n3 joystick 2 button 8\n3 11 -1 0.50 1 104 6 32 1 270\n"};
  const test::RRun r = Play(c, "joysticks");
  EXPECT_EQ(r.out, c.out) << r.err;
}

TEST_F(InputGame, ABadReplayStopsTheRunBeforeTheGame) {
  Write(m_dir / "bad.txt", "1 key down A\n\n3 key down nothing\n");
  const test::RRun r = test::RunProgram({TAVRIN_EXE, "--headless", "--input", (m_dir / "bad.txt").string(),
                                               (m_dir / "bad.txt").string()});  // any file stands for the game
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "tavrin: " + (m_dir / "bad.txt").string() +
                       ": line 3: \"nothing\" is no key: give a code 0-255, a vk_ name or a letter or digit\n");
  EXPECT_EQ(r.out, "");
}

}  // namespace
}  // namespace tavrin
