// The platform's side of input: the key table from SDL's key and scan codes
// to the games' key codes, and joysticks read through SDL's virtual devices,
// as plain joysticks and as game controllers.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "platform/Platform.h"
#include "platform/Platform_Keys.h"

namespace tavrin {
namespace {

TEST(KeyTable, SdlKeysBecomeTheGamesKeyCodes) {
  struct RCase {
    const char* what;
    SDL_Keycode key;
    SDL_Scancode place;
    bool numLock;
    int32_t code;
  };
  const RCase cases[] = {
      {"a letter by what it types", SDLK_q, SDL_SCANCODE_A, true, 'Q'},  // the A place types q on AZERTY
      {"a digit", SDLK_7, SDL_SCANCODE_7, true, '7'},
      {"a non-ASCII character by its place", 0xE9 /* é */, SDL_SCANCODE_2, true, '2'},
      {"a letter of another script by its place", 0x444 /* ф */, SDL_SCANCODE_A, true, 'A'},
      {"punctuation by its place", SDLK_HASH, SDL_SCANCODE_NONUSHASH, true, 220},
      {"the key beside left Shift", SDLK_LESS, SDL_SCANCODE_NONUSBACKSLASH, true, 226},
      {"semicolon", SDLK_SEMICOLON, SDL_SCANCODE_SEMICOLON, true, 186},
      {"apostrophe", SDLK_QUOTE, SDL_SCANCODE_APOSTROPHE, true, 222},
      {"plus where the equals key is", SDLK_PLUS, SDL_SCANCODE_EQUALS, true, 187},
      {"an ASCII character at an unknown place", SDLK_SLASH, SDL_SCANCODE_UNKNOWN, true, 191},
      {"Enter", SDLK_RETURN, SDL_SCANCODE_RETURN, true, 13},
      {"keypad Enter", SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, true, 13},
      {"Escape", SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, true, 27},
      {"left arrow", SDLK_LEFT, SDL_SCANCODE_LEFT, true, 37},
      {"F1", SDLK_F1, SDL_SCANCODE_F1, true, 112},
      {"F12", SDLK_F12, SDL_SCANCODE_F12, true, 123},
      {"F24", SDLK_F24, SDL_SCANCODE_F24, true, 135},
      {"keypad 0 with Num Lock", SDLK_KP_0, SDL_SCANCODE_KP_0, true, 96},
      {"keypad 9 with Num Lock", SDLK_KP_9, SDL_SCANCODE_KP_9, true, 105},
      {"keypad 4 without Num Lock is Left", SDLK_KP_4, SDL_SCANCODE_KP_4, false, 37},
      {"keypad 5 without Num Lock is Clear", SDLK_KP_5, SDL_SCANCODE_KP_5, false, 12},
      {"keypad 0 without Num Lock is Insert", SDLK_KP_0, SDL_SCANCODE_KP_0, false, 45},
      {"keypad point without Num Lock is Delete", SDLK_KP_PERIOD, SDL_SCANCODE_KP_PERIOD, false, 46},
      {"keypad point", SDLK_KP_PERIOD, SDL_SCANCODE_KP_PERIOD, true, 110},
      {"keypad divide, whatever Num Lock", SDLK_KP_DIVIDE, SDL_SCANCODE_KP_DIVIDE, false, 111},
      {"keypad plus", SDLK_KP_PLUS, SDL_SCANCODE_KP_PLUS, true, 107},
      {"left Shift keeps its side", SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, true, 160},
      {"right Ctrl", SDLK_RCTRL, SDL_SCANCODE_RCTRL, true, 163},
      {"AltGr is the right Alt", SDLK_RALT, SDL_SCANCODE_RALT, true, 165},
      {"Num Lock", SDLK_NUMLOCKCLEAR, SDL_SCANCODE_NUMLOCKCLEAR, true, 144},
      {"volume up", SDLK_VOLUMEUP, SDL_SCANCODE_VOLUMEUP, true, 175},
      {"a key games have no code for", SDLK_BRIGHTNESSUP, SDL_SCANCODE_BRIGHTNESSUP, true, 0},
  };
  for (const RCase& c : cases) EXPECT_EQ(Key_FromSDL(c.key, c.place, c.numLock), c.code) << c.what;
}

TEST(PlatformEvents, SdlInputBecomesThePlayersEvents) {
  RPlatformConfig config;
  config.headless = true;
  auto p = Platform_CreateSDL(config);
  std::vector<RPlatformEvent> got;
  p->SetEventHandler([&](const RPlatformEvent& e) { got.push_back(e); });
  auto push = [](SDL_Event e) { SDL_PushEvent(&e); };
  SDL_Event key{};
  key.type = SDL_KEYDOWN;
  key.key.keysym.sym = SDLK_LSHIFT;
  key.key.keysym.scancode = SDL_SCANCODE_LSHIFT;
  key.key.repeat = 1;
  push(key);
  key.key.keysym.sym = SDLK_BRIGHTNESSUP;  // no code: not passed on
  push(key);
  key.type = SDL_KEYUP;
  key.key.keysym.sym = SDLK_KP_4;
  key.key.keysym.scancode = SDL_SCANCODE_KP_4;
  key.key.keysym.mod = KMOD_NUM;
  push(key);
  SDL_Event text{};
  text.type = SDL_TEXTINPUT;
  std::snprintf(text.text.text, sizeof text.text.text, "%s", "ö");
  push(text);
  SDL_Event button{};
  button.type = SDL_MOUSEBUTTONDOWN;
  button.button.button = SDL_BUTTON_X1;  // a side button counts as the left one
  button.button.x = 7;
  button.button.y = 9;
  push(button);
  SDL_Event wheel{};
  wheel.type = SDL_MOUSEWHEEL;
  wheel.wheel.y = 2;
  wheel.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
  push(wheel);
  p->PumpMessages();
  ASSERT_EQ(got.size(), 5u);
  EXPECT_EQ(got[0].type, RPlatformEvent::KeyDown);
  EXPECT_EQ(got[0].key, 160);
  EXPECT_TRUE(got[0].repeat);
  EXPECT_EQ(got[1].type, RPlatformEvent::KeyUp);
  EXPECT_EQ(got[1].key, 100);
  EXPECT_EQ(got[2].type, RPlatformEvent::Text);
  EXPECT_EQ(got[2].text, "ö");
  EXPECT_EQ(got[3].type, RPlatformEvent::MouseDown);
  EXPECT_EQ(got[3].button, 1);
  EXPECT_EQ(got[4].type, RPlatformEvent::MouseWheel);
  EXPECT_LT(got[4].y, 0);  // turned towards the player, whatever the desktop's direction
  int x = 0, y = 0;
  p->Mouse_LastPosition(x, y);
  EXPECT_EQ(x, 7);
  EXPECT_EQ(y, 9);
}

class VirtualJoysticks : public ::testing::Test {
 protected:
  void SetUp() override {
    RPlatformConfig config;
    config.headless = true;
    m_platform = Platform_CreateSDL(config);
  }
  std::unique_ptr<IPlatform> m_platform;
};

TEST_F(VirtualJoysticks, AJoystickReadsAsItReportsItself) {
  IPlatform& p = *m_platform;
  RJoystickState s;
  RJoystickCaps caps;
  EXPECT_FALSE(p.Joystick_State(1, s));
  EXPECT_FALSE(p.Joystick_Caps(2, caps));
  RJoystickState set;
  set.axes = {0, 65535, 32767, 100, 40000, 32767};
  set.buttons = 0x80000005u;
  set.pov = 22500;
  ASSERT_TRUE(p.Joystick_SetVirtual(2, set));
  EXPECT_FALSE(p.Joystick_State(1, s));  // placed where it was asked for
  ASSERT_TRUE(p.Joystick_State(2, s));
  EXPECT_EQ(s.axes[0], 0u);
  EXPECT_EQ(s.axes[1], 65535u);
  EXPECT_EQ(s.axes[2], 32767u);  // the centre stays exactly the centre
  EXPECT_NEAR(double(s.axes[3]), 100, 2);
  EXPECT_NEAR(double(s.axes[4]), 40000, 2);
  EXPECT_EQ(s.buttons, 0x80000005u);
  EXPECT_EQ(s.pov, 22500u);
  ASSERT_TRUE(p.Joystick_Caps(2, caps));
  EXPECT_EQ(caps.axes, 6);
  EXPECT_EQ(caps.buttons, 32);
  EXPECT_TRUE(caps.hasPov);
  EXPECT_FALSE(caps.name.empty());
  EXPECT_LE(caps.name.size(), 32u * 4);
  set.pov = 65535;
  ASSERT_TRUE(p.Joystick_SetVirtual(2, set));
  ASSERT_TRUE(p.Joystick_State(2, s));
  EXPECT_EQ(s.pov, 65535u);
}

TEST_F(VirtualJoysticks, AGameControllerReadsInTheFixedLayout) {
  IPlatform& p = *m_platform;
  RJoystickState set;
  set.axes = {65535, 0, 0, 32767, 65535, 32767};  // z 0: the left trigger in full
  set.buttons = (1u << 0) | (1u << 5) | (1u << 7);  // A, right shoulder, start
  set.pov = 9000;
  ASSERT_TRUE(p.Joystick_SetVirtual(1, set, true));
  RJoystickState s;
  ASSERT_TRUE(p.Joystick_State(1, s));
  EXPECT_EQ(s.axes[0], 65535u);
  EXPECT_EQ(s.axes[1], 0u);
  EXPECT_LT(s.axes[2], 20000u);
  EXPECT_NEAR(double(s.axes[3]), 32767, 2);
  EXPECT_EQ(s.axes[4], 65535u);
  EXPECT_EQ(s.buttons, set.buttons);
  EXPECT_EQ(s.pov, 9000u);
  RJoystickCaps caps;
  ASSERT_TRUE(p.Joystick_Caps(1, caps));
  EXPECT_EQ(caps.axes, 5);
  EXPECT_EQ(caps.buttons, 10);
  EXPECT_TRUE(caps.hasPov);
}

}  // namespace
}  // namespace tavrin
