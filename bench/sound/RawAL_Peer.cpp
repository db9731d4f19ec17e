#include "RawAL_Peer.h"

#define AL_ALEXT_PROTOTYPES
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <AL/efx.h>

#include <algorithm>

namespace tavrin::bench {

struct CRawALPeer::RState {
  ALCdevice* device = nullptr;
  ALCcontext* context = nullptr;
  LPALCRENDERSAMPLESSOFT render = nullptr;
  ALuint buffer = 0;
  ALuint slots[2] = {0, 0};
  std::vector<ALuint> sources;
};

CRawALPeer::CRawALPeer(const std::vector<float>& sine, int rate) : m_state(std::make_unique<RState>()) {
  RState& s = *m_state;
  auto open = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
  s.render = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
  s.device = open(nullptr);
  const ALCint attrs[] = {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT, ALC_FLOAT_SOFT,
                          ALC_FREQUENCY, rate, ALC_HRTF_SOFT, ALC_FALSE, ALC_OUTPUT_LIMITER_SOFT, ALC_FALSE,
                          ALC_MAX_AUXILIARY_SENDS, 2, ALC_MONO_SOURCES, 512, 0};
  s.context = alcCreateContext(s.device, attrs);
  alcMakeContextCurrent(s.context);
  alGenBuffers(1, &s.buffer);
  alBufferData(s.buffer, AL_FORMAT_MONO_FLOAT32, sine.data(), ALsizei(sine.size() * sizeof(float)), rate);
  alGenAuxiliaryEffectSlots(2, s.slots);
  const ALenum types[2] = {AL_EFFECT_ECHO, AL_EFFECT_REVERB};
  for (int i = 0; i < 2; ++i) {
    ALuint e = 0;
    alGenEffects(1, &e);
    alEffecti(e, AL_EFFECT_TYPE, types[i]);
    alAuxiliaryEffectSloti(s.slots[i], AL_EFFECTSLOT_EFFECT, ALint(e));
    alDeleteEffects(1, &e);
  }
  s.sources.resize(256);
  alGenSources(ALsizei(s.sources.size()), s.sources.data());
}

CRawALPeer::~CRawALPeer() {
  RState& s = *m_state;
  alcMakeContextCurrent(s.context);
  alDeleteSources(ALsizei(s.sources.size()), s.sources.data());
  alDeleteAuxiliaryEffectSlots(2, s.slots);
  alDeleteBuffers(1, &s.buffer);
  alcMakeContextCurrent(nullptr);
  alcDestroyContext(s.context);
  alcCloseDevice(s.device);
}

void CRawALPeer::Play(int voices, int frames, std::vector<float>& out) {
  RState& s = *m_state;
  alcMakeContextCurrent(s.context);
  const int n = std::min(voices * 2, int(s.sources.size()));
  for (int i = 0; i < n; ++i) {
    const ALuint src = s.sources[size_t(i)];
    alSourcei(src, AL_BUFFER, ALint(s.buffer));
    alSourcei(src, AL_LOOPING, AL_TRUE);
    alSourcei(src, AL_SOURCE_RELATIVE, AL_TRUE);
    alSourcef(src, AL_ROLLOFF_FACTOR, 0);
    alSource3f(src, AL_POSITION, i % 2 == 0 ? -1.0f : 1.0f, 0, 0);
    alSourcef(src, AL_GAIN, 0.5f);
    for (int k = 0; k < 2; ++k) alSource3i(src, AL_AUXILIARY_SEND_FILTER, ALint(s.slots[k]), k, AL_FILTER_NULL);
  }
  alSourcePlayv(n, s.sources.data());
  out.resize(256 * 2);
  for (int done = 0; done < frames; done += 256) s.render(s.device, out.data(), std::min(256, frames - done));
  alSourceStopv(n, s.sources.data());
  for (int i = 0; i < n; ++i) alSourcei(s.sources[size_t(i)], AL_BUFFER, 0);
}

}  // namespace tavrin::bench
