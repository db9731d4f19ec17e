// Fuzzes the saved-game reader: saves are files on the player's disk, so any
// bytes must be read whole or refused, never crash, hang or allocate beyond
// what the file could hold. The game it reads against has two objects and
// two rooms, so that sound records get as far as the instances.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "package/Package_Data.h"
#include "package/Support_Stream.h"
#include "world/Object_Class.h"
#include "world/Room_Class.h"
#include "world/Save_Game.h"
#include "world/World_Data.h"

using namespace tavrin;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_PackageData.identity.gameId = 77;
  for (const char* name : {"obj_a", "obj_b"}) g_WorldData.objects.Add(std::make_unique<CObject>(), name);
  for (const char* name : {"rm_a", "rm_b"}) g_WorldData.rooms.Add(std::make_unique<CRoom>(), name);
  g_WorldData.roomOrder = {0, 1};
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CStream bytes(data, size);
  SaveGame_Readable(bytes);
  return 0;
}
