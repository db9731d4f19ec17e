// Project files of the picture and sound kinds (sounds, sprites, backgrounds,
// fonts), and the helpers they share: resource lists walked in project order,
// PNG files, and data files named from JSON.
#pragma once

#include <functional>
#include <memory>
#include <set>

#include "Pack_Project.h"
#include "package/BM32_Bitmap.h"
#include "package/Resource_List.h"

namespace tavrin {

extern const RProjectKind kProjectSounds, kProjectSprites, kProjectBackgrounds, kProjectFonts;

// Reads each <kind>/<name>.json in project order into a new resource; an ""
// in the order keeps an empty slot. `read` throws CProjectError naming
// `where` (the JSON file) and the field.
template <class T>
void Media_ReadList(RProject& project, const std::string& kind, CResourceList<T>& list,
                    const std::function<void(T&, const nlohmann::json&, const std::string& name, const std::string& where)>& read) {
  list.Clear();
  const std::vector<std::string> names = Project_Order(project, kind);
  list.Resize(int32_t(names.size()));
  for (size_t i = 0; i < names.size(); ++i) {
    if (names[i].empty()) continue;
    Project_CheckName(names[i], kind);
    const fs::path file = project.dir / kind / (names[i] + ".json");
    const nlohmann::json j = Project_LoadJson(file);
    if (!j.is_object()) throw CProjectError(file.string() + ": the file must hold an object");
    auto resource = std::make_unique<T>();
    read(*resource, j, names[i], file.string());
    list.Set(int32_t(i), std::move(resource), names[i]);
  }
}

// Writes each resource as <kind>/<name>.json (plus whatever `write` saves
// beside it) and records the order. Two resources of one name cannot share a
// folder: that is an error rather than a silently lost resource.
template <class T>
void Media_WriteList(RProject& project, const std::string& kind, const CResourceList<T>& list,
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
    nlohmann::json j = nlohmann::json::object();
    write(*list.Get(i), j, names[size_t(i)]);
    Project_SaveJson(project.dir / kind / (names[size_t(i)] + ".json"), j);
  }
}

// A data file named in a project file, relative to the kind's folder. Names
// that climb out of the project (absolute, or with a ".." part) are refused.
fs::path Media_DataPath(const RProject& project, const std::string& kind, const std::string& relative,
                        const std::string& where, const char* field);
// Reads a PNG picture exactly as stored; errors name the file.
TBitmap32 Media_LoadPicture(const fs::path& path, const std::string& where);
// Writes a PNG picture (a picture without pixels cannot be one).
void Media_SavePicture(const fs::path& path, const TBitmap32& bitmap);
// Writes bytes to a file that no other resource has written yet.
void Media_SaveNewFile(const fs::path& path, const uint8_t* data, size_t size);

// A {"left", "top", "right", "bottom"} object.
nlohmann::json Media_RectToJson(int32_t left, int32_t top, int32_t right, int32_t bottom);
std::array<int32_t, 4> Media_RectFromJson(const nlohmann::json& j, const std::string& where, const char* field);

}  // namespace tavrin
