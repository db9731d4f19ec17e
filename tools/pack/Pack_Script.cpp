// Project files of scripts, extension packages, and the parts of game.json
// that belong to no folder: constants, room order, game information, library
// initialisation code, included files.
#include "Pack_World.h"
#include "functions/Extension_Class.h"
#include "package/DataNew_Class.h"
#include "package/Support_TempDir.h"
#include "script/Script_Class.h"
#include "script/Script_Package.h"
#include "windows/Help_Main.h"
#include "world/Room_Class.h"
#include "package/Package_Data.h"
#include "world/World_Data.h"

namespace tavrin {

namespace {

using nlohmann::json;

std::string Bytes(const CStream& s) { return std::string(reinterpret_cast<const char*>(s.Data()), s.Size()); }
CStream Stream(const std::string& bytes) { return CStream(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()); }

// A path the runner places inside a folder of its own (included files,
// extension files): it refuses, when the game runs, one that would climb out.
const std::string& InsidePath(const std::string& path, const std::string& where, const std::string& field) {
  if (!Path_StaysInside(path))
    throw CProjectError(where + ": field \"" + field + "\": \"" + path +
                        "\" must be a relative path with no \"..\" part");
  return path;
}

// ------------------------------------------------------------------ scripts

void ReadScripts(RProject& project) {
  CScriptTable& scripts = project.data.script.scripts;
  scripts = CScriptTable();
  for (const std::string& name : Project_Order(project, "scripts")) {
    if (name.empty()) {
      scripts.AddEmpty();
      continue;
    }
    Project_CheckName(name, "scripts");
    const std::string text = Project_ReadFile(project, {}, "scripts/" + name + ".tvs", "", "");
    scripts.Add(name, text);
    project.code.push_back({(project.dir / "scripts" / (name + ".tvs")).string(), "", {}, text, false});
  }
}

void WriteScripts(RProject& project) {
  const CScriptTable& scripts = project.data.script.scripts;
  std::vector<std::string> names;
  for (int32_t i = 0; i < scripts.Count(); ++i) {
    names.push_back(scripts.Exists(i) ? scripts.Name(i) : std::string());
    if (!scripts.Exists(i)) continue;
    Project_CheckName(names.back(), "scripts");
    Project_SaveText(project.dir / "scripts" / (names.back() + ".tvs"), scripts.Get(i)->s_text);
  }
  Project_SetOrder(project, "scripts", names);
}

// ------------------------------------------------------------------ extension packages

void ReadExtensions(RProject& project) {
  project.data.extensions.clear();
  for (const std::string& name : Project_Order(project, "extensions")) {
    if (name.empty()) throw CProjectError("extensions: the order of extension packages has no empty slots");
    Project_CheckName(name, "extensions");
    const fs::path file = project.dir / "extensions" / (name + ".json");
    const std::string where = file.string();
    const json j = Project_LoadJson(project, fs::path("extensions") / (name + ".json"));
    CExtensionPackage p;
    Project_Guard(where, [&] {
    p.s_name = name;
    p.s_folder = Project_Get<std::string>(j, "folder", "temp" + std::to_string(project.data.extensions.size()), where);
    InsidePath(p.s_folder, where, "folder");
    p.s_key = Project_Get(j, "key", 0, where);
    for (const json& fj : j.value("files", json::array())) {
      CExtensionFile f;
      f.s_filename = Project_Get<std::string>(fj, "name", "", where);
      f.s_kind = Project_Get(fj, "kind", f.s_kind, where);
      // Libraries and other files are written into the package's folder.
      if (f.s_kind == 1 || f.s_kind == 4) InsidePath(f.s_filename, where, "files.name");
      f.s_init = Project_Get<std::string>(fj, "init", "", where);
      f.s_final = Project_Get<std::string>(fj, "final", "", where);
      for (const json& c : fj.value("constants", json::array()))
        f.s_constants.push_back({Project_Get<std::string>(c, "name", "", where), Project_Get<std::string>(c, "value", "", where)});
      for (const json& fn : fj.value("functions", json::array())) {
        CExtensionFunction x;
        x.s_name = Project_Get<std::string>(fn, "name", "", where);
        x.s_extname = Project_Get<std::string>(fn, "external_name", x.s_name, where);
        x.s_kind = Project_Get(fn, "kind", x.s_kind, where);
        x.s_id = Project_Get(fn, "id", x.s_id, where);
        x.s_argcount = Project_Get(fn, "argument_count", x.s_argcount, where);
        const auto types = Project_Get(fn, "argument_types", std::vector<int32_t>(17, 2), where);
        if (types.size() != 17) throw CProjectError(where + ": \"argument_types\" holds 17 numbers");
        std::copy(types.begin(), types.end(), x.s_argtype.begin());
        x.s_returntype = Project_Get(fn, "result_type", x.s_returntype, where);
        f.s_functions.push_back(x);
      }
      if (f.s_kind != 3) {
        const std::string data = Project_Get<std::string>(fj, "data", "", where);
        if (!data.empty()) f.s_data = Stream(Project_ReadFile(project, {}, data, where, "files.data"));
      }
      p.s_includes.push_back(std::move(f));
    }
    });
    project.data.extensions.push_back(std::move(p));
  }
}

void WriteExtensions(RProject& project) {
  std::vector<std::string> names;
  for (size_t k = 0; k < project.data.extensions.size(); ++k) {
    const CExtensionPackage& p = project.data.extensions[k];
    const std::string& name = Project_CheckName(p.s_name, "extensions");
    names.push_back(name);
    json files = json::array();
    for (size_t i = 0; i < p.s_includes.size(); ++i) {
      const CExtensionFile& f = p.s_includes[i];
      json fj = {{"name", f.s_filename}, {"kind", f.s_kind}, {"init", f.s_init}, {"final", f.s_final}};
      json functions = json::array(), constants = json::array();
      for (const CExtensionFunction& x : f.s_functions)
        functions.push_back({{"name", x.s_name}, {"external_name", x.s_extname}, {"kind", x.s_kind}, {"id", x.s_id},
                             {"argument_count", x.s_argcount}, {"argument_types", x.s_argtype},
                             {"result_type", x.s_returntype}});
      for (const CExtensionConstant& c : f.s_constants) constants.push_back({{"name", c.s_name}, {"value", c.s_value}});
      fj["functions"] = functions;
      fj["constants"] = constants;
      if (f.s_kind != 3) {
        // Stored under their index: file names from a package are not trusted.
        const std::string data = "extensions/" + name + "/" + std::to_string(i) + ".bin";
        Project_SaveText(project.dir / data, Bytes(f.s_data));
        fj["data"] = data;
      }
      files.push_back(fj);
    }
    Project_SaveJson(project.dir / "extensions" / (name + ".json"),
                     {{"folder", p.s_folder}, {"key", p.s_key}, {"files", files}});
  }
  Project_SetOrder(project, "extensions", names);
}

// ------------------------------------------------------------------ game.json extras

const char* const kExportActions[] = {"none", "temp", "working", "folder"};

void ReadGameExtras(RProject& project, const std::string& where) {
  const json& g = project.game;
  project.data.script.constants.clear();
  for (const json& c : g.value("constants", json::array()))
    project.data.script.constants.emplace_back(Project_Get<std::string>(c, "name", "", where),
                                 Project_Get<std::string>(c, "value", "", where));

  project.data.world.roomOrder.clear();
  const json order = g.value("room_order", json::array());
  if (order.empty()) {
    for (int32_t i = 0; i < project.data.world.rooms.Count(); ++i)
      if (project.data.world.rooms.Exists(i)) project.data.world.roomOrder.push_back(i);
  } else {
    for (const json& r : order) {
      if (!r.is_number() && !r.is_string()) throw CProjectError(where + ": field \"room_order\" must list room names");
      project.data.world.roomOrder.push_back(r.is_number() ? Project_Integer<int32_t>(r, where, "room_order")
                                          : Project_RequireIndex(project, "rooms", r.get<std::string>(), where));
    }
  }
  if (project.data.world.roomOrder.empty()) throw CProjectError(where + ": a game needs at least one room");
  for (int32_t r : project.data.world.roomOrder)
    if (!project.data.world.rooms.Exists(r)) throw CProjectError(where + ": the room order names a room that does not exist");
  project.data.world.roomLastInstanceId = Project_Get(g, "last_instance_id", 100000, where);
  project.data.world.roomLastTileId = Project_Get(g, "last_tile_id", 10000000, where);

  project.data.world.libraryInitCode = Project_Get(g, "library_init_code", std::vector<std::string>{}, where);
  for (const std::string& code : project.data.world.libraryInitCode)
    if (!code.empty()) project.code.push_back({where, "library_init_code", {}, code, false});

  project.data.information = RGameInformation{};
  if (g.contains("game_information")) {
    const json& i = g["game_information"];
    RGameInformation& info = project.data.information;
    info.backgroundColor = Project_Get(i, "background_color", info.backgroundColor, where);
    info.inGameWindow = Project_Get(i, "in_game_window", info.inGameWindow, where);
    info.caption = Project_Get(i, "caption", info.caption, where);
    info.left = Project_Get(i, "left", info.left, where);
    info.top = Project_Get(i, "top", info.top, where);
    info.width = Project_Get(i, "width", info.width, where);
    info.height = Project_Get(i, "height", info.height, where);
    info.border = Project_Get(i, "border", info.border, where);
    info.sizeable = Project_Get(i, "sizeable", info.sizeable, where);
    info.onTop = Project_Get(i, "on_top", info.onTop, where);
    info.pauseGame = Project_Get(i, "pause_game", info.pauseGame, where);
    if (i.contains("text_file"))
      info.text = Project_ReadFile(project, {}, Project_Get<std::string>(i, "text_file", "", where), where,
                                   "game_information.text_file");
    else info.text = Project_Get<std::string>(i, "text", "", where);
  }

  project.data.package.dataFiles.clear();
  for (const json& f : g.value("included_files", json::array())) {
    CDataFile d;
    d.s_filename = Project_Get<std::string>(f, "name", "", where);
    d.s_origname = Project_Get<std::string>(f, "original", "", where);
    const std::string data = Project_Get<std::string>(f, "data", "", where);
    d.s_exists = Project_Get(f, "exists", !data.empty(), where);
    d.s_store = Project_Get(f, "store", !data.empty(), where);
    if (!data.empty()) d.s_data = Stream(Project_ReadFile(project, {}, data, where, "included_files.data"));
    d.s_size = Project_Get(f, "size", int32_t(d.s_data.Size()), where);
    const json action = f.value("export", json("working"));
    d.s_exportaction = -1;
    if (action.is_number()) d.s_exportaction = Project_Integer<int32_t>(action, where, "export");
    for (int32_t a = 0; a < 4; ++a)
      if (action == kExportActions[a]) d.s_exportaction = a;
    if (d.s_exportaction < 0) throw CProjectError(where + ": \"export\" is none, temp, working or folder");
    d.s_exportdir = Project_Get<std::string>(f, "export_folder", "", where);
    // The runner exports into its own folders and refuses names that climb out.
    if (d.s_exists && d.s_exportaction != 0) InsidePath(d.s_filename, where, "included_files.name");
    if (d.s_exists && d.s_exportaction == 3 && !d.s_exportdir.empty()) InsidePath(d.s_exportdir, where, "included_files.export_folder");
    d.s_overwrite = Project_Get(f, "overwrite", d.s_overwrite, where);
    d.s_freedata = Project_Get(f, "free_data", d.s_freedata, where);
    d.s_removeend = Project_Get(f, "remove_at_end", d.s_removeend, where);
    project.data.package.dataFiles.push_back(std::move(d));
  }
}

void ReadExtras(RProject& project) {
  const std::string where = (project.dir / "game.json").string();
  Project_Guard(where, [&] { ReadGameExtras(project, where); });
}

void WriteExtras(RProject& project) {
  json& g = project.game;
  json constants = json::array();
  for (const auto& [name, value] : project.data.script.constants) constants.push_back({{"name", name}, {"value", value}});
  g["constants"] = constants;
  json order = json::array();
  for (int32_t r : project.data.world.roomOrder) order.push_back(project.data.world.rooms.Exists(r) ? json(project.data.world.rooms.Name(r)) : json(r));
  g["room_order"] = order;
  g["last_instance_id"] = project.data.world.roomLastInstanceId;
  g["last_tile_id"] = project.data.world.roomLastTileId;
  g["library_init_code"] = project.data.world.libraryInitCode;
  const RGameInformation& info = project.data.information;
  json i = {{"background_color", info.backgroundColor}, {"in_game_window", info.inGameWindow},
            {"caption", info.caption}, {"left", info.left}, {"top", info.top}, {"width", info.width},
            {"height", info.height}, {"border", info.border}, {"sizeable", info.sizeable}, {"on_top", info.onTop},
            {"pause_game", info.pauseGame}};
  if (!info.text.empty()) {
    Project_SaveText(project.dir / "game_information.rtf", info.text);
    i["text_file"] = "game_information.rtf";
  }
  g["game_information"] = i;
  json files = json::array();
  for (size_t k = 0; k < project.data.package.dataFiles.size(); ++k) {
    const CDataFile& d = project.data.package.dataFiles[k];
    json f = {{"name", d.s_filename}, {"original", d.s_origname}, {"exists", d.s_exists}, {"store", d.s_store},
              {"size", d.s_size}, {"export_folder", d.s_exportdir}, {"overwrite", d.s_overwrite},
              {"free_data", d.s_freedata}, {"remove_at_end", d.s_removeend}};
    f["export"] = d.s_exportaction >= 0 && d.s_exportaction < 4 ? json(kExportActions[d.s_exportaction])
                                                                 : json(d.s_exportaction);
    if (d.s_exists && d.s_store) {
      const std::string data = "included/" + std::to_string(k) + ".bin";
      Project_SaveText(project.dir / data, Bytes(d.s_data));
      f["data"] = data;
    }
    files.push_back(f);
  }
  g["included_files"] = files;
}

}  // namespace

const RProjectKind kProjectScripts{"scripts", ReadScripts, WriteScripts};
const RProjectKind kProjectExtensions{"extensions", ReadExtensions, WriteExtensions};
const RProjectKind kProjectGameExtras{"game", ReadExtras, WriteExtras};

}  // namespace tavrin
