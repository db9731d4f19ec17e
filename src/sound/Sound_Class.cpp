#include "sound/Sound_Class.h"

#include "package/Package_Sections.h"

namespace tavrin {

CResourceList<CSound> g_Sounds;

void CSound::Clear() { *this = CSound(); }

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

}  // namespace tavrin
