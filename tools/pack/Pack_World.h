// Project files of the game world and of the other kinds built here.
#pragma once

#include <climits>

#include "Pack_Project.h"
#include "world/Object_Class.h"

namespace tavrin {

// An event in a project file: plain code (a string, or {"file": ...} for
// code kept in a .tvs file), or a list of actions with every field.
nlohmann::json Pack_EventToJson(const RProject& project, const CEvent& event, const fs::path& codeFile);
// Both note the code they read in the project, to be compiled with the rest
// (Check_AllCode); `field` says where in `where` it stands.
CEvent Pack_EventFromJson(const RProject& project, const nlohmann::json& json, const std::string& where,
                          std::string field);
// Code alone: a string or {"file": ...}.
std::string Pack_CodeFromJson(const RProject& project, const nlohmann::json& json, const std::string& where,
                              std::string field);

// Instances and tiles written without an id get the next ids after every id
// in use, so a hand-written room needs none and no two ever share one.
inline constexpr int32_t kIdToAssign = INT32_MIN;
void Pack_AssignRoomIds(RProject& project);

extern const RProjectKind kProjectPaths, kProjectTriggers, kProjectTimeLines, kProjectObjects, kProjectRooms;
extern const RProjectKind kProjectScripts, kProjectExtensions, kProjectGameExtras;

}  // namespace tavrin
