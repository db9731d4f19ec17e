// The resource kinds a project folder holds, in package order. The parts of
// game.json that belong to no folder come last: the room order needs the rooms.
#include "Pack_Media.h"
#include "Pack_World.h"

namespace tavrin {

const std::vector<RProjectKind>& Project_Kinds() {
  static const std::vector<RProjectKind> kinds = {
      kProjectExtensions,
      kProjectTriggers,
      kProjectSounds,
      kProjectSprites,
      kProjectBackgrounds,
      kProjectPaths,
      kProjectScripts,
      kProjectFonts,
      kProjectTimeLines,
      kProjectObjects,
      kProjectRooms,
      kProjectGameExtras,
  };
  return kinds;
}

}  // namespace tavrin
