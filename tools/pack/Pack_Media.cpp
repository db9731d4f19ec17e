#include "Pack_Media.h"

#include "graphics/Graphics_Picture.h"
#include "package/Support_Stream.h"

namespace tavrin {

fs::path Media_DataPath(const RProject& project, const std::string& kind, const std::string& relative,
                        const std::string& where, const char* field) {
  return Project_File(project, kind, relative, where, field);
}

TBitmap32 Media_LoadPicture(const fs::path& path, const std::string& where) {
  CStream file;
  if (!file.LoadFromFile(path.string())) throw CProjectError(where + ": cannot read the picture " + path.string());
  std::optional<TBitmap32> bm = Picture_DecodePNG(file.Bytes());
  if (!bm) throw CProjectError(where + ": " + path.string() + " is not a PNG picture");
  return std::move(*bm);
}

void Media_SavePicture(const fs::path& path, const TBitmap32& bitmap) {
  const std::vector<uint8_t> png = Picture_EncodePNG(bitmap);
  if (png.empty()) throw CProjectError(path.string() + ": cannot encode the picture");
  Media_SaveNewFile(path, png.data(), png.size());
}

void Media_SaveNewFile(const fs::path& path, const uint8_t* data, size_t size) {
  if (fs::exists(path)) throw CProjectError(path.string() + ": two resources would write this file");
  Project_SaveText(path, std::string(reinterpret_cast<const char*>(data), size));
}

nlohmann::json Media_RectToJson(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return {{"left", left}, {"top", top}, {"right", right}, {"bottom", bottom}};
}

std::array<int32_t, 4> Media_RectFromJson(const nlohmann::json& j, const std::string& where, const char* field) {
  if (!j.is_object()) throw CProjectError(where + ": field \"" + field + "\" must be an object with left, top, right, bottom");
  const std::string inner = where + ": field \"" + field + "\"";
  return {Project_Get<int32_t>(j, "left", 0, inner), Project_Get<int32_t>(j, "top", 0, inner),
          Project_Get<int32_t>(j, "right", 0, inner), Project_Get<int32_t>(j, "bottom", 0, inner)};
}

}  // namespace tavrin
