// The project folder: a readable, diffable form of a game package.
//
//   game.json              settings, identity, constants, room order, ... and
//                          "order": the resource names of each kind by index
//   <kind>/<name>.json     one file per resource (sprites/, sounds/, objects/, ...)
//   <kind>/<name>.*        its data: pictures as PNG, sounds as their own
//                          files, code as .tvs text
//
// docs/project-format.md describes every field. Reading fills the runner's
// resource lists (so the package writer can write them); writing dumps the
// lists back into a folder.
#pragma once

#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>
#include <memory>
#include <set>
#include <map>
#include <type_traits>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <vector>

#include "package/Package_Load.h"
#include "package/Resource_List.h"
#include "runner/Runner_GameData.h"
#include "world/Object_Class.h"

namespace tavrin {

namespace fs = std::filesystem;

class CProjectError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A piece of game code met while a project is read, kept to be compiled once
// every name of the game is known (Check_AllCode).
struct RProjectCode {
  std::string where;  // the file that holds it
  std::string field;  // where in that file ("" for a whole .tvs file)
  std::vector<CAction> actions;  // an action list, or
  std::string text;              // code alone
  bool expression = false;
};

// A project being read (build) or written (unpack).
struct RProject {
  fs::path dir;
  RGameData& data;      // the game it is read into, or written from
  nlohmann::json game;  // the contents of game.json
  mutable std::map<std::string, std::vector<std::string>> orders;  // Project_Order, once per kind
  mutable std::vector<RProjectCode> code;  // every piece of code read, in the order the runner compiles them
};

// The one way a project names a file: `relative` (to the project folder, or
// to its subfolder `base`) must lead, after every symbolic link is followed,
// to a regular file inside the project folder. A build must never copy a
// file from elsewhere on the author's machine into a game it hands out.
// Errors name `where` (the file holding the name) and `field`; with no field
// the path itself is the subject of the message.
fs::path Project_File(const RProject& project, const fs::path& base, const std::string& relative,
                      const std::string& where, const std::string& field);
// Reads a file of the project named by `field` of `where`, through Project_File.
std::string Project_ReadFile(const RProject& project, const fs::path& base, const std::string& relative,
                             const std::string& where, const std::string& field);

// Reads a JSON file of the project (a path relative to its folder); throws
// CProjectError naming the file and the problem.
nlohmann::json Project_LoadJson(const RProject& project, const fs::path& relative);
// Writes a JSON file (two-space indent, a final newline) or throws.
void Project_SaveJson(const fs::path& path, const nlohmann::json& json);
// Reads or writes a whole file of bytes or text.
std::string Project_LoadText(const fs::path& path);
void Project_SaveText(const fs::path& path, const std::string& text);

// The names of a kind in index order ("" for an empty slot): from
// game.json's "order" when it lists the kind, else every <kind>/*<extension>
// file in name order (scripts are .tvs files, the other kinds .json).
std::vector<std::string> Project_Order(const RProject& project, const std::string& kind);
std::string Project_KindExtension(const std::string& kind);
// The same, worked out once per kind and kept: for the many lookups of
// names and indices while a project is read or written.
const std::vector<std::string>& Project_Names(const RProject& project, const std::string& kind);
// Records the names of a kind in index order into game.json's "order".
void Project_SetOrder(RProject& project, const std::string& kind, const std::vector<std::string>& names);
// A resource name that can be a file name: not empty, no separators, not "."
// or "..". Throws otherwise (names come from packages and are untrusted).
const std::string& Project_CheckName(const std::string& name, const std::string& kind);

// A whole number that fits T exactly. The package stores whole numbers
// only; a fraction, or a number too large, cut to fit would silently be a
// different game, so both are errors naming `where` and the field.
template <class T>
T Project_Integer(const nlohmann::json& value, const std::string& where, const std::string& field) {
  using Limits = std::numeric_limits<T>;
  bool fits = false;
  if (value.is_number_unsigned()) {
    fits = value.get<uint64_t>() <= uint64_t(Limits::max());
  } else if (value.is_number_integer()) {
    const int64_t n = value.get<int64_t>();
    fits = n >= int64_t(Limits::min()) && (n < 0 || uint64_t(n) <= uint64_t(Limits::max()));
  } else if (value.is_number_float()) {
    const double d = value.get<double>();
    fits = std::isfinite(d) && d == std::floor(d) && d >= double(Limits::min()) && d <= double(Limits::max());
  }
  if (!fits)
    throw CProjectError(where + ": field \"" + field + "\": " + value.dump() + " is not a whole number from " +
                        std::to_string(Limits::min()) + " to " + std::to_string(Limits::max()));
  return T(value.get<double>());
}

template <class T>
inline constexpr bool kProjectWhole = std::is_integral_v<T> && !std::is_same_v<T, bool>;
template <class T>
struct RProjectWholeList : std::false_type {};
template <class E>
struct RProjectWholeList<std::vector<E>> : std::bool_constant<kProjectWhole<E>> {};

// A field of `json` with a default; a present field of the wrong type is an
// error naming `where` and the field. Whole numbers go through Project_Integer.
template <class T>
T Project_Get(const nlohmann::json& json, const char* field, const T& fallback, const std::string& where) {
  if (!json.is_object()) throw CProjectError(where + ": an object is needed where field \"" + field + "\" is read");
  const auto it = json.find(field);
  if (it == json.end() || it->is_null()) return fallback;
  if constexpr (kProjectWhole<T>) {
    return Project_Integer<T>(*it, where, field);
  } else if constexpr (RProjectWholeList<T>::value) {
    if (!it->is_array()) throw CProjectError(where + ": field \"" + field + "\" must be a list of whole numbers");
    T list;
    for (const nlohmann::json& n : *it) list.push_back(Project_Integer<typename T::value_type>(n, where, field));
    return list;
  } else {
    try {
      return it->get<T>();
    } catch (const nlohmann::json::exception&) {
      throw CProjectError(where + ": field \"" + field + "\" has the wrong type");
    }
  }
}

// A game as the packer holds it: the package's header and the game's data.
struct RPackedGame {
  RPackageHeader header;
  RGameData data;
};

// game.json itself (settings, identity, header pictures, ...).
void Project_ReadGame(RProject& project, RPackageHeader& header);
void Project_WriteGame(RProject& project, const RPackageHeader& header);

// The whole folder: game.json and every resource kind.
void Project_Read(const fs::path& dir, RPackedGame& game);
void Project_Write(const fs::path& dir, RPackedGame& game);

// Makes the folder `dir` (new, or empty) holding what `write` puts into the
// folder it is given: written into a new folder beside `dir` and renamed at
// the end, so that a failure leaves nothing half-written behind to block the
// next try. Messages name `dir`, not the folder being written.
void Project_CreateFolder(const std::string& dir, const std::function<void(const fs::path&)>& write);

// `tavrin-pack new DIR`: a small starting project, with a README.txt that
// says how to build and play it.
void Project_New(const std::string& dir);

nlohmann::json Project_SettingsToJson(const RGameSettings& settings);
RGameSettings Project_SettingsFromJson(const nlohmann::json& json);

// The index of the resource `name` of `kind` (from Project_Order), or -1;
// "" is -1 too. Any kind may refer to any other, since the names of every
// kind are known before a single resource is read.
int32_t Project_IndexOf(const RProject& project, const std::string& kind, const std::string& name);
// The same, but a name that is not there is an error naming `where`.
int32_t Project_RequireIndex(const RProject& project, const std::string& kind, const std::string& name,
                             const std::string& where);

// Runs `work` for the resource kept in the file `where`: a JSON library error
// (a field of an unexpected shape, text that is not UTF-8) becomes an error
// naming that file, never a bare library message.
template <class F>
void Project_Guard(const std::string& where, F&& work) {
  try {
    work();
  } catch (const nlohmann::json::exception& e) {
    throw CProjectError(where + ": " + e.what());
  }
}

// Reads each <kind>/<name>.json in project order into a new resource; an ""
// in the order keeps an empty slot. `read` throws CProjectError naming
// `where` (the JSON file) and the field.
template <class T>
void Project_ReadList(RProject& project, const std::string& kind, CResourceList<T>& list,
                    const std::function<void(T&, const nlohmann::json&, const std::string& name, const std::string& where)>& read) {
  list.Clear();
  const std::vector<std::string> names = Project_Order(project, kind);
  list.Resize(int32_t(names.size()));
  for (size_t i = 0; i < names.size(); ++i) {
    if (names[i].empty()) continue;
    Project_CheckName(names[i], kind);
    const fs::path relative = fs::path(kind) / (names[i] + ".json");
    const std::string where = (project.dir / relative).string();
    const nlohmann::json j = Project_LoadJson(project, relative);
    if (!j.is_object()) throw CProjectError(where + ": the file must hold an object");
    auto resource = std::make_unique<T>();
    Project_Guard(where, [&] { read(*resource, j, names[i], where); });
    list.Set(int32_t(i), std::move(resource), names[i]);
  }
}

// Writes each resource as <kind>/<name>.json (plus whatever `write` saves
// beside it) and records the order. Two resources of one name cannot share a
// folder: that is an error rather than a silently lost resource.
template <class T>
void Project_WriteList(RProject& project, const std::string& kind, const CResourceList<T>& list,
                     const std::function<void(const T&, nlohmann::json&, const std::string& name)>& write) {
  std::vector<std::string> names;
  std::set<std::string> seen;
  for (int32_t i = 0; i < list.Count(); ++i) {
    names.push_back(list.Exists(i) ? list.Name(i) : std::string());
    if (!list.Exists(i)) continue;
    Project_CheckName(names.back(), kind);
    if (!seen.insert(names.back()).second)
      throw CProjectError(kind + ": two resources are named \"" + names.back() + "\"; a project folder needs distinct names");
  }
  Project_SetOrder(project, kind, names);
  for (int32_t i = 0; i < list.Count(); ++i) {
    if (!list.Exists(i)) continue;
    const fs::path file = project.dir / kind / (names[size_t(i)] + ".json");
    Project_Guard(file.string(), [&] {
      nlohmann::json j = nlohmann::json::object();
      write(*list.Get(i), j, names[size_t(i)]);
      Project_SaveJson(file, j);
    });
  }
}

// One resource kind's converter between its folder and its resource list.
struct RProjectKind {
  const char* folder;
  void (*read)(RProject& project);   // folder -> resource list
  void (*write)(RProject& project);  // resource list -> folder
};
// Every kind, in package order.
const std::vector<RProjectKind>& Project_Kinds();

}  // namespace tavrin
