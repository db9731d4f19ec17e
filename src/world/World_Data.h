// The world a game brings: its objects, rooms and their order, paths, time
// lines, triggers and library initialisation code. Loading a package fills
// one of these; the runner then installs it as g_WorldData, which the running
// game reads and changes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "world/Object_Class.h"
#include "world/Path_Class.h"
#include "world/Room_Class.h"
#include "world/TimeLine_Class.h"

namespace tavrin {

struct RWorldData {
  CResourceList<CObject> objects;
  CResourceList<CRoom> rooms;
  std::vector<int32_t> roomOrder;
  // The last instance and tile ids the editor handed out.
  int32_t roomLastInstanceId = 100000;
  int32_t roomLastTileId = 10000000;
  CResourceList<CPath> paths;
  CResourceList<CTimeLine> timeLines;
  CResourceList<CTrigger> triggers;  // names are the triggers' own
  // Code strings run at the start of a game.
  std::vector<std::string> libraryInitCode;

  void Clear() { *this = RWorldData(); }
};

inline RWorldData g_WorldData;

}  // namespace tavrin
