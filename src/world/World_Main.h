// Connects the game world to the script engine: the world's part of the
// host (the room's instance lists for `with` and owner access, the names of
// objects, time lines, triggers and rooms) and the world's built-in
// functions and variables.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "script/Script_Host.h"

namespace tavrin {

class CInstance;
class CInstanceBase;

// The host as far as the world can serve it; the runner's host extends it.
class CWorldHost : public CHost {
 public:
  std::string ObjectName(int32_t index) override;
  std::string TimeLineName(int32_t index) override;
  std::string TriggerName(int32_t index) override;
  void RequestAbort() override;
  std::string KeyName(int32_t key) override;
  std::string MouseEventName(int32_t number) override;
  void ClearInput() override;
  bool RoomName(std::string_view name, double& index) override;
  bool TriggerConstant(std::string_view name, double& value) override;
  int32_t InstanceCount() override;
  CInstanceBase* InstanceAt(int32_t pos) override;
  int32_t ObjectInstanceCount(int32_t obj) override;
  CInstanceBase* ObjectInstanceAt(int32_t obj, int32_t pos) override;
};

// Looks up the function of every function action of the installed time lines
// and objects by name, through the host (in index order; -1 for a name the
// host cannot find).
void World_ResolveActionFunctions();

// Fills in the routines of the world's functions and variables (safe to call
// more than once).
void World_Install();

// Motion, path following and the path resource functions.
void Motion_RegisterFunctions();
void Path_RegisterFunctions();

// Calls f for every unmarked active instance that `who` designates: self,
// other, all, an instance id or an object with its descendants; instances
// created meanwhile are not visited.
void Instance_ForMatching(CInstanceBase* self, CInstanceBase* other, int32_t who,
                          const std::function<void(CInstance*)>& f);

// The routines of the instance functions, the room functions and the
// built-in variables, filled in by World_Install.
void Instance_RegisterFunctions();
void Variable_RegisterWorld();
void Tile_RegisterFunctions();

}  // namespace tavrin
