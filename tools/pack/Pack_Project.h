// The project folder: a readable, diffable form of a game package.
//
//   game.json   { "game_id": 1, "debug": false, "settings": { "fullscreen": false, ... } }
//
// Settings use the runner's names without their "opt_" prefix; a setting
// that is absent takes the runner's default.
#pragma once

#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>

#include "package/Package_Load.h"

namespace tavrin {

class CProjectError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads DIR/game.json; throws CProjectError with the file and the reason.
RPackageContent Project_Read(const std::string& dir);
nlohmann::json Project_SettingsToJson(const RGameSettings& settings);
RGameSettings Project_SettingsFromJson(const nlohmann::json& json);

}  // namespace tavrin
