// The sound effects in the game's terms: which bit of a sound's effect set
// turns each on, its parameters with their defaults in the game's units,
// and how each becomes an effect of the mixer.
//
// The mixer's effects sit on parallel sends, not in a serial chain: each
// effect hears the sound itself. Effects that mix their output with the
// sound (chorus, echo, flanger, reverb) add their wet share and take their
// dry share from the direct path; effects that change the sound itself
// (gargle, equalizer, compressor, distortion) replace the direct path, and
// share it equally when several are on.
#pragma once

#include <array>
#include <cstdint>

#include "platform/Platform_Audio.h"
#include "sound/Sound_Main.h"

namespace tavrin {

inline constexpr int kEffectKinds = int(EEffectKind::Count);
inline constexpr int kMaxEffectParameters = 7;

struct REffectInfo {
  EEffectKind kind;
  int32_t bit;         // in the sound's effect set
  int parameters;      // count of game parameters
  double defaults[kMaxEffectParameters];
  bool replacesSound;  // an insert effect rather than a mixed one
};
const REffectInfo& Effect_Info(EEffectKind kind);

using TEffectParameters = std::array<double, kMaxEffectParameters>;

// The mixer's effect for the game's parameters, with the share of the sound
// it gets (`wet`) and the share of the dry sound it leaves (`dry`, for the
// mixed effects).
RAudioEffect Effect_ToMixer(EEffectKind kind, const TEffectParameters& p, float& wet, float& dry);

}  // namespace tavrin
