// The game information: a rich text with the window it is shown in, as the
// package stores it. Showing it comes with the runner's own windows.
#pragma once

#include <string>

#include "package/Support_Stream.h"

namespace tavrin {

struct RGameInformation {
  int32_t backgroundColor = 0xE1FFFF;
  bool inGameWindow = false;
  std::string caption = "Game Information";
  int32_t left = -1, top = -1, width = 600, height = 400;  // negative left/top: centred
  bool border = true, sizeable = true, onTop = false, pauseGame = true;
  std::string text;  // rich text

  bool LoadFromStream(CStream& s);
  void SaveToStream(CStream& s) const;
};

extern RGameInformation g_GameInformation;

bool Info_Load(CStream& content, RGameInformation& information);
void Info_Save(CStream& content, const RGameInformation& information);

}  // namespace tavrin
