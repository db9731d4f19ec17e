// CSound: one sound resource of the game with its file's bytes; the sound
// list of the running game. Playback comes with the audio engine.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "package/Resource_List.h"
#include "package/Support_Stream.h"

namespace tavrin {

inline constexpr int32_t kSoundRecordVersion = 800;

// How a sound plays.
enum ESoundKind : int32_t { kSoundNormal = 0, kSoundBackground = 1, kSound3D = 2, kSoundMultimedia = 3 };

class CSound {
 public:
  int32_t s_kind = -1;         // ESoundKind; -1 when empty
  std::string s_extension;     // extension of the source file, with its dot
  std::string s_origname;      // source file name, no folder
  std::optional<CStream> s_sound;  // the sound file's bytes
  bool s_preload = true;       // load the sample at start rather than at first use
  int32_t s_effects = 0;       // effect bits: chorus 1, echo 2, flanger 4, gargle 8, reverb 16, compressor 32, equalizer 64, ...
  double s_volume = 1;         // 0 .. 1
  double s_pan = 0;            // -1 left .. 1 right
  int32_t s_soundid = -1;      // sample of the audio engine, -1 while not loaded
  std::string s_fname;         // temporary file of a multimedia sound

  void Clear();
  // Record: version 800, kind, extension, source name, has-data flag and the
  // data as a raw sub-stream, effects, volume, pan, preload. False for
  // another version (the sound is then cleared).
  bool LoadFromStream(CStream& stream);
  void SaveToStream(CStream& stream) const;
};

extern CResourceList<CSound> g_Sounds;

}  // namespace tavrin
