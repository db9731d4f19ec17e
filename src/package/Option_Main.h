// The game settings: read once from the package header, then read by every
// subsystem that the settings steer. Defaults are the runner's own, so a
// package that lacks a field (older settings versions) still plays sensibly.
#pragma once

#include <cstdint>

namespace tavrin {

class CStream;

struct RGameSettings {
  bool opt_fullscreen = false;
  bool opt_interpolate = false;
  bool opt_noborder = false;
  bool opt_showcursor = true;
  int32_t opt_scale = 100;
  bool opt_sizeable = false;
  bool opt_stayontop = false;
  int32_t opt_windowcolor = 0xFFFFFF;
  bool opt_changemode = false;
  int32_t opt_colordepth = 0;
  int32_t opt_resolution = 0;
  int32_t opt_frequency = 0;
  bool opt_nobuttons = false;
  int32_t opt_displayflags = 0;
  bool opt_noscreensaver = true;
  bool opt_keyf4 = true;
  bool opt_keyf1 = true;
  bool opt_keyesc = true;
  bool opt_keyf5f6 = true;
  bool opt_keyf9 = true;
  bool opt_closeasesc = true;
  int32_t opt_priority = 0;
  bool opt_freeze = false;
  bool opt_showprogress = true;
  bool opt_loadtransparent = false;
  int32_t opt_loadalpha = 255;
  bool opt_scaleprogress = true;
  bool opt_showerrors = true;
  bool opt_logerrors = false;
  bool opt_aborterrors = false;
  bool opt_uninitzero = false;  // error flags, bit 0
  bool opt_checkargs = false;   // error flags, bit 1
  bool opt_createfirst = false;
};

// The settings of the game being played. Tests may assign a fresh value.

}  // namespace tavrin
