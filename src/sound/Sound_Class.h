// CSound: one sound resource of the game with its file's bytes, loaded into
// a sample of the audio engine at start (preload) or at first use; the sound
// list of the running game and its run-time changes.
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

  // Frees the sample and forgets everything.
  void Clear();
  // Record: version 800, kind, extension, source name, has-data flag and the
  // data as a raw sub-stream, effects, volume, pan, preload. False for
  // another version (the sound is then cleared).
  bool LoadFromStream(CStream& stream);
  void SaveToStream(CStream& stream) const;
  // The whole file becomes the sound's data. False, with the sound as it
  // was, when the file is missing or holds no sound any decoder reads.
  bool LoadFromFile(const std::string& fileName, int32_t kind, bool preload);
  // Loads the sample now when the sound preloads.
  void Prepare();
  // Loads the sample when it is not loaded: a sound that fails as a sample
  // becomes a multimedia sound played from a temporary file.
  void Restore();
  // Frees the sample; the data stays for the next Restore.
  void Discard();
  // The sample, loading it first when needed; -1 when it cannot load.
  int32_t GetSoundId();
};

extern CResourceList<CSound> g_Sounds;

// The sound list at run time.
void Sound_PrepareAll();
int32_t Sound_CountExisting();
// A new sound "__newsound<index>" from a file: its index, or -1 (the list
// unchanged) when the file cannot be loaded.
int32_t Sound_Add(const std::string& fileName, int32_t kind, bool preload);
// Loads the file into sound `index` (creating it in an empty slot); false
// when the file cannot be loaded, which leaves the sound as it was.
bool Sound_Replace(int32_t index, const std::string& fileName, int32_t kind, bool preload);
void Sound_Delete(int32_t index);
// Frees every sample (at the end of the game).
void Sound_DiscardAll();

}  // namespace tavrin
