// Game effect parameters to mixer effects. The game's units: mixes in
// percent, delays and times in milliseconds, gains in decibels, rates in Hz.
#include "sound/Sound_Effects.h"

#include <algorithm>
#include <cmath>

namespace tavrin {

namespace {

// In the order of EEffectKind. Parameter orders follow the script functions:
// chorus and flanger: wet-dry mix, depth, feedback, frequency, waveform
// (0 triangle, 1 sine), delay, phase (0..4 for -180..180 degrees);
// echo: wet-dry mix, feedback, left delay, right delay, pan delay;
// gargle: rate, wave shape (0 triangle, 1 square);
// equalizer: centre, bandwidth in semitones, gain;
// reverb: input gain, reverb mix, reverb time, high-frequency time ratio;
// compressor: gain, attack, release, threshold, ratio, pre-delay;
// distortion: gain, edge, post-EQ centre, post-EQ bandwidth, pre-low-pass cutoff.
constexpr REffectInfo kEffects[] = {
    {EEffectKind::Chorus, 1, 7, {50, 10, 25, 1.1, 1, 16, 3}, false},
    {EEffectKind::Echo, 2, 5, {50, 50, 500, 500, 0}, false},
    {EEffectKind::Flanger, 4, 7, {50, 100, -50, 0.25, 1, 2, 2}, false},
    {EEffectKind::Gargle, 8, 2, {20, 0}, true},
    {EEffectKind::Equalizer, 64, 3, {8000, 12, 0}, true},
    {EEffectKind::Reverb, 16, 4, {0, 0, 1000, 0.001}, false},
    {EEffectKind::Compressor, 32, 6, {0, 10, 200, -20, 3, 4}, true},
    {EEffectKind::Distortion, 128, 5, {-18, 15, 2400, 2400, 8000}, true},
    {EEffectKind::Reverb3D, 256, 0, {}, false},
};

float Db(double db) { return float(std::pow(10.0, db / 20.0)); }
float Clamp01(double v) { return float(std::clamp(v, 0.0, 1.0)); }

}  // namespace

const REffectInfo& Effect_Info(EEffectKind kind) { return kEffects[int(kind)]; }

RAudioEffect Effect_ToMixer(EEffectKind kind, const TEffectParameters& p, float& wet, float& dry) {
  RAudioEffect fx;
  wet = 1;
  dry = 1;
  switch (kind) {
    case EEffectKind::Chorus:
    case EEffectKind::Flanger:
      fx.kind = kind == EEffectKind::Chorus ? EAudioEffect::Chorus : EAudioEffect::Flanger;
      wet = Clamp01(p[0] / 100);
      dry = 1 - wet;
      fx.p[0] = p[4] >= 0.5 ? 0 : 1;  // the mixer counts sine 0, triangle 1
      fx.p[1] = float((std::clamp(p[6], 0.0, 4.0) - 2) * 90);
      fx.p[2] = float(p[3]);
      fx.p[3] = float(p[1] / 100);
      fx.p[4] = float(p[2] / 100);
      fx.p[5] = float(p[5] / 1000);
      break;
    case EEffectKind::Echo:
      // The first tap at the shorter delay, the second after the difference,
      // on the side of the longer delay.
      fx.kind = EAudioEffect::Echo;
      wet = Clamp01(p[0] / 100);
      dry = 1 - wet;
      fx.p[0] = float(std::min(p[2], p[3]) / 1000);
      fx.p[1] = float(std::fabs(p[3] - p[2]) / 1000);
      fx.p[2] = 0;
      fx.p[3] = Clamp01(p[1] / 100);
      fx.p[4] = p[2] <= p[3] ? -1.0f : 1.0f;
      break;
    case EEffectKind::Gargle:
      fx.kind = EAudioEffect::RingModulator;
      fx.p[0] = float(p[0]);
      fx.p[1] = 0;
      fx.p[2] = p[1] >= 0.5 ? 2 : 0;  // square, else the mixer's sine
      break;
    case EEffectKind::Equalizer:
      fx.kind = EAudioEffect::Equalizer;
      fx.p[0] = Db(std::clamp(p[2], -15.0, 15.0));
      fx.p[1] = float(p[0]);
      fx.p[2] = float(p[1] / 12);  // semitones to octaves
      break;
    case EEffectKind::Reverb:
      // The reverb adds to the sound; its input gain and mix set its level.
      fx.kind = EAudioEffect::Reverb;
      wet = Clamp01(Db(std::min(p[0], 0.0)) * Db(std::min(p[1], 0.0)));
      dry = 1;
      fx.p[0] = 1;
      fx.p[1] = float(p[2] / 1000);
      fx.p[2] = float(p[3] * 2);
      break;
    case EEffectKind::Reverb3D:
      fx.kind = EAudioEffect::Reverb;
      wet = Db(-10);
      fx.p[0] = 1;
      fx.p[1] = 1.49f;
      fx.p[2] = 0.83f;
      break;
    case EEffectKind::Compressor:
      fx.kind = EAudioEffect::Compressor;
      wet = Clamp01(Db(p[0]));
      fx.p[0] = 1;
      break;
    case EEffectKind::Distortion:
      fx.kind = EAudioEffect::Distortion;
      fx.p[0] = float(p[1] / 100);
      fx.p[1] = Db(p[0]);
      fx.p[2] = float(p[4]);
      fx.p[3] = float(p[2]);
      fx.p[4] = float(p[3]);
      break;
    case EEffectKind::Count:
      break;
  }
  return fx;
}

}  // namespace tavrin
