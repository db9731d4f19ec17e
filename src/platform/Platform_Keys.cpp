// The key table: SDL key codes and scan codes to the games' key codes.
#include "platform/Platform_Keys.h"

#include <SDL.h>

namespace tavrin {

namespace {

struct RKeyCode {
  SDL_Keycode sdl;
  int32_t key;
};

// Keys that type no character, and the keypad, by what the key is.
constexpr RKeyCode kByKeycode[] = {
    {SDLK_BACKSPACE, 8},     {SDLK_TAB, 9},            {SDLK_CLEAR, 12},         {SDLK_RETURN, 13},
    {SDLK_RETURN2, 13},      {SDLK_KP_ENTER, 13},      {SDLK_PAUSE, 19},         {SDLK_CAPSLOCK, 20},
    {SDLK_ESCAPE, 27},       {SDLK_SPACE, 32},         {SDLK_PAGEUP, 33},        {SDLK_PAGEDOWN, 34},
    {SDLK_END, 35},          {SDLK_HOME, 36},          {SDLK_LEFT, 37},          {SDLK_UP, 38},
    {SDLK_RIGHT, 39},        {SDLK_DOWN, 40},          {SDLK_SELECT, 41},        {SDLK_EXECUTE, 43},
    {SDLK_PRINTSCREEN, 44},  {SDLK_INSERT, 45},        {SDLK_DELETE, 46},        {SDLK_HELP, 47},
    {SDLK_LGUI, 91},         {SDLK_RGUI, 92},          {SDLK_APPLICATION, 93},   {SDLK_MENU, 93},
    {SDLK_SLEEP, 95},
    // The keypad with Num Lock on (Key_FromSDL turns the digits and the
    // point into the keys printed beside them when it is off).
    {SDLK_KP_0, 96},         {SDLK_KP_1, 97},          {SDLK_KP_2, 98},          {SDLK_KP_3, 99},
    {SDLK_KP_4, 100},        {SDLK_KP_5, 101},         {SDLK_KP_6, 102},         {SDLK_KP_7, 103},
    {SDLK_KP_8, 104},        {SDLK_KP_9, 105},         {SDLK_KP_MULTIPLY, 106},  {SDLK_KP_PLUS, 107},
    {SDLK_KP_COMMA, 108},    {SDLK_KP_MINUS, 109},     {SDLK_KP_PERIOD, 110},    {SDLK_KP_DECIMAL, 110},
    {SDLK_KP_DIVIDE, 111},   {SDLK_KP_EQUALS, 187},
    {SDLK_F1, 112},          {SDLK_F2, 113},           {SDLK_F3, 114},           {SDLK_F4, 115},
    {SDLK_F5, 116},          {SDLK_F6, 117},           {SDLK_F7, 118},           {SDLK_F8, 119},
    {SDLK_F9, 120},          {SDLK_F10, 121},          {SDLK_F11, 122},          {SDLK_F12, 123},
    {SDLK_F13, 124},         {SDLK_F14, 125},          {SDLK_F15, 126},          {SDLK_F16, 127},
    {SDLK_F17, 128},         {SDLK_F18, 129},          {SDLK_F19, 130},          {SDLK_F20, 131},
    {SDLK_F21, 132},         {SDLK_F22, 133},          {SDLK_F23, 134},          {SDLK_F24, 135},
    {SDLK_NUMLOCKCLEAR, 144}, {SDLK_SCROLLLOCK, 145},
    // Shift, Ctrl and Alt with their sides: games see 16, 17 and 18 in
    // their events, and may ask for one side with keyboard_check_direct.
    {SDLK_LSHIFT, 160},      {SDLK_RSHIFT, 161},       {SDLK_LCTRL, 162},        {SDLK_RCTRL, 163},
    {SDLK_LALT, 164},        {SDLK_RALT, 165},         {SDLK_MODE, 165},
    // Browser and media keys.
    {SDLK_AC_BACK, 166},     {SDLK_AC_FORWARD, 167},   {SDLK_AC_REFRESH, 168},   {SDLK_AC_STOP, 169},
    {SDLK_AC_SEARCH, 170},   {SDLK_AC_BOOKMARKS, 171}, {SDLK_AC_HOME, 172},      {SDLK_MUTE, 173},
    {SDLK_AUDIOMUTE, 173},   {SDLK_VOLUMEDOWN, 174},   {SDLK_VOLUMEUP, 175},     {SDLK_AUDIONEXT, 176},
    {SDLK_AUDIOPREV, 177},   {SDLK_AUDIOSTOP, 178},    {SDLK_AUDIOPLAY, 179},    {SDLK_MAIL, 180},
    {SDLK_MEDIASELECT, 181}, {SDLK_APP1, 182},         {SDLK_APP2, 183},
};

struct RKeyPlace {
  SDL_Scancode sdl;
  int32_t key;
};

// Keys that type characters, by where they sit on the keyboard.
constexpr RKeyPlace kByPlace[] = {
    {SDL_SCANCODE_SEMICOLON, 186},    {SDL_SCANCODE_EQUALS, 187},         {SDL_SCANCODE_COMMA, 188},
    {SDL_SCANCODE_MINUS, 189},        {SDL_SCANCODE_PERIOD, 190},         {SDL_SCANCODE_SLASH, 191},
    {SDL_SCANCODE_GRAVE, 192},        {SDL_SCANCODE_INTERNATIONAL1, 193}, {SDL_SCANCODE_LEFTBRACKET, 219},
    {SDL_SCANCODE_BACKSLASH, 220},    {SDL_SCANCODE_NONUSHASH, 220},      {SDL_SCANCODE_RIGHTBRACKET, 221},
    {SDL_SCANCODE_APOSTROPHE, 222},   {SDL_SCANCODE_NONUSBACKSLASH, 226}, {SDL_SCANCODE_SPACE, 32},
};

// The keypad keys without Num Lock: Insert, End, Down, Page Down, Left,
// Clear, Right, Home, Up, Page Up; the point is Delete.
constexpr int32_t kKeypadWithoutNumLock[] = {45, 35, 40, 34, 37, 12, 39, 36, 38, 33};

bool IsKeypadDigit(SDL_Keycode k) { return k >= SDLK_KP_1 && k <= SDLK_KP_0; }

int32_t ByPlace(SDL_Scancode sc) {
  if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return 'A' + (sc - SDL_SCANCODE_A);
  if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) return '1' + (sc - SDL_SCANCODE_1);
  if (sc == SDL_SCANCODE_0) return '0';
  for (const RKeyPlace& p : kByPlace)
    if (p.sdl == sc) return p.key;
  return 0;
}

}  // namespace

