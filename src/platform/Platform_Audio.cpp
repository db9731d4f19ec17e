// The OpenAL device: speakers or loopback, the voice pool, buffers, effect
// slots and the listener.
#include "platform/Platform_Audio.h"

#define AL_ALEXT_PROTOTYPES
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <AL/efx.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tavrin {

namespace {

// Enough voices for busy games; the mixer refuses more than it can mix.
constexpr int kPoolSize = 512;
// One send per effect a sound can carry at once.
constexpr int kWantedSends = 10;

LPALCLOOPBACKOPENDEVICESOFT LoopbackOpen() {
  return reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
}

// The game's axes are left-handed (z ahead); the mixer's right-handed (z
// behind the listener).
void ToMixer(const float in[3], float out[3]) {
  out[0] = in[0];
  out[1] = in[1];
  out[2] = -in[2];
}

// Opening the speakers of a machine that has none makes the sound system's
// libraries complain on standard error; the game says it once, in its trace.
ALCdevice* OpenQuietly() {
  std::fflush(stderr);
  const int saved = dup(2);
  const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (saved >= 0 && null >= 0) dup2(null, 2);
  ALCdevice* device = alcOpenDevice(nullptr);
  if (saved >= 0 && null >= 0) dup2(saved, 2);
  if (null >= 0) close(null);
  if (saved >= 0) close(saved);
  return device;
}

}  // namespace

struct CAudioDevice::RState {
  ALCdevice* device = nullptr;
  ALCcontext* context = nullptr;
  LPALCRENDERSAMPLESSOFT render = nullptr;
  std::vector<ALuint> free;  // sources at rest, ready to be handed out
  std::vector<ALuint> all;
};

std::unique_ptr<CAudioDevice> CAudioDevice::OpenSpeakers(std::string& reason) {
  std::unique_ptr<CAudioDevice> d(new CAudioDevice);
  if (!d->Start(false, 0, reason)) return nullptr;
  return d;
}

std::unique_ptr<CAudioDevice> CAudioDevice::OpenLoopback(const RAudioRenderFormat& format, std::string& reason) {
  std::unique_ptr<CAudioDevice> d(new CAudioDevice);
  if (!d->Start(true, format.rate, reason)) return nullptr;
  return d;
}

bool CAudioDevice::Start(bool loopback, int rate, std::string& reason) {
  m_state = std::make_unique<RState>();
  RState& s = *m_state;
  m_loopback = loopback;
  if (loopback) {
    const auto open = LoopbackOpen();
    s.render = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
    if (!open || !s.render) {
      reason = "the audio library offers no loopback device";
      return false;
    }
    s.device = open(nullptr);
  } else {
    s.device = OpenQuietly();
  }
  if (!s.device) {
    reason = "no audio device could be opened";
    return false;
  }
  // Measured output: no limiter squeezing loud mixes, no head-related
  // filtering; the loopback renders exactly what the game asks for.
  std::vector<ALCint> attrs = {ALC_MAX_AUXILIARY_SENDS, kWantedSends, ALC_HRTF_SOFT, ALC_FALSE, ALC_MONO_SOURCES, kPoolSize};
  if (loopback) {
    attrs.insert(attrs.end(), {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT, ALC_FLOAT_SOFT,
                               ALC_FREQUENCY, rate, ALC_OUTPUT_LIMITER_SOFT, ALC_FALSE});
  }
  attrs.push_back(0);
  s.context = alcCreateContext(s.device, attrs.data());
  if (!s.context || !alcMakeContextCurrent(s.context)) {
    reason = "the audio device refused a mixing context";
    return false;
  }
  ALCint value = 0;
  alcGetIntegerv(s.device, ALC_FREQUENCY, 1, &value);
  m_rate = value > 0 ? value : 48000;
  alcGetIntegerv(s.device, ALC_MAX_AUXILIARY_SENDS, 1, &value);
  m_sends = value;
  alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
  s.all.resize(kPoolSize);
  alGetError();
  int made = 0;
  for (; made < kPoolSize; ++made) {
    alGenSources(1, &s.all[size_t(made)]);
    if (alGetError() != AL_NO_ERROR) break;
  }
  s.all.resize(size_t(made));
  s.free.assign(s.all.rbegin(), s.all.rend());
  return true;
}

CAudioDevice::~CAudioDevice() {
  if (!m_state) return;
  RState& s = *m_state;
  if (s.context) {
    alcMakeContextCurrent(s.context);
    for (ALuint src : s.all) alSourceStop(src);
    alDeleteSources(ALsizei(s.all.size()), s.all.data());
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(s.context);
  }
  if (s.device) alcCloseDevice(s.device);
}

void CAudioDevice::Render(float* out, int frames) {
  if (m_loopback && frames > 0) m_state->render(m_state->device, out, frames);
}

AudioBuffer CAudioDevice::Buffer_Create(const float* samples, int64_t frames, int rate) {
  if (frames <= 0 || frames > (int64_t(1) << 29)) return 0;
  ALuint b = 0;
  alGetError();
  alGenBuffers(1, &b);
  if (alGetError() != AL_NO_ERROR) return 0;
  alBufferData(b, AL_FORMAT_MONO_FLOAT32, samples, ALsizei(frames * int64_t(sizeof(float))), rate);
  if (alGetError() != AL_NO_ERROR) {
    alDeleteBuffers(1, &b);
    return 0;
  }
  return b;
}

void CAudioDevice::Buffer_Delete(AudioBuffer buffer) {
  if (buffer) alDeleteBuffers(1, &buffer);
}

AudioVoice CAudioDevice::Voice_Acquire() {
  RState& s = *m_state;
  if (s.free.empty()) return 0;
  const ALuint v = s.free.back();
  s.free.pop_back();
  return v;
}

void CAudioDevice::Voice_Release(AudioVoice v) {
  if (!v) return;
  // Back to the state of a new source, so the next user starts clean.
  alSourceStop(v);
  alSourcei(v, AL_BUFFER, 0);
  alSourcei(v, AL_LOOPING, AL_FALSE);
  alSourcef(v, AL_GAIN, 1);
  alSourcef(v, AL_PITCH, 1);
  for (int i = 0; i < m_sends; ++i) alSource3i(v, AL_AUXILIARY_SEND_FILTER, AL_EFFECTSLOT_NULL, i, AL_FILTER_NULL);
  alSourcei(v, AL_DIRECT_FILTER, AL_FILTER_NULL);
  const float zero[3] = {0, 0, 0};
  const float cone[3] = {0, 0, 0};
  Voice_Set3D(v, zero, zero, 1, 1e9f);
  Voice_SetCone(v, cone, 360, 360, 1);
  m_state->free.push_back(v);
}

void CAudioDevice::Voice_Place(AudioVoice v, float side) {
  // A relative source straight to one side is heard by that speaker only; in
  // the middle it is heard by both, at the mixer's own centre level, which
  // the sound module never uses for a single channel.
  alSourcei(v, AL_SOURCE_RELATIVE, AL_TRUE);
  alSourcef(v, AL_ROLLOFF_FACTOR, 0);
  alSource3f(v, AL_POSITION, side, 0, side == 0 ? -1.0f : 0.0f);
  alSource3f(v, AL_VELOCITY, 0, 0, 0);
}

void CAudioDevice::Voice_PlaceInWorld(AudioVoice v) {
  alSourcei(v, AL_SOURCE_RELATIVE, AL_FALSE);
  alSourcef(v, AL_ROLLOFF_FACTOR, 1);
}

void CAudioDevice::Voice_SetBuffer(AudioVoice v, AudioBuffer buffer, bool loop) {
  alSourceStop(v);
  alSourcei(v, AL_BUFFER, ALint(buffer));
  alSourcei(v, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
}

void CAudioDevice::Voice_SetGain(AudioVoice v, float gain) { alSourcef(v, AL_GAIN, std::max(gain, 0.0f)); }

void CAudioDevice::Voice_PlayTogether(const AudioVoice* voices, int count) {
  if (count > 0) alSourcePlayv(count, voices);
}

void CAudioDevice::Voice_Stop(AudioVoice v) { alSourceStop(v); }

void CAudioDevice::Voice_Pause(AudioVoice v, bool paused) {
  ALint state = 0;
  alGetSourcei(v, AL_SOURCE_STATE, &state);
  if (paused && state == AL_PLAYING) alSourcePause(v);
  if (!paused && state == AL_PAUSED) alSourcePlay(v);
}

bool CAudioDevice::Voice_Playing(AudioVoice v) {
  ALint state = 0;
  alGetSourcei(v, AL_SOURCE_STATE, &state);
  return state == AL_PLAYING || state == AL_PAUSED;
}

void CAudioDevice::Voice_Queue(AudioVoice v, AudioBuffer buffer) { alSourceQueueBuffers(v, 1, &buffer); }

std::vector<AudioBuffer> CAudioDevice::Voice_Unqueue(AudioVoice v) {
  ALint done = 0;
  alGetSourcei(v, AL_BUFFERS_PROCESSED, &done);
  std::vector<AudioBuffer> out(size_t(std::max(done, 0)));
  if (done > 0) alSourceUnqueueBuffers(v, done, out.data());
  return out;
}

int CAudioDevice::Voice_Queued(AudioVoice v) {
  ALint n = 0;
  alGetSourcei(v, AL_BUFFERS_QUEUED, &n);
  return n;
}

int64_t CAudioDevice::Voice_SampleOffset(AudioVoice v) {
  ALint n = 0;
  alGetSourcei(v, AL_SAMPLE_OFFSET, &n);
  return n;
}

void CAudioDevice::Voice_Set3D(AudioVoice v, const float position[3], const float velocity[3], float minDistance,
                               float maxDistance) {
  float p[3], w[3];
  ToMixer(position, p);
  ToMixer(velocity, w);
  alSourcefv(v, AL_POSITION, p);
  alSourcefv(v, AL_VELOCITY, w);
  alSourcef(v, AL_REFERENCE_DISTANCE, std::max(minDistance, 0.0f));
  alSourcef(v, AL_MAX_DISTANCE, std::max(maxDistance, 0.0f));
}

void CAudioDevice::Voice_SetCone(AudioVoice v, const float direction[3], float inside, float outside,
                                 float outsideGain) {
  float d[3];
  ToMixer(direction, d);
  alSourcefv(v, AL_DIRECTION, d);
  alSourcef(v, AL_CONE_INNER_ANGLE, std::clamp(inside, 0.0f, 360.0f));
  alSourcef(v, AL_CONE_OUTER_ANGLE, std::clamp(outside, 0.0f, 360.0f));
  alSourcef(v, AL_CONE_OUTER_GAIN, std::clamp(outsideGain, 0.0f, 1.0f));
}

void CAudioDevice::Voice_SetSend(AudioVoice v, int send, AudioSlot slot, float gain) {
  if (send < 0 || send >= m_sends) return;
  if (!slot) {
    alSource3i(v, AL_AUXILIARY_SEND_FILTER, AL_EFFECTSLOT_NULL, send, AL_FILTER_NULL);
    return;
  }
  alAuxiliaryEffectSlotf(slot, AL_EFFECTSLOT_GAIN, std::clamp(gain, 0.0f, 1.0f));
  alSource3i(v, AL_AUXILIARY_SEND_FILTER, ALint(slot), send, AL_FILTER_NULL);
}

void CAudioDevice::Voice_SetDryGain(AudioVoice v, float dryGain) {
  // The direct path through a pass filter whose gain is the dry share.
  ALuint filter = 0;
  alGenFilters(1, &filter);
  alFilteri(filter, AL_FILTER_TYPE, AL_FILTER_LOWPASS);
  alFilterf(filter, AL_LOWPASS_GAIN, std::clamp(dryGain, 0.0f, 1.0f));
  alFilterf(filter, AL_LOWPASS_GAINHF, 1.0f);
  alSourcei(v, AL_DIRECT_FILTER, ALint(filter));
  alDeleteFilters(1, &filter);  // the source keeps a copy of its settings
}

namespace {

// Each effect's parameters in RAudioEffect::p, clamped to what the mixer takes.
void SetEffect(ALuint e, const RAudioEffect& fx) {
  const float* p = fx.p;
  auto f = [e](ALenum param, float v, float lo, float hi) { alEffectf(e, param, std::clamp(v, lo, hi)); };
  auto i = [e](ALenum param, float v, int lo, int hi) { alEffecti(e, param, std::clamp(int(std::lround(v)), lo, hi)); };
  switch (fx.kind) {
    case EAudioEffect::Chorus:  // waveform, phase, rate, depth, feedback, delay
    case EAudioEffect::Flanger: {
      // The two differ only in their names and how long a delay they take.
      const bool chorus = fx.kind == EAudioEffect::Chorus;
      alEffecti(e, AL_EFFECT_TYPE, chorus ? AL_EFFECT_CHORUS : AL_EFFECT_FLANGER);
      static_assert(AL_CHORUS_WAVEFORM == AL_FLANGER_WAVEFORM && AL_CHORUS_DELAY == AL_FLANGER_DELAY);
      i(AL_CHORUS_WAVEFORM, p[0], 0, 1);
      i(AL_CHORUS_PHASE, p[1], -180, 180);
      f(AL_CHORUS_RATE, p[2], 0, 10);
      f(AL_CHORUS_DEPTH, p[3], 0, 1);
      f(AL_CHORUS_FEEDBACK, p[4], -1, 1);
      f(AL_CHORUS_DELAY, p[5], 0, chorus ? 0.016f : 0.004f);
      break;
    }
    case EAudioEffect::Echo:  // delay, lr delay, damping, feedback, spread
      alEffecti(e, AL_EFFECT_TYPE, AL_EFFECT_ECHO);
      f(AL_ECHO_DELAY, p[0], 0, 0.207f);
      f(AL_ECHO_LRDELAY, p[1], 0, 0.404f);
      f(AL_ECHO_DAMPING, p[2], 0, 0.99f);
      f(AL_ECHO_FEEDBACK, p[3], 0, 1);
      f(AL_ECHO_SPREAD, p[4], -1, 1);
      break;
    case EAudioEffect::RingModulator:  // frequency, high-pass cutoff, waveform
      alEffecti(e, AL_EFFECT_TYPE, AL_EFFECT_RING_MODULATOR);
      f(AL_RING_MODULATOR_FREQUENCY, p[0], 0, 8000);
      f(AL_RING_MODULATOR_HIGHPASS_CUTOFF, p[1], 0, 24000);
      i(AL_RING_MODULATOR_WAVEFORM, p[2], 0, 2);
      break;
    case EAudioEffect::Equalizer:  // band gain (linear), centre, width in octaves
      alEffecti(e, AL_EFFECT_TYPE, AL_EFFECT_EQUALIZER);
      // The mixer's low middle band reaches 3 kHz, its high one 8 kHz.
      if (p[1] <= 3000) {
        f(AL_EQUALIZER_MID1_GAIN, p[0], 0.126f, 7.943f);
        f(AL_EQUALIZER_MID1_CENTER, p[1], 200, 3000);
        f(AL_EQUALIZER_MID1_WIDTH, p[2], 0.01f, 1);
      } else {
        f(AL_EQUALIZER_MID2_GAIN, p[0], 0.126f, 7.943f);
        f(AL_EQUALIZER_MID2_CENTER, p[1], 1000, 8000);
        f(AL_EQUALIZER_MID2_WIDTH, p[2], 0.01f, 1);
      }
      break;
    case EAudioEffect::Reverb:  // gain, decay time, high-frequency ratio
      alEffecti(e, AL_EFFECT_TYPE, AL_EFFECT_REVERB);
      f(AL_REVERB_GAIN, p[0], 0, 1);
      f(AL_REVERB_DECAY_TIME, p[1], 0.1f, 20);
      // Below about a third the mixer's high-frequency damping underflows.
      f(AL_REVERB_DECAY_HFRATIO, p[2], 0.35f, 2);
      break;
    case EAudioEffect::Compressor:
      alEffecti(e, AL_EFFECT_TYPE, AL_EFFECT_COMPRESSOR);
      i(AL_COMPRESSOR_ONOFF, p[0], 0, 1);
      break;
    case EAudioEffect::Distortion:  // edge, gain, low-pass cutoff, eq centre, eq bandwidth
      alEffecti(e, AL_EFFECT_TYPE, AL_EFFECT_DISTORTION);
      f(AL_DISTORTION_EDGE, p[0], 0, 1);
      f(AL_DISTORTION_GAIN, p[1], 0.01f, 1);
      f(AL_DISTORTION_LOWPASS_CUTOFF, p[2], 80, 24000);
      f(AL_DISTORTION_EQCENTER, p[3], 80, 24000);
      f(AL_DISTORTION_EQBANDWIDTH, p[4], 80, 24000);
      break;
  }
}

}  // namespace

AudioSlot CAudioDevice::Slot_Create(const RAudioEffect& effect) {
  ALuint slot = 0;
  alGetError();
  alGenAuxiliaryEffectSlots(1, &slot);
  if (alGetError() != AL_NO_ERROR) return 0;
  Slot_Update(slot, effect);
  return slot;
}

void CAudioDevice::Slot_Update(AudioSlot slot, const RAudioEffect& effect) {
  if (!slot) return;
  ALuint e = 0;
  alGenEffects(1, &e);
  SetEffect(e, effect);
  alAuxiliaryEffectSloti(slot, AL_EFFECTSLOT_EFFECT, ALint(e));
  alDeleteEffects(1, &e);  // the slot keeps a copy
}

void CAudioDevice::Slot_Delete(AudioSlot slot) {
  if (slot) alDeleteAuxiliaryEffectSlots(1, &slot);
}

void CAudioDevice::Listener_SetGain(float gain) { alListenerf(AL_GAIN, std::max(gain, 0.0f)); }

}  // namespace tavrin
