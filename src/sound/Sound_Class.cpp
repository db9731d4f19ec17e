#include "sound/Sound_Class.h"

#include <filesystem>
#include <fstream>

#include "package/Package_Sections.h"
#include "package/Support_Path.h"
#include "package/Support_TempDir.h"
#include "platform/Platform_Trace.h"
#include "sound/Sound_Main.h"

namespace tavrin {

CResourceList<CSound> g_Sounds;

void CSound::Clear() {
  Discard();
  *this = CSound();
}

bool CSound::LoadFromStream(CStream& str) {
  Clear();
  if (str.ReadInteger() != kSoundRecordVersion) return false;
  CSound s;
  s.s_kind = str.ReadInteger();
  s.s_extension = str.ReadString();
  s.s_origname = str.ReadString();
  if (str.ReadBoolean()) s.s_sound = str.ReadStream();
  s.s_effects = str.ReadInteger();
  s.s_volume = str.ReadReal();
  s.s_pan = str.ReadReal();
  s.s_preload = str.ReadBoolean();
  *this = std::move(s);
  return true;
}

void CSound::SaveToStream(CStream& str) const {
  str.WriteInteger(kSoundRecordVersion);
  str.WriteInteger(s_kind);
  str.WriteString(s_extension);
  str.WriteString(s_origname);
  str.WriteBoolean(s_sound.has_value());
  if (s_sound) str.WriteStream(*s_sound);
  str.WriteInteger(s_effects);
  str.WriteReal(s_volume);
  str.WriteReal(s_pan);
  str.WriteBoolean(s_preload);
}

namespace {
// A file name as given, else inside the sound search folder the game set.
std::string FindSoundFile(const std::string& fileName) {
  std::error_code ec;
  const std::string& dir = Sample_SearchDirectory();
  if (std::filesystem::exists(fileName, ec) || dir.empty() || std::filesystem::path(fileName).is_absolute()) return fileName;
  const std::string inside = Path_FromGame(dir + "/" + fileName);  // the folder as the game names it
  return std::filesystem::exists(inside, ec) ? inside : fileName;
}
}  // namespace

bool CSound::LoadFromFile(const std::string& givenName, int32_t kind, bool preload) {
  // Read and check everything first, so that a bad file changes nothing.
  const std::string fileName = FindSoundFile(givenName);
  std::string reason;
  const TSoundBytes bytes = Sound_ReadFile(fileName, reason);
  if (!bytes) return false;
  if (!Sound_CanDecode(bytes, reason)) {
    WriteTrace("Sound file " + fileName + " cannot be played: " + reason);
    return false;
  }
  Clear();
  const std::filesystem::path path(fileName);
  s_extension = path.extension().string();
  s_origname = path.filename().string();
  s_sound = CStream(*bytes);
  s_kind = kind;
  s_preload = preload;
  Prepare();
  return true;
}

void CSound::Prepare() {
  if (s_preload) Restore();
}

void CSound::Restore() {
  // A loaded sound keeps its sample: loading again would lose the first.
  if (s_soundid >= 0) return;
  if (s_kind >= kSoundNormal && s_kind <= kSound3D) {
    if (!s_sound) return;
    s_soundid = Sample_LoadMemory(std::make_shared<const std::vector<uint8_t>>(s_sound->Bytes()), s_kind);
    if (s_soundid < 0 && Sample_Running()) s_kind = kSoundMultimedia;
  }
  if (s_kind == kSoundMultimedia) {
    if (s_sound && !TempDir().empty()) {
      // The name comes from the temporary folder's own generator, never the
      // game's, so loading sounds does not shift the game's random numbers.
      const std::string name = TempFileName(s_extension);
      std::ofstream out(name, std::ios::binary);
      out.write(reinterpret_cast<const char*>(s_sound->Data()), std::streamsize(s_sound->Size()));
      if (out) {
        s_fname = name;
        s_sound.reset();
      }
    }
    if (s_fname.empty()) return;
    s_soundid = Sample_LoadFile(s_fname, kSoundMultimedia);
  }
  if (s_soundid >= 0) {
    if (s_effects > 0) Sample_SetEffects(s_soundid, s_effects);
    Sample_SetVolume(s_soundid, 0, s_volume);
    Sample_SetPan(s_soundid, s_pan);
  }
}

void CSound::Discard() {
  if (s_soundid >= 0) Sample_Free(s_soundid);
  s_soundid = -1;
}

int32_t CSound::GetSoundId() {
  if (s_soundid < 0) Restore();
  return s_soundid;
}

// ------------------------------------------------------------------ the list

void Sound_PrepareAll() {
  for (int32_t i = 0; i < g_Sounds.Count(); ++i)
    if (CSound* s = g_Sounds.Get(i)) s->Prepare();
}

int32_t Sound_CountExisting() {
  int32_t n = 0;
  for (int32_t i = 0; i < g_Sounds.Count(); ++i) n += g_Sounds.Exists(i) ? 1 : 0;
  return n;
}

int32_t Sound_Add(const std::string& fileName, int32_t kind, bool preload) {
  auto sound = std::make_unique<CSound>();
  if (!sound->LoadFromFile(fileName, kind, preload)) return -1;
  const int32_t index = g_Sounds.Count();
  g_Sounds.Set(index, std::move(sound), "__newsound" + std::to_string(index));
  return index;
}

bool Sound_Replace(int32_t index, const std::string& fileName, int32_t kind, bool preload) {
  if (index < 0) return false;
  if (CSound* s = g_Sounds.Get(index)) return s->LoadFromFile(fileName, kind, preload);
  auto sound = std::make_unique<CSound>();
  if (!sound->LoadFromFile(fileName, kind, preload)) return false;
  g_Sounds.Set(index, std::move(sound), "__newsound" + std::to_string(index));
  return true;
}

void Sound_Delete(int32_t index) {
  if (CSound* s = g_Sounds.Get(index)) s->Clear();
  g_Sounds.Remove(index);
}

void Sound_DiscardAll() {
  for (int32_t i = 0; i < g_Sounds.Count(); ++i)
    if (CSound* s = g_Sounds.Get(i)) s->Discard();
}

}  // namespace tavrin
