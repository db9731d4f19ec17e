#include "Pack_Project.h"

#include <fstream>

namespace tavrin {

namespace {

template <class T>
struct RField {
  const char* name;
  T RGameSettings::*member;
};

constexpr RField<bool> kFlags[] = {
    {"fullscreen", &RGameSettings::opt_fullscreen},       {"interpolate", &RGameSettings::opt_interpolate},
    {"noborder", &RGameSettings::opt_noborder},           {"showcursor", &RGameSettings::opt_showcursor},
    {"sizeable", &RGameSettings::opt_sizeable},           {"stayontop", &RGameSettings::opt_stayontop},
    {"changemode", &RGameSettings::opt_changemode},       {"nobuttons", &RGameSettings::opt_nobuttons},
    {"noscreensaver", &RGameSettings::opt_noscreensaver}, {"keyf4", &RGameSettings::opt_keyf4},
    {"keyf1", &RGameSettings::opt_keyf1},                 {"keyesc", &RGameSettings::opt_keyesc},
    {"keyf5f6", &RGameSettings::opt_keyf5f6},             {"keyf9", &RGameSettings::opt_keyf9},
    {"closeasesc", &RGameSettings::opt_closeasesc},       {"freeze", &RGameSettings::opt_freeze},
    {"showprogress", &RGameSettings::opt_showprogress},   {"loadtransparent", &RGameSettings::opt_loadtransparent},
    {"scaleprogress", &RGameSettings::opt_scaleprogress}, {"showerrors", &RGameSettings::opt_showerrors},
    {"logerrors", &RGameSettings::opt_logerrors},         {"aborterrors", &RGameSettings::opt_aborterrors},
    {"uninitzero", &RGameSettings::opt_uninitzero},       {"checkargs", &RGameSettings::opt_checkargs},
    {"createfirst", &RGameSettings::opt_createfirst},
};

constexpr RField<int32_t> kNumbers[] = {
    {"scale", &RGameSettings::opt_scale},           {"windowcolor", &RGameSettings::opt_windowcolor},
    {"colordepth", &RGameSettings::opt_colordepth}, {"resolution", &RGameSettings::opt_resolution},
    {"frequency", &RGameSettings::opt_frequency},   {"displayflags", &RGameSettings::opt_displayflags},
    {"priority", &RGameSettings::opt_priority},     {"loadalpha", &RGameSettings::opt_loadalpha},
};

}  // namespace

nlohmann::json Project_SettingsToJson(const RGameSettings& s) {
  nlohmann::json j = nlohmann::json::object();
  for (const auto& f : kFlags) j[f.name] = s.*f.member;
  for (const auto& f : kNumbers) j[f.name] = s.*f.member;
  return j;
}

RGameSettings Project_SettingsFromJson(const nlohmann::json& j) {
  if (!j.is_object()) throw CProjectError("\"settings\" must be an object");
  RGameSettings s;
  for (const auto& [key, value] : j.items()) {
    bool known = false;
    for (const auto& f : kFlags)
      if (key == f.name) {
        if (!value.is_boolean()) throw CProjectError("setting \"" + key + "\" must be true or false");
        s.*f.member = value.get<bool>();
        known = true;
      }
    for (const auto& f : kNumbers)
      if (key == f.name) {
        if (!value.is_number_integer()) throw CProjectError("setting \"" + key + "\" must be a whole number");
        s.*f.member = value.get<int32_t>();
        known = true;
      }
    if (!known) throw CProjectError("unknown setting \"" + key + "\"");
  }
  return s;
}

RPackageContent Project_Read(const std::string& dir) {
  const std::string path = dir + "/game.json";
  std::ifstream in(path);
  if (!in) throw CProjectError(path + ": cannot read the file");
  nlohmann::json j;
  try {
    j = nlohmann::json::parse(in);
  } catch (const nlohmann::json::parse_error& e) {
    throw CProjectError(path + ": " + e.what());
  }
  RPackageContent c;
  try {
    if (!j.is_object()) throw CProjectError("the file must hold an object");
    for (const auto& [key, value] : j.items()) {
      if (key == "game_id") c.identity.gameId = value.get<int32_t>();
      else if (key == "debug") c.header.debugMode = value.get<bool>();
      else if (key == "settings") c.settings = Project_SettingsFromJson(value);
      else throw CProjectError("unknown field \"" + key + "\"");
    }
  } catch (const nlohmann::json::exception& e) {
    throw CProjectError(path + ": " + e.what());
  } catch (const CProjectError& e) {
    throw CProjectError(path + ": " + e.what());
  }
  return c;
}

}  // namespace tavrin
