#include "Pack_Project.h"
#include "Pack_Check.h"
#include "Pack_World.h"

#include <algorithm>
#include <fstream>
#include <sstream>

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

std::string GuidToHex(const std::array<uint8_t, 16>& guid) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string s;
  for (uint8_t b : guid) {
    s += kHex[b >> 4];
    s += kHex[b & 15];
  }
  return s;
}

std::array<uint8_t, 16> GuidFromHex(const std::string& hex, const std::string& where) {
  std::array<uint8_t, 16> guid{};
  if (hex.size() != 32 || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
    throw CProjectError(where + ": \"guid\" must be 32 hexadecimal digits");
  for (size_t i = 0; i < 16; ++i) guid[i] = uint8_t(std::stoi(hex.substr(2 * i, 2), nullptr, 16));
  return guid;
}

}  // namespace

// ------------------------------------------------------------------ files

fs::path Project_File(const RProject& project, const fs::path& base, const std::string& relative,
                      const std::string& where, const std::string& field) {
  const fs::path named = base / relative;
  const auto refuse = [&](const std::string& why) {
    if (field.empty()) throw CProjectError((project.dir / named).string() + ": " + why);
    throw CProjectError(where + ": field \"" + field + "\": \"" + relative + "\" " + why);
  };
  const std::string outside =
      base.empty() ? "leads outside the project folder" : "must be a file inside the " + base.string() + " folder";
  const fs::path rel(relative);
  if (relative.empty() || rel.is_absolute() || rel.has_root_name() || rel.has_root_directory())
    refuse(base.empty() ? "must be a file named relative to the project folder" : outside);
  std::error_code ec;
  const fs::path project_root = fs::canonical(project.dir, ec);
  if (ec) throw CProjectError(project.dir.string() + ": cannot read the project folder");
  const fs::path root = fs::weakly_canonical(project_root / base, ec);
  const fs::path full = fs::weakly_canonical(project_root / named, ec);
  if (ec) refuse("cannot be read");
  // Compared part by part: "/games/a" is not inside "/games/ab".
  const auto inside = [&](const fs::path& folder) {
    return std::mismatch(folder.begin(), folder.end(), full.begin(), full.end()).first == folder.end();
  };
  if (!inside(project_root) || !inside(root)) refuse(outside);
  // A file that is not there is left to its reader to report.
  const fs::file_status status = fs::status(full, ec);
  if (fs::is_directory(status)) refuse("is a folder, not a file");
  if (fs::exists(status) && !fs::is_regular_file(status)) refuse("is not a regular file");
  return full;
}

std::string Project_ReadFile(const RProject& project, const fs::path& base, const std::string& relative,
                             const std::string& where, const std::string& field) {
  return Project_LoadText(Project_File(project, base, relative, where, field));
}

nlohmann::json Project_LoadJson(const RProject& project, const fs::path& relative) {
  const fs::path path = Project_File(project, {}, relative.string(), "", "");
  std::ifstream in(path);
  if (!in) throw CProjectError((project.dir / relative).string() + ": cannot read the file");
  try {
    return nlohmann::json::parse(in);
  } catch (const nlohmann::json::parse_error& e) {
    throw CProjectError((project.dir / relative).string() + ": " + e.what());
  }
}

void Project_SaveJson(const fs::path& path, const nlohmann::json& json) {
  std::string text;
  Project_Guard(path.string(), [&] { text = json.dump(2) + "\n"; });
  Project_SaveText(path, text);
}

std::string Project_LoadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw CProjectError(path.string() + ": cannot read the file");
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void Project_SaveText(const fs::path& path, const std::string& text) {
  std::error_code ec;
  fs::create_directories(path.parent_path(), ec);
  std::ofstream out(path, std::ios::binary);
  out.write(text.data(), std::streamsize(text.size()));
  if (!out.flush()) throw CProjectError(path.string() + ": cannot write the file");
}

