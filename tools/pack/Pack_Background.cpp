// backgrounds/<name>.json naming its picture, backgrounds/<name>.png.
#include "Pack_Media.h"
#include "graphics/Background_Class.h"
#include "graphics/Graphics_Data.h"

namespace tavrin {

namespace {

using json = nlohmann::json;

void ReadBackground(const RProject& project, CBackground& b, const json& j, const std::string& name,
                    const std::string& where) {
  if (j.contains("width") || j.contains("height")) {  // a background without pixels
    b.i_bitmap.s_w = Project_Get<int32_t>(j, "width", 0, where);
    b.i_bitmap.s_h = Project_Get<int32_t>(j, "height", 0, where);
    if (b.i_bitmap.s_w < 0 || b.i_bitmap.s_h < 0 || (b.i_bitmap.s_w > 0 && b.i_bitmap.s_h > 0))
      throw CProjectError(where + ": fields \"width\" and \"height\" are only for a background without pixels; "
                                  "give its picture in \"image\"");
    return;
  }
  const std::string image = Project_Get<std::string>(j, "image", name + ".png", where);
  b.i_bitmap = Media_LoadPicture(Media_DataPath(project, "backgrounds", image, where, "image"), where);
}

void WriteBackground(const RProject& project, const CBackground& b, json& j, const std::string& name) {
  if (b.i_bitmap.s_w <= 0 || b.i_bitmap.s_h <= 0) {
    j["width"] = b.i_bitmap.s_w;
    j["height"] = b.i_bitmap.s_h;
    return;
  }
  Media_SavePicture(project.dir / "backgrounds" / (name + ".png"), b.i_bitmap);
  j["image"] = name + ".png";
}

void ReadBackgrounds(RProject& project) {
  Project_ReadList<CBackground>(project, "backgrounds", project.data.graphics.backgrounds,
                              [&](CBackground& b, const json& j, const std::string& name, const std::string& where) {
                                ReadBackground(project, b, j, name, where);
                              });
}

void WriteBackgrounds(RProject& project) {
  Project_WriteList<CBackground>(project, "backgrounds", project.data.graphics.backgrounds,
                               [&](const CBackground& b, json& j, const std::string& name) {
                                 WriteBackground(project, b, j, name);
                               });
}

}  // namespace

const RProjectKind kProjectBackgrounds = {"backgrounds", ReadBackgrounds, WriteBackgrounds};

}  // namespace tavrin
