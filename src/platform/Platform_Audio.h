// The audio device: one OpenAL context with a pool of voices (sources),
// sample buffers shared by every voice that plays them, auxiliary effect
// slots and the listener. Everything the sound module asks of the mixer is
// here; nothing above this file includes an AL header.
//
// A device either plays on the machine's speakers or renders into memory
// (the loopback device): headless runs throw those samples away, tests and
// captures measure them. Only the game thread calls in.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tavrin {

using AudioBuffer = uint32_t;  // 0 is none
using AudioVoice = uint32_t;   // 0 is none
using AudioSlot = uint32_t;    // 0 is none

// The effects the mixer offers, with their parameters in the mixer's own
// units (the sound module converts from the game's).
enum class EAudioEffect { Chorus, Echo, Flanger, RingModulator, Equalizer, Reverb, Compressor, Distortion };
struct RAudioEffect {
  EAudioEffect kind = EAudioEffect::Echo;
  float p[8] = {};  // see Audio_EffectParameters in the .cpp for each kind's order
};

struct RAudioRenderFormat {
  int rate = 48000;  // frames per second; the output is interleaved stereo floats
};

class CAudioDevice {
 public:
  // The machine's default output, or nullptr (and `reason`) when there is
  // none. The loopback device never fails on a machine with OpenAL.
  static std::unique_ptr<CAudioDevice> OpenSpeakers(std::string& reason);
  static std::unique_ptr<CAudioDevice> OpenLoopback(const RAudioRenderFormat& format, std::string& reason);
  ~CAudioDevice();
  CAudioDevice(const CAudioDevice&) = delete;
  CAudioDevice& operator=(const CAudioDevice&) = delete;

  bool IsLoopback() const { return m_loopback; }
  int Rate() const { return m_rate; }
  int MaxSends() const { return m_sends; }
  // Renders `frames` stereo frames into `out` (loopback devices only).
  void Render(float* out, int frames);

  // Buffers hold mono float samples; a stereo sound is two buffers.
  AudioBuffer Buffer_Create(const float* samples, int64_t frames, int rate);
  void Buffer_Delete(AudioBuffer buffer);

  // Voices come from a pool and go back to it; 0 when the mixer has no
  // source left.
  AudioVoice Voice_Acquire();
  void Voice_Release(AudioVoice voice);
  // Fixed placement: straight to the left (-1), centre (0) or right (1)
  // speaker with no distance law, as music and 2D sounds need.
  void Voice_Place(AudioVoice voice, float side);
  // Placed in the world, heard through the distance law and cones.
  void Voice_PlaceInWorld(AudioVoice voice);
  void Voice_SetBuffer(AudioVoice voice, AudioBuffer buffer, bool loop);
  void Voice_SetGain(AudioVoice voice, float gain);
  // Starts several voices on the same sample, so that the channels of one
  // sound never drift apart.
  void Voice_PlayTogether(const AudioVoice* voices, int count);
  void Voice_Stop(AudioVoice voice);
  void Voice_Pause(AudioVoice voice, bool paused);
  bool Voice_Playing(AudioVoice voice);
  // Streams: buffers queued in order; finished ones are handed back.
  void Voice_Queue(AudioVoice voice, AudioBuffer buffer);
  std::vector<AudioBuffer> Voice_Unqueue(AudioVoice voice);
  int Voice_Queued(AudioVoice voice);
  int64_t Voice_SampleOffset(AudioVoice voice);
  // 3D in the game's axes: left-handed, x to the right, y up and z ahead of
  // the listener, who stands at the origin; the device turns them into the
  // mixer's right-handed ones (z flips).
  void Voice_Set3D(AudioVoice voice, const float position[3], const float velocity[3], float minDistance,
                   float maxDistance);
  void Voice_SetCone(AudioVoice voice, const float direction[3], float insideDegrees, float outsideDegrees,
                     float outsideGain);
  // Effects: send `send` of the voice feeds `slot` at `gain` (0 slot: off);
  // the direct path carries `dryGain` of the voice's own gain.
  void Voice_SetSend(AudioVoice voice, int send, AudioSlot slot, float gain);
  void Voice_SetDryGain(AudioVoice voice, float dryGain);

  AudioSlot Slot_Create(const RAudioEffect& effect);
  void Slot_Update(AudioSlot slot, const RAudioEffect& effect);
  void Slot_Delete(AudioSlot slot);

  void Listener_SetGain(float gain);

 private:
  CAudioDevice() = default;
  bool Start(bool loopback, int rate, std::string& reason);
  struct RState;
  std::unique_ptr<RState> m_state;
  bool m_loopback = false;
  int m_rate = 48000;
  int m_sends = 0;
};

}  // namespace tavrin
