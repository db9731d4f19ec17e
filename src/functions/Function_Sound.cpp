// The sound functions of the script language: playing, stopping, volume,
// pan, fades, effects and 3D placement of sounds, the sound resources added,
// replaced and deleted at run time, their actions, the media command strings
// and the CD functions (on a machine without a disc).
#include "functions/Function_Sound.h"

#include <filesystem>
#include <string>
#include <vector>

#include "package/Support_Path.h"
#include "script/Code_Error.h"
#include "script/Code_Function.h"
#include "script/Variable_Class.h"
#include "sound/Sound_Class.h"
#include "sound/Sound_Main.h"
#include "sound/Sound_Media.h"

namespace tavrin {

namespace {

int32_t Int(const RValue& v) { return Real_ToInt32(v.AsReal()); }
std::string Text(const RValue& v) { return std::string(v.AsText()); }

// The sound an index names, or nullptr after reporting `message`.
CSound* SoundOr(const RValue& index, const char* message) {
  CSound* s = g_Sounds.Get(Int(index));
  if (!s) Error_ReportAction(message, false);
  return s;
}
constexpr const char* kNoSound = "Sound does not exist.";
// The sample of a sound, loading it when needed; -1 after the error.
int32_t SampleOf(const RValue& index) {
  CSound* s = SoundOr(index, kNoSound);
  return s ? s->GetSoundId() : -1;
}

// --- playing

FUNCTION_ROUTINE(F_SoundPlay) { Sample_Play(SampleOf(a[0]), false); }
FUNCTION_ROUTINE(F_SoundLoop) { Sample_Play(SampleOf(a[0]), true); }
FUNCTION_ROUTINE(F_SoundStop) {
  if (CSound* s = SoundOr(a[0], kNoSound)) Sample_Stop(s->s_soundid);
}
FUNCTION_ROUTINE(F_SoundStopAll) { Sample_StopAll(); }
FUNCTION_ROUTINE(F_SoundIsPlaying) {
  const CSound* s = g_Sounds.Get(Int(a[0]));
  result.SetReal(s && Sample_IsPlaying(s->s_soundid) ? 1 : 0);
}
FUNCTION_ROUTINE(F_SoundVolume) { Sample_SetVolume(SampleOf(a[0]), 0, a[1].AsReal()); }
FUNCTION_ROUTINE(F_SoundFade) { Sample_SetVolume(SampleOf(a[0]), Int(a[2]), a[1].AsReal()); }
FUNCTION_ROUTINE(F_SoundPan) { Sample_SetPan(SampleOf(a[0]), a[1].AsReal()); }
FUNCTION_ROUTINE(F_SoundBackgroundTempo) { Sample_SetTempo(a[0].AsReal()); }
FUNCTION_ROUTINE(F_SoundGlobalVolume) { Sample_SetGlobalVolume(a[0].AsReal()); }
FUNCTION_ROUTINE(F_SoundSetSearchDirectory) { Sample_SetSearchDirectory(Text(a[0])); }

// --- effects

FUNCTION_ROUTINE(F_SoundEffectSet) {
  const int32_t id = SampleOf(a[0]);
  Sample_SetEffects(id, Int(a[1]));
}
// The parameters after the index, in the order of the script function;
// those at `rounded` (waveforms, phases, shapes) are whole numbers.
void Effect(EEffectKind kind, int32_t argc, RValue* a, std::initializer_list<size_t> rounded = {}) {
  const int32_t id = SampleOf(a[0]);
  std::vector<double> p;
  for (int32_t i = 1; i < argc; ++i) p.push_back(a[i].AsReal());
  for (size_t i : rounded)
    if (i < p.size()) p[i] = Real_ToInt32(p[i]);
  Sample_SetEffectParameters(id, kind, p);
}
FUNCTION_ROUTINE(F_SoundEffectChorus) { Effect(EEffectKind::Chorus, argc, a, {4, 6}); }
FUNCTION_ROUTINE(F_SoundEffectFlanger) { Effect(EEffectKind::Flanger, argc, a, {4, 6}); }
FUNCTION_ROUTINE(F_SoundEffectEcho) { Effect(EEffectKind::Echo, argc, a, {4}); }
FUNCTION_ROUTINE(F_SoundEffectGargle) { Effect(EEffectKind::Gargle, argc, a, {0, 1}); }
FUNCTION_ROUTINE(F_SoundEffectCompressor) { Effect(EEffectKind::Compressor, argc, a); }
FUNCTION_ROUTINE(F_SoundEffectEqualizer) { Effect(EEffectKind::Equalizer, argc, a); }
FUNCTION_ROUTINE(F_SoundEffectReverb) { Effect(EEffectKind::Reverb, argc, a); }

// --- 3D

FUNCTION_ROUTINE(F_Sound3DPosition) { Sample_Set3DPosition(SampleOf(a[0]), a[1].AsReal(), a[2].AsReal(), a[3].AsReal()); }
FUNCTION_ROUTINE(F_Sound3DVelocity) { Sample_Set3DVelocity(SampleOf(a[0]), a[1].AsReal(), a[2].AsReal(), a[3].AsReal()); }
FUNCTION_ROUTINE(F_Sound3DDistance) { Sample_Set3DDistance(SampleOf(a[0]), a[1].AsReal(), a[2].AsReal()); }
FUNCTION_ROUTINE(F_Sound3DCone) {
  Sample_Set3DCone(SampleOf(a[0]), a[1].AsReal(), a[2].AsReal(), a[3].AsReal(), Int(a[4]), Int(a[5]), a[6].AsReal());
}

// --- the resources

FUNCTION_ROUTINE(F_SoundExists) { result.SetReal(g_Sounds.Exists(Int(a[0])) ? 1 : 0); }
FUNCTION_ROUTINE(F_SoundGetName) {
  const int32_t i = Int(a[0]);
  result.SetString(RString(g_Sounds.Exists(i) ? g_Sounds.Name(i) : std::string("<undefined>")));
}
FUNCTION_ROUTINE(F_SoundGetKind) {
  const CSound* s = g_Sounds.Get(Int(a[0]));
  result.SetReal(s ? s->s_kind : -1);
}
FUNCTION_ROUTINE(F_SoundGetPreload) {
  const CSound* s = g_Sounds.Get(Int(a[0]));
  result.SetReal(s ? (s->s_preload ? 1 : 0) : -1);
}
FUNCTION_ROUTINE(F_SoundDiscard) {
  if (CSound* s = g_Sounds.Get(Int(a[0]))) s->Discard();
}
FUNCTION_ROUTINE(F_SoundRestore) {
  if (CSound* s = g_Sounds.Get(Int(a[0]))) s->Restore();
}
FUNCTION_ROUTINE(F_SoundAdd) { result.SetReal(Sound_Add(Path_FromGame(a[0].AsText()), Int(a[1]), Value_IsTrue(a[2]))); }
FUNCTION_ROUTINE(F_SoundReplace) {
  const int32_t i = Int(a[0]);
  if (!g_Sounds.Exists(i)) {
    Error_ReportAction("Trying to replace non-existing sound.", false);
    return;
  }
  result.SetReal(Sound_Replace(i, Path_FromGame(a[1].AsText()), Int(a[2]), Value_IsTrue(a[3])) ? 1 : 0);
}
FUNCTION_ROUTINE(F_SoundDelete) {
  const int32_t i = Int(a[0]);
  if (!g_Sounds.Exists(i)) {
    Error_ReportAction("Trying to delete non-existing sound.", false);
    return;
  }
  Sound_Delete(i);
  result.SetReal(1);
}

// --- actions

FUNCTION_ROUTINE(A_Sound) {
  if (CSound* s = SoundOr(a[0], "Trying to play non-existing sound.")) Sample_Play(s->GetSoundId(), Value_IsTrue(a[1]));
}
FUNCTION_ROUTINE(A_EndSound) {
  if (CSound* s = SoundOr(a[0], "Trying to stop non-existing sound.")) Sample_Stop(s->s_soundid);
}
FUNCTION_ROUTINE(A_IfSound) {
  const CSound* s = g_Sounds.Get(Int(a[0]));
  result.SetReal(s && Sample_IsPlaying(s->s_soundid) ? 1 : 0);
}
FUNCTION_ROUTINE(A_ReplaceSound) {
  CSound* s = SoundOr(a[0], "Trying to replace non-existing resource.");
  if (!s) return;
  const std::string file = Path_FromGame(a[1].AsText());
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) {
    Error_ReportAction("File does not exist.", false);
    return;
  }
  s->LoadFromFile(file, s->s_kind, s->s_preload);
}

// --- media commands and CD audio

FUNCTION_ROUTINE(F_MciCommand) { result.SetString(RString(Media_Command(Text(a[0])))); }

// Digits of a reply in order, every other character dropped; 0 for none.
int64_t NumberOf(const std::string& reply) {
  int64_t n = 0;
  for (char c : reply)
    if (c >= '0' && c <= '9' && n < (int64_t(1) << 50)) n = n * 10 + (c - '0');
  return n;
}
std::string Cd(const std::string& command) { return Media_Command(command); }
bool CdPresent() {
  Cd("open cdaudio");
  return Cd("status cdaudio media present") == "true";
}
int64_t CdNumber() {
  Cd("open cdaudio");
  return CdPresent() ? NumberOf(Cd("status cdaudio number of tracks")) : 0;
}
bool CdPlaying() {
  Cd("open cdaudio");
  return CdPresent() && Cd("status cdaudio mode") == "playing";
}
int64_t CdTrack() {
  Cd("open cdaudio");
  Cd("set cdaudio time format tmsf wait");
  return CdPresent() ? NumberOf(Cd("status cdaudio position").substr(0, 2)) : 0;
}

FUNCTION_ROUTINE(F_CdInit) {
  Cd("close cdaudio");
  Cd("open cdaudio");
}
FUNCTION_ROUTINE(F_CdPresent) { result.SetReal(CdPresent() ? 1 : 0); }
FUNCTION_ROUTINE(F_CdNumber) { result.SetReal(double(CdNumber())); }
FUNCTION_ROUTINE(F_CdPlaying) { result.SetReal(CdPlaying() ? 1 : 0); }
FUNCTION_ROUTINE(F_CdPaused) {
  Cd("open cdaudio");
  if (!CdPresent()) return;
  const bool paused = Cd("status cdaudio mode") == "paused" || Cd("status cdaudio mode") == "stopped";
  result.SetReal(paused ? 1 : 0);
}
FUNCTION_ROUTINE(F_CdTrack) { result.SetReal(double(CdTrack())); }
FUNCTION_ROUTINE(F_CdLength) {
  Cd("open cdaudio");
  Cd("set cdaudio time format ms wait");
  result.SetReal(CdPresent() ? double(NumberOf(Cd("status cdaudio length wait"))) : 0);
  Cd("set cdaudio time format tmsf wait");
}
FUNCTION_ROUTINE(F_CdTrackLength) {
  Cd("open cdaudio");
  const int32_t t = Int(a[0]);
  if (t <= 0 || t > CdNumber()) return;
  Cd("set cdaudio time format milliseconds wait");
  result.SetReal(CdPresent() ? double(NumberOf(Cd("status cdaudio length track " + std::to_string(t)))) : 0);
  Cd("set cdaudio time format tmsf wait");
}
FUNCTION_ROUTINE(F_CdPosition) {
  Cd("open cdaudio");
  Cd("set cdaudio time format milliseconds wait");
  result.SetReal(CdPresent() ? double(NumberOf(Cd("status cdaudio position"))) : 0);
  Cd("set cdaudio time format tmsf wait");
}
FUNCTION_ROUTINE(F_CdTrackPosition) {
  Cd("open cdaudio");
  Cd("set cdaudio time format tmsf wait");
  if (!CdPresent()) return;
  const std::string p = Cd("status cdaudio position");  // tt:mm:ss:ff
  const int64_t minutes = p.size() >= 5 ? NumberOf(p.substr(3, 2)) : 0;
  const int64_t seconds = p.size() >= 8 ? NumberOf(p.substr(6, 2)) : 0;
  result.SetReal(double(minutes * 60000 + seconds * 1000));
}
FUNCTION_ROUTINE(F_CdPlay) {
  if (!CdPresent()) return;
  Cd("set cdaudio time format tmsf wait");
  int32_t first = Int(a[0]);
  const int32_t last = Int(a[1]);
  if (last < first) return;
  if (first < 1) first = 1;
  if (last < CdNumber())
    Cd("play cdaudio from " + std::to_string(first) + " to " + std::to_string(last + 1));
  else
    Cd("play cdaudio from " + std::to_string(first));
}
FUNCTION_ROUTINE(F_CdStop) {
  if (CdPresent()) Cd("stop cdaudio");
}
FUNCTION_ROUTINE(F_CdPause) {
  if (CdPresent()) Cd("pause cdaudio");
}
FUNCTION_ROUTINE(F_CdResume) {
  if (CdPresent()) Cd("play cdaudio");
}
FUNCTION_ROUTINE(F_CdSetPosition) {
  if (!CdPresent()) return;
  const std::string ms = std::to_string(Int(a[0]));
  Cd("set cdaudio time format milliseconds wait");
  Cd((CdPlaying() ? "play cdaudio from " : "seek cdaudio to ") + ms);
  Cd("set cdaudio time format tmsf");
}
FUNCTION_ROUTINE(F_CdSetTrackPosition) {
  if (!CdPresent()) return;
  const int64_t track = CdTrack();
  if (track <= 0) return;
  const int32_t ms = Int(a[0]);
  const std::string p = std::to_string(track) + ":" + std::to_string(ms / 60000) + ":" + std::to_string((ms % 60000) / 1000);
  Cd("set cdaudio time format tmsf wait");
  Cd((CdPlaying() ? "play cdaudio from " : "seek cdaudio to ") + p);
  Cd("set cdaudio time format tmsf");
}
FUNCTION_ROUTINE(F_CdOpenDoor) {
  Cd("open cdaudio");
  Cd("set cdaudio door open");
}
FUNCTION_ROUTINE(F_CdCloseDoor) {
  Cd("open cdaudio");
  Cd("set cdaudio door closed");
}

constexpr RFunctionRoutine kSoundFunctions[] = {
    {"sound_play", F_SoundPlay},
    {"sound_loop", F_SoundLoop},
    {"sound_stop", F_SoundStop},
    {"sound_stop_all", F_SoundStopAll},
    {"sound_isplaying", F_SoundIsPlaying},
    {"sound_volume", F_SoundVolume},
    {"sound_fade", F_SoundFade},
    {"sound_pan", F_SoundPan},
    {"sound_background_tempo", F_SoundBackgroundTempo},
    {"sound_global_volume", F_SoundGlobalVolume},
    {"sound_set_search_directory", F_SoundSetSearchDirectory},
    {"sound_effect_set", F_SoundEffectSet},
    {"sound_effect_chorus", F_SoundEffectChorus},
    {"sound_effect_compressor", F_SoundEffectCompressor},
    {"sound_effect_echo", F_SoundEffectEcho},
    {"sound_effect_flanger", F_SoundEffectFlanger},
    {"sound_effect_gargle", F_SoundEffectGargle},
    {"sound_effect_equalizer", F_SoundEffectEqualizer},
    {"sound_effect_reverb", F_SoundEffectReverb},
    {"sound_3d_set_sound_position", F_Sound3DPosition},
    {"sound_3d_set_sound_velocity", F_Sound3DVelocity},
    {"sound_3d_set_sound_distance", F_Sound3DDistance},
    {"sound_3d_set_sound_cone", F_Sound3DCone},
    {"sound_exists", F_SoundExists},
    {"sound_get_name", F_SoundGetName},
    {"sound_name", F_SoundGetName},
    {"sound_get_kind", F_SoundGetKind},
    {"sound_get_preload", F_SoundGetPreload},
    {"sound_discard", F_SoundDiscard},
    {"sound_restore", F_SoundRestore},
    {"sound_add", F_SoundAdd},
    {"sound_replace", F_SoundReplace},
    {"sound_delete", F_SoundDelete},
    {"action_sound", A_Sound},
    {"action_end_sound", A_EndSound},
    {"action_if_sound", A_IfSound},
    {"action_replace_sound", A_ReplaceSound},
    {"MCI_command", F_MciCommand},
    {"cd_init", F_CdInit},
    {"cd_present", F_CdPresent},
    {"cd_number", F_CdNumber},
    {"cd_playing", F_CdPlaying},
    {"cd_paused", F_CdPaused},
    {"cd_track", F_CdTrack},
    {"cd_length", F_CdLength},
    {"cd_track_length", F_CdTrackLength},
    {"cd_position", F_CdPosition},
    {"cd_track_position", F_CdTrackPosition},
    {"cd_play", F_CdPlay},
    {"cd_stop", F_CdStop},
    {"cd_pause", F_CdPause},
    {"cd_resume", F_CdResume},
    {"cd_set_position", F_CdSetPosition},
    {"cd_set_track_position", F_CdSetTrackPosition},
    {"cd_open_door", F_CdOpenDoor},
    {"cd_close_door", F_CdCloseDoor},
    {"action_cd_play", F_CdPlay},
    {"action_cd_stop", F_CdStop},
    {"action_cd_pause", F_CdPause},
    {"action_cd_resume", F_CdResume},
    {"action_cd_present", F_CdPresent},
    {"action_cd_playing", F_CdPlaying},
};

}  // namespace

void Function_RegisterSound() { Function_ImplementTable(kSoundFunctions); }

}  // namespace tavrin
