// Sound files to samples: WAV, OGG, FLAC and MP3 through libsndfile, MIDI
// through FluidSynth with a General MIDI SoundFont. The bytes come from
// packages and from files games name, so they are untrusted: every decoder
// refuses what it cannot read with a reason and caps what it will allocate.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tavrin {

// The most samples (all channels) one sound may decode to: ten minutes of
// stereo at 48 kHz, far beyond any effect or jingle a game keeps in memory.
inline constexpr int64_t kMaxDecodedSamples = int64_t(48000) * 2 * 600;
// The largest sound file a game may bring.
inline constexpr int64_t kMaxSoundFileBytes = int64_t(256) << 20;

using TSoundBytes = std::shared_ptr<const std::vector<uint8_t>>;

// A decoder hands out interleaved float frames in its own channel count.
class CDecoder {
 public:
  virtual ~CDecoder() = default;
  virtual int Channels() const = 0;
  virtual int Rate() const = 0;
  // Up to `frames` frames into `out`; 0 at the end.
  virtual int64_t Read(float* out, int64_t frames) = 0;
  virtual bool Rewind() = 0;
  // Music speeds up or slows down by `factor` (MIDI only; samples ignore it).
  virtual void SetTempo(double) {}
  // Music that loops by itself, seamlessly at its end (MIDI); other decoders
  // end and are rewound by their player.
  virtual void SetLoop(bool) {}
  virtual bool IsMusic() const { return false; }
  // The length in frames, -1 when only playing it through would tell.
  virtual int64_t LengthFrames() const { return -1; }
};

// Opens the bytes of a sound file of any kind it knows. `rate` is the
// mixer's rate, at which MIDI is synthesised. nullptr and `reason` when the
// bytes are no sound it can read.
std::unique_ptr<CDecoder> Decoder_Open(TSoundBytes bytes, int rate, std::string& reason);
// Reads a file (at most kMaxSoundFileBytes); nullptr and `reason` on failure.
TSoundBytes Sound_ReadFile(const std::string& fileName, std::string& reason);
bool Sound_IsMidi(const std::vector<uint8_t>& bytes);
// Whether the bytes are a sound a decoder reads: a MIDI header, or a sampled
// file whose first frames decode. `reason` says why not.
bool Sound_CanDecode(const TSoundBytes& bytes, std::string& reason);

// A whole decoded sound: one vector per channel (at most two; more are mixed
// down into two).
struct RDecodedSound {
  int rate = 0;
  std::vector<float> left, right;  // right is empty for a mono sound
};
bool Decoder_ReadAll(CDecoder& decoder, RDecodedSound& out, std::string& reason);

// The SoundFont MIDI plays with: $TAVRIN_SOUNDFONT, else the system's GM one.
std::string Sound_SoundFontPath();

}  // namespace tavrin
