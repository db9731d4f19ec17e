// sprites/<name>.json with the origin, the frame files and the collision
// masks; each frame as sprites/<name>/<frame>.png. Masks are written as the
// settings that make them when those reproduce the stored masks exactly, and
// otherwise as one black-and-white PNG per mask, so that a package taken apart
// and built again is the same to the byte, while a project made by hand needs
// nothing but its pictures.
#include "Pack_Media.h"
#include "graphics/Graphics_Picture.h"
#include "graphics/Sprite_Class.h"
#include "graphics/Graphics_Data.h"

namespace tavrin {

namespace {

using json = nlohmann::json;

constexpr const char* kShapes[] = {"precise", "rectangle", "ellipse", "diamond"};

json ShapeToJson(int32_t kind) { return kind >= 0 && kind < 4 ? json(kShapes[kind]) : json(kind); }

int32_t ShapeFromJson(const json& j, const std::string& where) {
  if (j.is_number_integer()) return j.get<int32_t>();
  if (j.is_string())
    for (int32_t k = 0; k < 4; ++k)
      if (j.get<std::string>() == kShapes[k]) return k;
  throw CProjectError(where + ": field \"shape\" must be precise, rectangle, ellipse, diamond or a number");
}

json SettingsToJson(const RMaskSettings& s) {
  json j = {{"separate", s.sepmasks}, {"shape", ShapeToJson(s.kind)}};
  if (s.bbmode == kBoxAutomatic)
    j["bbox"] = "automatic";
  else if (s.bbmode == kBoxFull)
    j["bbox"] = "full";
  else
    j["bbox"] = Media_RectToJson(s.bbox.Left, s.bbox.Top, s.bbox.Right, s.bbox.Bottom);
  if (s.kind == kMaskPrecise) j["tolerance"] = s.tolerance;
  return j;
}

RMaskSettings SettingsFromJson(const json& j, const std::string& where) {
  if (!j.is_object()) throw CProjectError(where + ": field \"mask\" must be an object");
  RMaskSettings s;
  s.sepmasks = Project_Get<bool>(j, "separate", false, where);
  if (j.contains("shape")) s.kind = ShapeFromJson(j["shape"], where);
  s.tolerance = Project_Get<int32_t>(j, "tolerance", 0, where);
  if (s.tolerance < 0 || s.tolerance > 255) throw CProjectError(where + ": field \"tolerance\" must be 0 to 255");
  const json box = j.value("bbox", json("automatic"));
  if (box == "automatic") {
    s.bbmode = kBoxAutomatic;
  } else if (box == "full") {
    s.bbmode = kBoxFull;
  } else if (box.is_object()) {
    const auto r = Media_RectFromJson(box, where, "bbox");
    s.bbmode = kBoxManual;
    s.bbox = {r[0], r[1], r[2], r[3]};
  } else {
    throw CProjectError(where + ": field \"bbox\" must be \"automatic\", \"full\" or a box");
  }
  return s;
}

// The settings that remake the stored masks exactly, if any of the usual ones do.
std::optional<RMaskSettings> FindMaskSettings(const CSprite& sprite) {
  std::vector<RMaskSettings> tries = {{sprite.i_sepmasks, kBoxAutomatic, {}, kMaskPrecise, 0}};
  for (int32_t kind = kMaskRectangle; kind <= kMaskDiamond; ++kind) {
    tries.push_back({sprite.i_sepmasks, kBoxFull, {}, kind, 0});
    tries.push_back({sprite.i_sepmasks, kBoxAutomatic, {}, kind, 0});
    if (!sprite.i_mask.empty()) tries.push_back({sprite.i_sepmasks, kBoxManual, sprite.i_mask[0].i_bbox, kind, 0});
  }
  for (const RMaskSettings& s : tries) {
    CSprite copy;
    copy.i_numb = sprite.i_numb;
    copy.i_bitmap = sprite.i_bitmap;
    copy.ComputeMask(s);
    if (copy.i_mask == sprite.i_mask) return s;
  }
  return std::nullopt;
}

TBitmap32 MaskToPicture(const TMask& m) {
  TBitmap32 bm(m.i_w, m.i_h);
  for (int32_t y = 0; y < m.i_h; ++y)
    for (int32_t x = 0; x < m.i_w; ++x) bm.SetPixel(x, y, m.Get(x, y) ? 0xFFFFFFFFu : 0xFF000000u);
  return bm;
}

// White (bright and opaque) pixels take part in collisions.
TMask MaskFromPicture(const TBitmap32& bm) {
  TMask m;
  m.i_w = bm.s_w;
  m.i_h = bm.s_h;
  m.i_mask.assign(size_t(m.i_w) * size_t(m.i_h), 0);
  for (int32_t y = 0; y < m.i_h; ++y)
    for (int32_t x = 0; x < m.i_w; ++x) {
      const TColor32 c = bm.GetPixel(x, y);
      const int grey = (int(c >> 16 & 0xFF) + int(c >> 8 & 0xFF) + int(c & 0xFF)) / 3;
      m.Set(x, y, grey >= 128 && (c >> 24) >= 128);
    }
  return m;
}

// A picture entry: a file name, or {"width", "height"} for a picture without pixels.
TBitmap32 PictureFromJson(const RProject& project, const json& e, const std::string& where, const char* field) {
  if (e.is_string()) return Media_LoadPicture(Media_DataPath(project, "sprites", e.get<std::string>(), where, field), where);
  if (e.is_object() && !e.contains("file")) {
    TBitmap32 bm;
    bm.s_w = Project_Get<int32_t>(e, "width", 0, where);
    bm.s_h = Project_Get<int32_t>(e, "height", 0, where);
    if (bm.s_w < 0 || bm.s_h < 0 || (bm.s_w > 0 && bm.s_h > 0))
      throw CProjectError(where + ": field \"" + field + "\": a picture with pixels needs a file");
    return bm;
  }
  throw CProjectError(where + ": field \"" + field + "\" must name a PNG file");
}

json PictureToJson(const RProject& project, const TBitmap32& bm, const std::string& file) {
  if (bm.s_w <= 0 || bm.s_h <= 0) return {{"width", bm.s_w}, {"height", bm.s_h}};
  Media_SavePicture(project.dir / "sprites" / file, bm);
  return file;
}

void ReadSprite(const RProject& project, CSprite& s, const json& j, const std::string& name, const std::string& where) {
  const json origin = j.value("origin", json::object());
  s.i_xorig = Project_Get<int32_t>(origin, "x", 0, where);
  s.i_yorig = Project_Get<int32_t>(origin, "y", 0, where);
  s.i_version = Project_Get<int32_t>(j, "version", 800, where);
  if (s.i_version != 800 && s.i_version != 810) throw CProjectError(where + ": field \"version\" must be 800 or 810");
  s.i_reserved = Project_Get<int32_t>(j, "reserved", 0, where);

  json frames = j.value("frames", json());
  if (frames.is_null()) {  // by hand: <name>/0.png, <name>/1.png, ... as far as they go
    frames = json::array();
    while (fs::exists(project.dir / "sprites" / name / (std::to_string(frames.size()) + ".png")))
      frames.push_back(name + "/" + std::to_string(frames.size()) + ".png");
  }
  if (!frames.is_array()) throw CProjectError(where + ": field \"frames\" must be a list of PNG files");
  for (const json& f : frames) s.i_bitmap.push_back(PictureFromJson(project, f, where, "frames"));
  s.i_numb = int32_t(s.i_bitmap.size());
  for (size_t i = 1; i < s.i_bitmap.size(); ++i)
    if (s.i_bitmap[i].s_w != s.i_bitmap[0].s_w || s.i_bitmap[i].s_h != s.i_bitmap[0].s_h)
      throw CProjectError(where + ": field \"frames\": frame " + std::to_string(i) + " is not the size of frame 0");
  s.i_tex.assign(s.i_bitmap.size(), -1);

  const RMaskSettings settings = SettingsFromJson(j.value("mask", json::object()), where + ": field \"mask\"");
  if (!j.contains("masks")) {
    s.ComputeMask(settings);
    return;
  }
  const json& masks = j["masks"];
  s.i_sepmasks = settings.sepmasks;
  const size_t expected = s.i_bitmap.empty() ? 0 : s.i_sepmasks ? s.i_bitmap.size() : 1;
  if (!masks.is_array() || masks.size() != expected)
    throw CProjectError(where + ": field \"masks\" must list " + std::to_string(expected) + " masks");
  for (const json& m : masks) {
    if (!m.is_object()) throw CProjectError(where + ": field \"masks\" must hold objects");
    TMask mask = m.contains("file") ? MaskFromPicture(PictureFromJson(project, m["file"], where, "masks"))
                                    : TMask::Create(nullptr, 0, {}, 0, 0);
    if (!m.contains("file")) {
      mask.i_w = Project_Get<int32_t>(m, "width", 0, where);
      mask.i_h = Project_Get<int32_t>(m, "height", 0, where);
      if (mask.i_w < 0 || mask.i_h < 0 || (mask.i_w > 0 && mask.i_h > 0))
        throw CProjectError(where + ": field \"masks\": a mask with cells needs a file");
    }
    const auto box = Media_RectFromJson(m.value("bbox", json::object()), where, "bbox");
    mask.i_bbox = {box[0], box[1], box[2], box[3]};
    s.i_mask.push_back(std::move(mask));
  }
  s.ComputeBoundingBox();
}

void WriteSprite(const RProject& project, const CSprite& s, json& j, const std::string& name) {
  j["origin"] = {{"x", s.i_xorig}, {"y", s.i_yorig}};
  if (s.i_version == 810) {
    j["version"] = 810;
    j["reserved"] = s.i_reserved;
  }
  json frames = json::array();
  for (size_t i = 0; i < s.i_bitmap.size(); ++i)
    frames.push_back(PictureToJson(project, s.i_bitmap[i], name + "/" + std::to_string(i) + ".png"));
  j["frames"] = frames;
  if (const std::optional<RMaskSettings> found = FindMaskSettings(s)) {
    j["mask"] = SettingsToJson(*found);
    return;
  }
  j["mask"] = {{"separate", s.i_sepmasks}};
  json masks = json::array();
  const size_t count = s.i_bitmap.empty() ? 0 : s.i_sepmasks ? s.i_bitmap.size() : 1;
  for (size_t i = 0; i < count; ++i) {
    const TMask m = i < s.i_mask.size() ? s.i_mask[i] : TMask();
    json e = PictureToJson(project, MaskToPicture(m), name + "/mask" + std::to_string(i) + ".png");
    if (e.is_string()) e = {{"file", e}};
    e["bbox"] = Media_RectToJson(m.i_bbox.Left, m.i_bbox.Top, m.i_bbox.Right, m.i_bbox.Bottom);
    masks.push_back(e);
  }
  j["masks"] = masks;
}

void ReadSprites(RProject& project) {
  Project_ReadList<CSprite>(project, "sprites", project.data.graphics.sprites,
                          [&](CSprite& s, const json& j, const std::string& name, const std::string& where) {
                            ReadSprite(project, s, j, name, where);
                          });
}

void WriteSprites(RProject& project) {
  Project_WriteList<CSprite>(project, "sprites", project.data.graphics.sprites,
                           [&](const CSprite& s, json& j, const std::string& name) { WriteSprite(project, s, j, name); });
}

}  // namespace

const RProjectKind kProjectSprites = {"sprites", ReadSprites, WriteSprites};

}  // namespace tavrin
