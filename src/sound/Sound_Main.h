// The audio engine: the table of playable samples behind the sound
// resources, the four ways a sound plays (normal sounds overlap, background
// music keeps one primary that a new one takes over, 3D sounds are placed in
// the world, multimedia goes through the one media player), volume, pan,
// fades, effects, the global volume and the tempo of music.
//
// Volumes are in the game's units: a sound's volume v is (v x 9600 - 9600)
// hundredths of a decibel; pan p attenuates the far channel by |p| x 100 dB.
// Every operation on an index outside the table or of a free entry, and
// every operation while the engine is disabled, does nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sound/Sound_Decode.h"

namespace tavrin {

class CAudioDevice;

enum class EAudioOutput { Speakers, Loopback };

// Starts the engine once (later calls do nothing). Speakers fall back to a
// silent loopback device when the machine has none, with one trace line.
void Sample_Init(EAudioOutput output, int loopbackRate = 48000);
// Where sound goes once the engine starts: the speakers, or a loopback
// device rendered along the game's clock (headless runs, captures).
void Sample_SetOutput(EAudioOutput output);
// Called by start-up with the number of sounds: starts the engine when there
// is at least one and sets the global volume to 1. Engine users that find no
// engine start it themselves.
void Sample_AttachWindow(int soundCount);
bool Sample_Running();
void Sample_Shutdown();
CAudioDevice* Sample_Device();

int32_t Sample_LoadMemory(const TSoundBytes& bytes, int32_t kind);
int32_t Sample_LoadFile(const std::string& fileName, int32_t kind);
void Sample_Free(int32_t index);
int32_t Sample_Kind(int32_t index);  // -1 for a free entry
int32_t Sample_Count();              // entries in use

void Sample_Play(int32_t index, bool loop);
void Sample_Stop(int32_t index);
bool Sample_IsPlaying(int32_t index);
void Sample_StopAll();

void Sample_SetVolume(int32_t index, int32_t durationMs, double volume);
void Sample_SetPan(int32_t index, double pan);
void Sample_SetEffects(int32_t index, int32_t bits);

// Effect parameters in the game's units and orders (see Sound_Effects.h).
enum class EEffectKind { Chorus, Echo, Flanger, Gargle, Equalizer, Reverb, Compressor, Distortion, Reverb3D, Count };
void Sample_SetEffectParameters(int32_t index, EEffectKind kind, const std::vector<double>& values);

void Sample_Set3DPosition(int32_t index, double x, double y, double z);
void Sample_Set3DVelocity(int32_t index, double x, double y, double z);
void Sample_Set3DDistance(int32_t index, double minimum, double maximum);
void Sample_Set3DCone(int32_t index, double x, double y, double z, int32_t inside, int32_t outside, double outsideVolume);

void Sample_SetGlobalVolume(double v);
void Sample_SetTempo(double factor);
// Where sound files named by games are looked for when not found as given.
void Sample_SetSearchDirectory(const std::string& dir);
const std::string& Sample_SearchDirectory();

// Time passes for the mixer: fades move, streams are refilled, finished
// voices return to the pool. A loopback device renders up to `microseconds`
// of the run (the game's clock) and throws the samples away, or hands them to
// the capture.
void Sample_Update(int64_t microseconds);
// Loopback only: renders `frames` stereo frames into `out` (tests, captures),
// updating the engine every few milliseconds of sound.
void Sample_Render(float* out, int frames);
// Headless captures: every rendered frame is also written to this WAV file
// (closed at shutdown). Empty: none.
void Sample_SetCapture(const std::string& wavFile);

// The media player, for the media command strings.
struct RMediaStatus {
  std::string file;
  bool open = false, playing = false, paused = false;
  int64_t lengthMs = 0, positionMs = 0;
};
RMediaStatus Media_Status();
bool Media_Open(const std::string& file);
void Media_Play(bool loop, int64_t fromMs);
void Media_Stop();
void Media_Pause(bool paused);
void Media_Close();
void Media_Seek(int64_t ms);

}  // namespace tavrin
