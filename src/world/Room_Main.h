// Rooms while the game runs: the room the game is in with its instance lists
// and tiles, the table of rooms kept across visits (persistent rooms), the
// instances carried from room to room, and entering and leaving rooms.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "world/Collision_Index.h"
#include "world/Instance_Class.h"
#include "world/Room_Class.h"
#include "world/Run_State.h"

namespace tavrin {

// A room in play: a copy of its resource room that owns its instances.
// `r_instance` holds the active instances in room order (the drawing order of
// the last frame, new ones appended); the per-object lists hold them by
// object, directly and with every descendant. Instances are freed only by
// RemoveMarked and with the room, never during an event, so a pointer taken
// in a step stays valid to the end of that step.
class CRunRoom : public CRoom {
 public:
  std::vector<CInstance*> r_instance;
  std::vector<CInstance*> r_instance_deact;
  std::vector<std::vector<CInstance*>> r_obj_instance, r_obj_instance_recursive;
  int32_t r_lasttile = -1;
  CSpatialIndex r_index;
  int64_t r_objseq = 0;  // the last order number given in the per-object lists

  CRunRoom() = default;
  // A fresh room: the resource room's fields, its tiles, and an instance for
  // each placed instance, with the id the editor gave it.
  explicit CRunRoom(const CRoom& resource);
  ~CRunRoom();
  CRunRoom(const CRunRoom&) = delete;
  CRunRoom& operator=(const CRunRoom&) = delete;

  int32_t InstanceCount() const { return int32_t(r_instance.size()); }
  CInstance* InstanceAt(int32_t pos) const {
    return pos >= 0 && pos < InstanceCount() ? r_instance[size_t(pos)] : nullptr;
  }

  // A new instance with the next id, appended to the lists; no event runs.
  // None when the ids are used up (a fatal error has been reported).
  CInstance* AddInstance(double x, double y, int32_t objectind);
  int32_t Obj_Number(int32_t obj) const;
  CInstance* Obj_Instance(int32_t obj, int32_t n) const;
  int32_t Obj_Number_Recursive(int32_t obj) const;
  CInstance* Obj_Instance_Recursive(int32_t obj, int32_t n) const;

  // Highest depth first, equal depths in their order; nothing moves when the
  // order is already right.
  void SortInstances();
  void RemoveMarked();
  // Moves instances between the active and the deactivated list after their
  // flags have been changed.
  void UpdateActive();
  void RebuildObjectLists();

  // Tiles.
  int32_t AddTile(const RTile& tile);
  int32_t FindTile(int32_t id);
  void DeleteTile(int32_t ind);
  int32_t FindTileAt(double x, double y, bool foreground);
  void DeleteTilesAt(double x, double y, bool foreground);
  void SortTiles();
  // Tile layers: every tile of exactly that depth.
  void HideTilesDepth(double depth);
  void ShowTilesDepth(double depth);
  void DeleteTilesDepth(double depth);
  void ShiftTilesDepth(double depth, double x, double y);
  void ChangeTilesDepth(double olddepth, double newdepth);
  // The first tile of that depth covering the point (far edges excluded), or
  // -1; and the removal of every such tile.
  int32_t FindTileAtDepth(double depth, double x, double y);
  void DeleteTilesAtDepth(double depth, double x, double y);

 private:
  void AddToObjectLists(CInstance* inst);
};

// Instances and tiles made while playing get ids above every id the rooms
// were given, even when the package's own counters lag behind them.
void Room_PrepareIds();

// The room order.
int32_t Room_First();
int32_t Room_Last();
int32_t Room_Next(int32_t n);
int32_t Room_Previous(int32_t n);
bool Room_Exists(int32_t n);

// Asks for a change to room n after the step; a room that does not exist is
// a fatal error and stops the game.
void Room_Request(int32_t n, int32_t transition);
// Leaves the current room and enters room n (served between steps).
void Room_Change(int32_t n);
// Enters room n; `first` when the game starts (the game-start event).
void Room_Goto(int32_t n, bool first);
// Leaves the current room: room-end (and game-end) events, persistent
// instances set aside for the next room, the room freed unless persistent.
void Room_Leave(bool gameEnd);
// Frees every run-time room and the carried instances (the game ends).
void Room_FreeAll();
// The run-time rooms by room index: an entry is empty until the room is
// entered and stays filled after leaving only for persistent rooms. Saved
// games write and replace it whole.
std::vector<std::unique_ptr<CRunRoom>>& Room_RunRooms();

}  // namespace tavrin
