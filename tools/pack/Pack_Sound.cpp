// sounds/<name>.json with the sound's settings, and its data as its own file
// (sounds/<name><extension>).
#include <cmath>

#include "Pack_Media.h"
#include "sound/Sound_Class.h"

namespace tavrin {

namespace {

using json = nlohmann::json;

constexpr const char* kKindNames[] = {"normal", "background", "3d", "multimedia"};
constexpr const char* kEffectNames[] = {"chorus", "echo",       "flanger",    "gargle",      "reverb",
                                        "compressor", "equalizer", "distortion", "i3dl2_reverb"};
constexpr int kEffectCount = int(std::size(kEffectNames));

// An extension that can end a file name in the project: a dot and a few
// letters or digits, and not the project files' own ".json".
bool SafeExtension(const std::string& ext) {
  if (ext.size() < 2 || ext.size() > 16 || ext[0] != '.') return false;
  for (size_t i = 1; i < ext.size(); ++i)
    if (!std::isalnum(static_cast<unsigned char>(ext[i]))) return false;
  std::string lower = ext;
  for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
  return lower != ".json";
}

json KindToJson(int32_t kind) { return kind >= 0 && kind < 4 ? json(kKindNames[kind]) : json(kind); }

int32_t KindFromJson(const json& j, const std::string& where) {
  if (j.is_number_integer()) return j.get<int32_t>();
  if (j.is_string())
    for (int32_t k = 0; k < 4; ++k)
      if (j.get<std::string>() == kKindNames[k]) return k;
  throw CProjectError(where + ": field \"kind\" must be normal, background, 3d, multimedia or a number");
}

// Named bits when every bit has a name, else the number itself.
json EffectsToJson(int32_t effects) {
  if (effects < 0 || effects >= (1 << kEffectCount)) return effects;
  json list = json::array();
  for (int b = 0; b < kEffectCount; ++b)
    if (effects & (1 << b)) list.push_back(kEffectNames[b]);
  return list;
}

int32_t EffectsFromJson(const json& j, const std::string& where) {
  if (j.is_number_integer()) return j.get<int32_t>();
  if (!j.is_array()) throw CProjectError(where + ": field \"effects\" must be a list of effect names or a number");
  int32_t bits = 0;
  for (const json& e : j) {
    int b = 0;
    while (b < kEffectCount && !(e.is_string() && e.get<std::string>() == kEffectNames[b])) ++b;
    if (b == kEffectCount) throw CProjectError(where + ": field \"effects\": unknown effect " + e.dump());
    bits |= 1 << b;
  }
  return bits;
}

double RealFromJson(const json& j, const char* field, double fallback, const std::string& where) {
  const double v = Project_Get<double>(j, field, fallback, where);
  if (!std::isfinite(v)) throw CProjectError(where + ": field \"" + field + "\" must be a number");
  return v;
}

void ReadSound(const RProject& project, CSound& s, const json& j, const std::string& where) {
  s.s_kind = KindFromJson(j.value("kind", json("normal")), where);
  const std::string file = Project_Get<std::string>(j, "file", "", where);
  const fs::path fileName = fs::path(file).filename();
  s.s_extension = Project_Get<std::string>(j, "extension", fileName.extension().string(), where);
  s.s_origname = Project_Get<std::string>(j, "source_file", fileName.string(), where);
  if (!file.empty()) {
    const std::string bytes = Project_LoadText(Media_DataPath(project, "sounds", file, where, "file"));
    s.s_sound = CStream(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  }
  if (j.contains("effects")) s.s_effects = EffectsFromJson(j["effects"], where);
  s.s_volume = RealFromJson(j, "volume", 1.0, where);
  s.s_pan = RealFromJson(j, "pan", 0.0, where);
  s.s_preload = Project_Get<bool>(j, "preload", true, where);
}

void WriteSound(const RProject& project, const CSound& s, json& j, const std::string& name) {
  // JSON has no value for these; writing null would quietly turn them into the defaults.
  if (!std::isfinite(s.s_volume) || !std::isfinite(s.s_pan))
    throw CProjectError("sounds/" + name + ": the volume or pan is not a finite number and cannot be written");
  j["kind"] = KindToJson(s.s_kind);
  if (s.s_sound) {
    const std::string file = name + (SafeExtension(s.s_extension) ? s.s_extension : ".data");
    Media_SaveNewFile(project.dir / "sounds" / file, s.s_sound->Data(), s.s_sound->Size());
    j["file"] = file;
  }
  j["extension"] = s.s_extension;
  j["source_file"] = s.s_origname;
  j["effects"] = EffectsToJson(s.s_effects);
  j["volume"] = s.s_volume;
  j["pan"] = s.s_pan;
  j["preload"] = s.s_preload;
}

void ReadSounds(RProject& project) {
  Project_ReadList<CSound>(project, "sounds", project.data.sounds,
                         [&](CSound& s, const json& j, const std::string&, const std::string& where) {
                           ReadSound(project, s, j, where);
                         });
}

void WriteSounds(RProject& project) {
  Project_WriteList<CSound>(project, "sounds", project.data.sounds,
                          [&](const CSound& s, json& j, const std::string& name) { WriteSound(project, s, j, name); });
}

}  // namespace

const RProjectKind kProjectSounds = {"sounds", ReadSounds, WriteSounds};

}  // namespace tavrin