// ------------------------------------------------------------------ names and order

const std::string& Project_CheckName(const std::string& name, const std::string& kind) {
  if (name.empty() || name == "." || name == ".." || name.find_first_of("/\\") != std::string::npos ||
      name.find('\0') != std::string::npos)
    throw CProjectError(kind + ": \"" + name + "\" cannot be used as a resource name in a project folder");
  return name;
}

namespace {

// game.json's "order": an object whose keys are resource kinds, each a list
// of distinct names ("" for empty slots). A misspelt kind or a name listed
// twice would otherwise lose or double a resource without a word.
void CheckOrder(const RProject& project) {
  const std::string where = (project.dir / "game.json").string();
  const auto order = project.game.find("order");
  if (order == project.game.end()) return;
  if (!order->is_object()) throw CProjectError(where + ": field \"order\" must map resource kinds to lists of names");
  for (const auto& item : order->items()) {
    const std::string& kind = item.key();
    const auto& names = item.value();
    const auto& kinds = Project_Kinds();
    if (kind == "game" || std::none_of(kinds.begin(), kinds.end(), [&](const RProjectKind& k) { return kind == k.folder; }))
      throw CProjectError(where + ": field \"order\": \"" + kind + "\" is not a resource kind");
    if (!names.is_array()) throw CProjectError(where + ": field \"order\".\"" + kind + "\" must be a list of names");
    std::set<std::string> seen;
    for (const auto& n : names) {
      if (!n.is_string()) throw CProjectError(where + ": field \"order\".\"" + kind + "\" must hold names");
      const std::string name = n.get<std::string>();
      if (!name.empty() && !seen.insert(name).second)
        throw CProjectError(where + ": field \"order\".\"" + kind + "\" lists \"" + name + "\" twice");
    }
  }
}

}  // namespace

std::vector<std::string> Project_Order(const RProject& project, const std::string& kind) {
  const auto order = project.game.find("order");
  if (order != project.game.end() && order->is_object() && order->contains(kind)) {
    std::vector<std::string> names;
    for (const auto& n : (*order)[kind]) names.push_back(n.get<std::string>());
    return names;
  }
  std::vector<std::string> names;
  std::error_code ec;
  const std::string extension = Project_KindExtension(kind);
  for (const auto& entry : fs::directory_iterator(project.dir / kind, ec))
    if (entry.path().extension() == extension) names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string Project_KindExtension(const std::string& kind) { return kind == "scripts" ? ".tvs" : ".json"; }

void Project_SetOrder(RProject& project, const std::string& kind, const std::vector<std::string>& names) {
  project.game["order"][kind] = names;
  project.orders[kind] = names;
}

const std::vector<std::string>& Project_Names(const RProject& project, const std::string& kind) {
  auto cached = project.orders.find(kind);
  if (cached == project.orders.end()) cached = project.orders.emplace(kind, Project_Order(project, kind)).first;
  return cached->second;
}

int32_t Project_IndexOf(const RProject& project, const std::string& kind, const std::string& name) {
  if (name.empty()) return -1;
  const std::vector<std::string>& names = Project_Names(project, kind);
  const auto it = std::find(names.begin(), names.end(), name);
  return it == names.end() ? -1 : int32_t(it - names.begin());
}

int32_t Project_RequireIndex(const RProject& project, const std::string& kind, const std::string& name,
                             const std::string& where) {
  const int32_t index = Project_IndexOf(project, kind, name);
  if (index < 0) throw CProjectError(where + ": there is no " + kind + " resource named \"" + name + "\"");
  return index;
}

// ------------------------------------------------------------------ settings

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
        if (!value.is_number()) throw CProjectError("setting \"" + key + "\" must be a whole number");
        s.*f.member = Project_Integer<int32_t>(value, "settings", key);
        known = true;
      }
    if (!known) throw CProjectError("unknown setting \"" + key + "\"");
  }
  return s;
}