int32_t Key_FromSDL(int32_t keycode, int32_t scancode, bool numLock) {
  const SDL_Keycode k = keycode;
  if (!numLock && (IsKeypadDigit(k) || k == SDLK_KP_PERIOD)) {
    if (k == SDLK_KP_PERIOD) return 46;
    return kKeypadWithoutNumLock[k == SDLK_KP_0 ? 0 : k - SDLK_KP_1 + 1];
  }
  for (const RKeyCode& c : kByKeycode)
    if (c.sdl == k) return c.key;
  if (k >= 'a' && k <= 'z') return k - 'a' + 'A';
  if (k >= '0' && k <= '9') return k;
  if (const int32_t placed = ByPlace(SDL_Scancode(scancode))) return placed;
  // A key the place table does not know that still types a plain ASCII
  // character: take the character's usual key.
  switch (k) {
    case ';': case ':': return 186;
    case '=': case '+': return 187;
    case ',': case '<': return 188;
    case '-': case '_': return 189;
    case '.': case '>': return 190;
    case '/': case '?': return 191;
    case '`': case '~': return 192;
    case '[': case '{': return 219;
    case '\\': case '|': return 220;
    case ']': case '}': return 221;
    case '\'': case '"': return 222;
    default: return 0;
  }
}

}  // namespace tavrin
