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

#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <vector>

#include "package/Package_Load.h"

namespace tavrin {

namespace fs = std::filesystem;

class CProjectError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A project being read (build) or written (unpack).
struct RProject {
  fs::path dir;
  nlohmann::json game;  // the contents of game.json
  mutable std::map<std::string, std::vector<std::string>> orders;  // Project_Order, once per kind
};

// Reads a JSON file; throws CProjectError naming the file and the problem.
nlohmann::json Project_LoadJson(const fs::path& path);
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
// Records the names of a kind in index order into game.json's "order".
void Project_SetOrder(RProject& project, const std::string& kind, const std::vector<std::string>& names);
// A resource name that can be a file name: not empty, no separators, not "."
// or "..". Throws otherwise (names come from packages and are untrusted).
const std::string& Project_CheckName(const std::string& name, const std::string& kind);

// A field of `json` with a default; a present field of the wrong type is an
// error naming `where` and the field.
template <class T>
T Project_Get(const nlohmann::json& json, const char* field, const T& fallback, const std::string& where) {
  const auto it = json.find(field);
  if (it == json.end() || it->is_null()) return fallback;
  try {
    return it->get<T>();
  } catch (const nlohmann::json::exception&) {
    throw CProjectError(where + ": field \"" + field + "\" has the wrong type");
  }
}

// game.json itself (settings, identity, header pictures, ...).
RPackageContent Project_ReadGame(RProject& project);
void Project_WriteGame(RProject& project, const RPackageContent& content);

// The whole folder: game.json and every resource kind.
RPackageContent Project_Read(const fs::path& dir);
void Project_Write(const fs::path& dir, const RPackageContent& content);

nlohmann::json Project_SettingsToJson(const RGameSettings& settings);
RGameSettings Project_SettingsFromJson(const nlohmann::json& json);

// The index of the resource `name` of `kind` (from Project_Order), or -1;
// "" is -1 too. Any kind may refer to any other, since the names of every
// kind are known before a single resource is read.
int32_t Project_IndexOf(const RProject& project, const std::string& kind, const std::string& name);
// The same, but a name that is not there is an error naming `where`.
int32_t Project_RequireIndex(const RProject& project, const std::string& kind, const std::string& name,
                             const std::string& where);

// One resource kind's converter between its folder and its resource list.
struct RProjectKind {
  const char* folder;
  void (*read)(RProject& project);   // folder -> resource list
  void (*write)(RProject& project);  // resource list -> folder
};
// Every kind, in package order.
const std::vector<RProjectKind>& Project_Kinds();

}  // namespace tavrin