// ------------------------------------------------------------------ game.json

void Project_ReadGame(RProject& project, RPackageHeader& header) {
  const std::string where = (project.dir / "game.json").string();
  project.game = Project_LoadJson(project, "game.json");
  const nlohmann::json& j = project.game;
  if (!j.is_object()) throw CProjectError(where + ": the file must hold an object");
  RPackageData& package = project.data.package;
  try {
    CheckOrder(project);
    package.identity.gameId = Project_Get<int32_t>(j, "game_id", 0, where);
    package.identity.flags = Project_Get<int32_t>(j, "flags", 0, where);
    if (j.contains("guid")) package.identity.guid = GuidFromHex(Project_Get<std::string>(j, "guid", "", where), where);
    header.debugMode = Project_Get<bool>(j, "debug", false, where);
    header.stampDays = Project_Get<int32_t>(j, "stamp_days", 0, where);
    header.stampSeconds = Project_Get<int32_t>(j, "stamp_seconds", 0, where);
    header.settingsVersion = Project_Get<int32_t>(j, "settings_version", 820, where);
    if (header.settingsVersion != 800 && header.settingsVersion != 810 && header.settingsVersion != 820)
      throw CProjectError("\"settings_version\" must be 800, 810 or 820");
    if (j.contains("settings")) package.settings = Project_SettingsFromJson(j["settings"]);
    if (j.contains("runner_library")) {
      const nlohmann::json& lib = j["runner_library"];
      header.libraryName = Project_Get<std::string>(lib, "name", "", where);
      // The runner writes the library under this name beside the game.
      if (!header.libraryName.empty()) Project_CheckName(header.libraryName, "runner_library.name");
      const std::string file = Project_Get<std::string>(lib, "file", "", where);
      if (!file.empty()) {
        const std::string bytes = Project_ReadFile(project, {}, file, where, "runner_library.file");
        header.library = CStream(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
      }
    }
  } catch (const CProjectError& e) {
    const std::string what = e.what();
    throw CProjectError(what.rfind(where, 0) == 0 ? what : where + ": " + what);
  } catch (const nlohmann::json::exception& e) {
    throw CProjectError(where + ": " + e.what());
  }
}

void Project_WriteGame(RProject& project, const RPackageHeader& header) {
  const RPackageData& package = project.data.package;
  nlohmann::json& j = project.game;
  j["game_id"] = package.identity.gameId;
  j["guid"] = GuidToHex(package.identity.guid);
  if (package.identity.flags) j["flags"] = package.identity.flags;
  j["debug"] = header.debugMode;
  j["stamp_days"] = header.stampDays;
  j["stamp_seconds"] = header.stampSeconds;
  j["settings_version"] = header.settingsVersion;
  j["settings"] = Project_SettingsToJson(package.settings);
  if (!header.libraryName.empty() || header.library.Size()) {
    const std::string name = header.libraryName.empty() ? "runner_library.bin" : header.libraryName;
    Project_CheckName(name, "runner library");
    Project_SaveText(project.dir / name,
                     std::string(reinterpret_cast<const char*>(header.library.Data()), header.library.Size()));
    j["runner_library"] = {{"name", header.libraryName}, {"file", name}};
  }
}

void Project_Read(const fs::path& dir, RPackedGame& game) {
  RProject project{dir, game.data, {}, {}, {}};
  Project_ReadGame(project, game.header);
  for (const RProjectKind& kind : Project_Kinds()) kind.read(project);
  Pack_AssignRoomIds(project);
  Check_AllCode(project);
}

void Project_Write(const fs::path& dir, RPackedGame& game) {
  RProject project{dir, game.data, nlohmann::json::object(), {}, {}};
  fs::create_directories(dir);
  Project_WriteGame(project, game.header);
  for (const RProjectKind& kind : Project_Kinds()) kind.write(project);
  Project_SaveJson(dir / "game.json", project.game);
}

}  // namespace tavrin
