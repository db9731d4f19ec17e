// The sample table and the mixer's voices behind it.
//
// A 2D sound plays on two voices, one placed at each speaker, so that pan is
// exactly what the game asks: the far channel loses |pan| x 100 dB and the
// near one keeps its level. A 3D sound plays on one voice placed in the
// world. MIDI, and the media player's files, stream through a decoder into
// queued buffers; everything else is decoded once into buffers that every
// play of the sample shares.
#include "sound/Sound_Main.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "platform/Platform_Audio.h"
#include "platform/Platform_Trace.h"
#include "sound/Sound_Effects.h"

namespace tavrin {

namespace {

constexpr int kStreamChunk = 1024;     // frames per queued buffer
// Queued ahead of the mixer: a quarter of a second, so that music keeps
// playing between the steps of slow rooms, which is when speakers are fed.
constexpr int kStreamBuffers = 12;
constexpr int kUpdateFrames = 256;     // loopback renders update this often
constexpr int64_t kSweepMicroseconds = 20000;
constexpr double kSilentMb = -10000;   // hundredths of a decibel

float GainOfMb(double mb) { return mb <= kSilentMb ? 0.0f : float(std::pow(10.0, mb / 2000.0)); }

// A decoder feeding one or two voices through queued buffers.
struct RStream {
  std::unique_ptr<CDecoder> decoder;
  bool loop = false;
  bool ended = false;
  bool started = false;  // the voices were started once
  int64_t framesDone = 0;                 // frames of buffers already played out
  std::vector<int64_t> queuedFrames;      // frames of each queued buffer, oldest first
  std::vector<AudioBuffer> queued[2];     // per voice, oldest first
};

struct RVoice {
  AudioVoice voice[2] = {0, 0};  // left and right, or one voice in the world
  int count = 0;
  std::unique_ptr<RStream> stream;
};

struct RSample {
  bool inuse = false;
  int32_t kind = 0;
  AudioBuffer left = 0, right = 0, mono = 0;  // right and mono may equal left
  TSoundBytes music;                          // MIDI bytes, streamed at each play
  std::string fname;                          // kind 3: the file of the media player
  std::vector<RVoice> voices;
  // Volume in hundredths of a decibel, fading from `fromMb` to `toMb`.
  double mb = 0, fromMb = 0, toMb = 0;
  int64_t fadeStart = 0, fadeLength = 0;  // microseconds of the engine's clock
  double pan = 0;
  int32_t effects = 0;
  std::array<AudioSlot, kEffectKinds> slots{};
  std::array<TEffectParameters, kEffectKinds> parameters{};
  float position[3] = {0, 0, 0}, velocity[3] = {0, 0, 0};
  float minDistance = 1, maxDistance = 1e9f;
  float cone[3] = {0, 0, 1};
  float coneInside = 360, coneOutside = 360, coneOutsideGain = 1;

  bool Plays2D() const { return kind == 0 || kind == 1; }
  bool HasPath() const { return kind >= 0 && kind <= 2; }
};

// The one media player: a file opened, and the stream playing it.
struct RMediaPlayer {
  std::string file;
  TSoundBytes bytes;
  int64_t lengthFrames = 0;
  int rate = 0;
  bool paused = false;
  RVoice voice;
};

// Everything the engine holds, reset as a whole at shutdown.
struct RAudioState {
  std::unique_ptr<CAudioDevice> device;
  bool disabled = false;
  EAudioOutput output = EAudioOutput::Speakers;
  int loopbackRate = 48000;
  std::vector<RSample> samples;
  double globalMb = 0;
  double tempo = 1;
  std::string searchDirectory;
  int64_t now = 0;           // the engine's clock, microseconds
  int64_t lastSweep = 0;     // when finished voices were last returned
  int64_t renderedFrames = 0;
  int64_t lastUpdate = -1;   // the game clock at the last update
  int64_t owedFrames = 0;    // loopback frames the game clock is ahead by (x 1e6)
  std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
  RMediaPlayer media;
  std::vector<float> scratch;
  std::FILE* capture = nullptr;
  int64_t capturedFrames = 0;
  std::string captureName;
};
RAudioState g_Audio;

RSample* Entry(int32_t index) {
  if (g_Audio.disabled || !g_Audio.device || index < 0 || index >= int32_t(g_Audio.samples.size())) return nullptr;
  RSample& s = g_Audio.samples[size_t(index)];
  return s.inuse ? &s : nullptr;
}

// --- voices

void StreamFill(RVoice& v);

void ReleaseVoice(RVoice& v) {
  CAudioDevice& d = *g_Audio.device;
  for (int i = 0; i < v.count; ++i) {
    d.Voice_Stop(v.voice[i]);
    d.Voice_Release(v.voice[i]);  // detaches every queued buffer
  }
  if (v.stream)
    for (auto& list : v.stream->queued)
      for (AudioBuffer b : list) d.Buffer_Delete(b);
  v = RVoice();
}

bool VoicePlaying(RVoice& v) {
  if (v.count == 0) return false;
  if (g_Audio.device->Voice_Playing(v.voice[0])) return true;
  // A stream whose mixer ran dry between two updates is still playing.
  return v.stream && !v.stream->ended;
}

// Left and right gains of a 2D sound: the far side loses |pan| x 100 dB.
void SideGains(const RSample& s, float& left, float& right) {
  const float g = GainOfMb(s.mb);
  const double cut = std::clamp(s.pan, -1.0, 1.0) * 10000;
  left = g * (cut > 0 ? GainOfMb(-cut) : 1.0f);
  right = g * (cut < 0 ? GainOfMb(cut) : 1.0f);
}

void ApplyGain(const RSample& s, RVoice& v) {
  CAudioDevice& d = *g_Audio.device;
  if (v.count == 2) {
    float l, r;
    SideGains(s, l, r);
    d.Voice_SetGain(v.voice[0], l);
    d.Voice_SetGain(v.voice[1], r);
  } else if (v.count == 1) {
    d.Voice_SetGain(v.voice[0], GainOfMb(s.mb));
  }
}

// The sends of a voice to its sample's effects, and the dry share.
void ApplyEffects(const RSample& s, RVoice& v) {
  CAudioDevice& d = *g_Audio.device;
  float dry = 1;
  int inserts = 0;
  for (int k = 0; k < kEffectKinds; ++k)
    if (s.slots[size_t(k)] && Effect_Info(EEffectKind(k)).replacesSound) ++inserts;
  struct RSend {
    AudioSlot slot;
    float gain;
  };
  std::array<RSend, kEffectKinds> sends{};
  int count = 0;
  for (int k = 0; k < kEffectKinds; ++k) {
    if (!s.slots[size_t(k)]) continue;
    float wet, share;
    Effect_ToMixer(EEffectKind(k), s.parameters[size_t(k)], wet, share);
    if (!Effect_Info(EEffectKind(k)).replacesSound) dry *= share;
    sends[size_t(count++)] = {s.slots[size_t(k)], wet};
  }
  // The insert effects carry what is left of the dry sound between them.
  for (int i = 0; i < count; ++i) {
    for (int k = 0; k < kEffectKinds; ++k)
      if (s.slots[size_t(k)] == sends[size_t(i)].slot && Effect_Info(EEffectKind(k)).replacesSound)
        sends[size_t(i)].gain *= dry / float(inserts);
  }
  for (int c = 0; c < v.count; ++c) {
    for (int i = 0; i < d.MaxSends(); ++i)
      d.Voice_SetSend(v.voice[c], i, i < count ? sends[size_t(i)].slot : 0, i < count ? sends[size_t(i)].gain : 0);
    d.Voice_SetDryGain(v.voice[c], inserts > 0 ? 0.0f : dry);
  }
}

void Apply3D(const RSample& s, RVoice& v) {
  if (s.kind != 2 || v.count != 1) return;
  CAudioDevice& d = *g_Audio.device;
  d.Voice_Set3D(v.voice[0], s.position, s.velocity, s.minDistance, s.maxDistance);
  d.Voice_SetCone(v.voice[0], s.cone, s.coneInside, s.coneOutside, s.coneOutsideGain);
}

// Takes voices for a play: two placed at the speakers, or one in the world.
bool TakeVoices(RVoice& v, bool world) {
  CAudioDevice& d = *g_Audio.device;
  v.count = world ? 1 : 2;
  for (int i = 0; i < v.count; ++i) {
    v.voice[i] = d.Voice_Acquire();
    if (!v.voice[i]) {
      for (int j = 0; j < i; ++j) d.Voice_Release(v.voice[j]);
      v.count = 0;
      return false;
    }
    if (world)
      d.Voice_PlaceInWorld(v.voice[i]);
    else
      d.Voice_Place(v.voice[i], i == 0 ? -1.0f : 1.0f);
  }
  return true;
}

// --- streams

// Queues decoded chunks until the stream is far enough ahead of the mixer.
void StreamFill(RVoice& v) {
  RStream& st = *v.stream;
  CAudioDevice& d = *g_Audio.device;
  for (AudioBuffer b : d.Voice_Unqueue(v.voice[0])) {
    auto& q = st.queued[0];
    if (!q.empty() && q.front() == b) {
      q.erase(q.begin());
      st.framesDone += st.queuedFrames.front();
      st.queuedFrames.erase(st.queuedFrames.begin());
    }
    d.Buffer_Delete(b);
  }
  if (v.count == 2)
    for (AudioBuffer b : d.Voice_Unqueue(v.voice[1])) {
      auto& q = st.queued[1];
      if (!q.empty() && q.front() == b) q.erase(q.begin());
      d.Buffer_Delete(b);
    }
  const int channels = st.decoder->Channels();
  std::vector<float>& scratch = g_Audio.scratch;
  while (!st.ended && int(st.queued[0].size()) < kStreamBuffers) {
    scratch.resize(size_t(kStreamChunk * channels) * 3);
    int64_t n = st.decoder->Read(scratch.data(), kStreamChunk);
    if (n <= 0 && st.loop && st.decoder->Rewind()) n = st.decoder->Read(scratch.data(), kStreamChunk);
    if (n <= 0) {
      st.ended = true;
      break;
    }
    float* side[2] = {scratch.data() + kStreamChunk * channels, scratch.data() + kStreamChunk * channels + kStreamChunk};
    for (int64_t i = 0; i < n; ++i) {
      const float* f = &scratch[size_t(i * channels)];
      if (v.count == 1) {
        float m = 0;
        for (int c = 0; c < channels; ++c) m += f[c];
        side[0][i] = m / float(channels);
      } else {
        side[0][i] = f[0];
        side[1][i] = channels > 1 ? f[1] : f[0];
      }
    }
    for (int c = 0; c < v.count; ++c) {
      const AudioBuffer b = d.Buffer_Create(side[c], n, st.decoder->Rate());
      if (!b) {
        st.ended = true;
        break;
      }
      d.Voice_Queue(v.voice[c], b);
      st.queued[c].push_back(b);
    }
    st.queuedFrames.push_back(n);
  }
  // Restart a stream whose mixer ran dry because the game stood still.
  if (st.started && !st.queued[0].empty() && !d.Voice_Playing(v.voice[0])) d.Voice_PlayTogether(v.voice, v.count);
}

bool StartStream(RVoice& v, std::unique_ptr<CDecoder> decoder, bool loop, bool world) {
  if (!TakeVoices(v, world)) return false;
  v.stream = std::make_unique<RStream>();
  v.stream->decoder = std::move(decoder);
  v.stream->loop = loop;
  v.stream->decoder->SetTempo(g_Audio.tempo);
  v.stream->decoder->SetLoop(loop);
  StreamFill(v);
  return true;
}

// --- the media player

void MediaStopVoice() {
  if (g_Audio.media.voice.count) ReleaseVoice(g_Audio.media.voice);
  g_Audio.media.paused = false;
}

// --- time

void Tick() {
  const int64_t now = g_Audio.now;
  // Finished voices go back to the pool every few milliseconds, not at
  // every block: asking the mixer about each voice is what busy mixes pay for.
  const bool sweep = now - g_Audio.lastSweep >= kSweepMicroseconds || now < g_Audio.lastSweep;
  if (sweep) g_Audio.lastSweep = now;
  for (RSample& s : g_Audio.samples) {
    if (!s.inuse) continue;
    if (s.fadeLength > 0) {
      const double t = std::clamp(double(now - s.fadeStart) / double(s.fadeLength), 0.0, 1.0);
      s.mb = s.fromMb + (s.toMb - s.fromMb) * t;
      if (t >= 1) s.fadeLength = 0;
      for (RVoice& v : s.voices) ApplyGain(s, v);
    }
    for (size_t i = 0; i < s.voices.size();) {
      RVoice& v = s.voices[i];
      if (v.stream) StreamFill(v);
      if (sweep && !VoicePlaying(v)) {
        ReleaseVoice(v);
        s.voices.erase(s.voices.begin() + std::ptrdiff_t(i));
      } else {
        ++i;
      }
    }
  }
  RMediaPlayer& m = g_Audio.media;
  if (m.voice.count && !m.paused) {
    StreamFill(m.voice);
    if (!VoicePlaying(m.voice)) MediaStopVoice();
  }
}

void CaptureWrite(const float* frames, int count) {
  if (!g_Audio.capture) return;
  std::fwrite(frames, sizeof(float), size_t(count) * 2, g_Audio.capture);
  g_Audio.capturedFrames += count;
}

// A float WAV header for the frames captured so far.
void CaptureHeader() {
  std::FILE* f = g_Audio.capture;
  const uint32_t rate = uint32_t(g_Audio.device ? g_Audio.device->Rate() : g_Audio.loopbackRate);
  const uint32_t data = uint32_t(g_Audio.capturedFrames * 8);
  auto u32 = [f](uint32_t v) { std::fwrite(&v, 4, 1, f); };
  auto u16 = [f](uint16_t v) { std::fwrite(&v, 2, 1, f); };
  std::fseek(f, 0, SEEK_SET);
  std::fwrite("RIFF", 1, 4, f);
  u32(36 + data);
  std::fwrite("WAVEfmt ", 1, 8, f);
  u32(16);
  u16(3);  // IEEE float
  u16(2);
  u32(rate);
  u32(rate * 8);
  u16(8);
  u16(32);
  std::fwrite("data", 1, 4, f);
  u32(data);
  std::fseek(f, 0, SEEK_END);
}

void RenderFrames(float* out, int frames) {
  CAudioDevice& d = *g_Audio.device;
  while (frames > 0) {
    const int n = std::min(frames, kUpdateFrames);
    g_Audio.now = g_Audio.renderedFrames * 1000000 / d.Rate();
    Tick();
    d.Render(out, n);
    CaptureWrite(out, n);
    g_Audio.renderedFrames += n;
    out += size_t(n) * 2;
    frames -= n;
  }
  g_Audio.now = g_Audio.renderedFrames * 1000000 / d.Rate();
}

bool EnsureEngine() {
  if (!g_Audio.device && !g_Audio.disabled) Sample_Init(g_Audio.output, g_Audio.loopbackRate);
  return g_Audio.device != nullptr;
}

// Takes the first free entry, or appends one.
int32_t Allocate(int32_t kind) {
  auto& t = g_Audio.samples;
  size_t i = 0;
  while (i < t.size() && t[i].inuse) ++i;
  if (i == t.size()) t.emplace_back();
  t[i] = RSample();
  t[i].inuse = true;
  t[i].kind = kind;
  return int32_t(i);
}

// Decodes the bytes into the entry's buffers (or keeps MIDI to stream).
bool LoadInto(RSample& s, const TSoundBytes& bytes, std::string& reason) {
  CAudioDevice& d = *g_Audio.device;
  // Music is synthesised at each play; loading only keeps its bytes (a
  // synthesiser with its SoundFont is too dear to make just to look).
  if (bytes && Sound_IsMidi(*bytes)) {
    s.music = bytes;
    return true;
  }
  std::unique_ptr<CDecoder> dec = Decoder_Open(bytes, d.Rate(), reason);
  if (!dec) return false;
  RDecodedSound pcm;
  if (!Decoder_ReadAll(*dec, pcm, reason)) return false;
  const int64_t frames = int64_t(pcm.left.size());
  s.left = d.Buffer_Create(pcm.left.data(), frames, pcm.rate);
  s.right = pcm.right.empty() ? s.left : d.Buffer_Create(pcm.right.data(), frames, pcm.rate);
  if (s.kind == 2) {
    // A sound in the world is one point: both channels at half each.
    if (pcm.right.empty()) {
      s.mono = s.left;
    } else {
      for (size_t i = 0; i < pcm.left.size(); ++i) pcm.left[i] = 0.5f * (pcm.left[i] + pcm.right[i]);
      s.mono = d.Buffer_Create(pcm.left.data(), frames, pcm.rate);
    }
  }
  if (!s.left || !s.right || (s.kind == 2 && !s.mono)) {
    reason = "the mixer refused the samples";
    return false;
  }
  return true;
}

void FreeBuffers(RSample& s) {
  CAudioDevice& d = *g_Audio.device;
  if (s.mono && s.mono != s.left && s.mono != s.right) d.Buffer_Delete(s.mono);
  if (s.right && s.right != s.left) d.Buffer_Delete(s.right);
  d.Buffer_Delete(s.left);
  s.left = s.right = s.mono = 0;
}

void StopVoices(RSample& s) {
  for (RVoice& v : s.voices) ReleaseVoice(v);
  s.voices.clear();
}

bool MediaPlaysFile(const std::string& file) { return g_Audio.media.voice.count && g_Audio.media.file == file; }

}  // namespace

// ------------------------------------------------------------------ the engine

void Sample_Init(EAudioOutput output, int loopbackRate) {
  if (g_Audio.device || g_Audio.disabled) return;
  g_Audio.output = output;
  g_Audio.loopbackRate = loopbackRate;
  g_Audio.samples.clear();
  std::string reason;
  if (output == EAudioOutput::Speakers) {
    g_Audio.device = CAudioDevice::OpenSpeakers(reason);
    if (!g_Audio.device) {
      // No speakers: the game plays on, silently, with sounds that still
      // start, run their length and end.
      WriteTrace("No sound device detected (" + reason + "): the game plays silently");
      g_Audio.output = EAudioOutput::Loopback;
    }
  }
  if (!g_Audio.device) g_Audio.device = CAudioDevice::OpenLoopback({loopbackRate}, reason);
  if (!g_Audio.device) {
    WriteTrace("No sound device detected (" + reason + "): sounds are disabled");
    g_Audio.disabled = true;
    return;
  }
  g_Audio.renderedFrames = 0;
  g_Audio.now = 0;
  g_Audio.lastUpdate = -1;
  Sample_SetGlobalVolume(1);
}

void Sample_SetOutput(EAudioOutput output) { g_Audio.output = output; }

void Sample_AttachWindow(int soundCount) {
  if (soundCount > 0) Sample_Init(g_Audio.output, g_Audio.loopbackRate);
}

bool Sample_Running() { return g_Audio.device != nullptr; }
CAudioDevice* Sample_Device() { return g_Audio.device.get(); }

void Sample_Shutdown() {
  if (g_Audio.device) {
    MediaStopVoice();
    for (int32_t i = 0; i < int32_t(g_Audio.samples.size()); ++i) Sample_Free(i);
  }
  if (g_Audio.capture) {
    CaptureHeader();
    std::fclose(g_Audio.capture);
  }
  const EAudioOutput output = g_Audio.output;
  const int rate = g_Audio.loopbackRate;
  g_Audio = RAudioState();
  g_Audio.output = output;
  g_Audio.loopbackRate = rate;
}

void Sample_SetCapture(const std::string& wavFile) {
  if (g_Audio.capture) return;
  g_Audio.captureName = wavFile;
  if (wavFile.empty()) return;
  g_Audio.capture = std::fopen(wavFile.c_str(), "wb");
  if (g_Audio.capture) CaptureHeader();
}

void Sample_Update(int64_t microseconds) {
  if (!g_Audio.device) return;
  CAudioDevice& d = *g_Audio.device;
  if (!d.IsLoopback()) {
    g_Audio.now = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - g_Audio.started).count();
    Tick();
    return;
  }
  // The game clock may restart (a new room resets it): only its advances count.
  const int64_t last = g_Audio.lastUpdate;
  g_Audio.lastUpdate = microseconds;
  if (last < 0 || microseconds <= last) return;
  g_Audio.owedFrames += (microseconds - last) * d.Rate();
  int64_t frames = g_Audio.owedFrames / 1000000;
  g_Audio.owedFrames -= frames * 1000000;
  // A game that stood still for long renders at most ten seconds at once.
  frames = std::min<int64_t>(frames, int64_t(d.Rate()) * 10);
  std::vector<float> out(size_t(kUpdateFrames) * 2);
  while (frames > 0) {
    const int n = int(std::min<int64_t>(frames, kUpdateFrames));
    RenderFrames(out.data(), n);
    frames -= n;
  }
}

void Sample_Render(float* out, int frames) {
  if (g_Audio.device && g_Audio.device->IsLoopback()) RenderFrames(out, frames);
}

// ------------------------------------------------------------------ loading

int32_t Sample_LoadMemory(const TSoundBytes& bytes, int32_t kind) {
  if (!EnsureEngine() || g_Audio.disabled) return -1;
  const int32_t index = Allocate(kind);
  RSample& s = g_Audio.samples[size_t(index)];
  std::string reason;
  // Only the kinds the engine plays load samples; a sound of another kind
  // keeps an entry that stays silent.
  if (s.HasPath() && !LoadInto(s, bytes, reason)) {
    if (kind != 3) WriteTrace("Sound not loaded as a sample (" + reason + "): it plays through the media player");
    Sample_Free(index);
    return -1;
  }
  if (s.kind == 3) {
    Sample_Free(index);
    return -1;
  }
  return index;
}

int32_t Sample_LoadFile(const std::string& fileName, int32_t kind) {
  if (!EnsureEngine() || g_Audio.disabled) return -1;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(fileName, ec)) return -1;
  const int32_t index = Allocate(kind);
  RSample& s = g_Audio.samples[size_t(index)];
  if (kind != 3 && s.HasPath()) {
    std::string reason;
    const TSoundBytes bytes = Sound_ReadFile(fileName, reason);
    if (!bytes || !LoadInto(s, bytes, reason)) {
      FreeBuffers(s);
      s.kind = 3;
    }
  }
  if (s.kind == 3) s.fname = fileName;
  return index;
}

void Sample_Free(int32_t index) {
  RSample* s = Entry(index);
  if (!s) return;
  Sample_Stop(index);
  StopVoices(*s);
  for (AudioSlot& slot : s->slots) {
    g_Audio.device->Slot_Delete(slot);
    slot = 0;
  }
  FreeBuffers(*s);
  *s = RSample();
}

int32_t Sample_Kind(int32_t index) {
  const RSample* s = Entry(index);
  return s ? s->kind : -1;
}

int32_t Sample_Count() {
  return int32_t(std::count_if(g_Audio.samples.begin(), g_Audio.samples.end(), [](const RSample& s) { return s.inuse; }));
}

// ------------------------------------------------------------------ playing

void Sample_Play(int32_t index, bool loop) {
  RSample* s = Entry(index);
  if (!s) return;
  if (s->kind == 3) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(s->fname, ec)) return;
    Media_Stop();
    if (!Media_Open(s->fname)) return;
    Media_Play(loop, 0);
    return;
  }
  if (!s->HasPath()) return;
  // Background music keeps one primary: a new one takes over.
  if (s->kind == 1)
    for (RSample& other : g_Audio.samples)
      if (other.inuse && other.kind == 1) StopVoices(other);
  RVoice v;
  const bool world = s->kind == 2;
  if (s->music) {
    std::string reason;
    std::unique_ptr<CDecoder> dec = Decoder_Open(s->music, g_Audio.device->Rate(), reason);
    if (!dec || !StartStream(v, std::move(dec), loop, world)) return;
  } else {
    if (!TakeVoices(v, world)) return;
    CAudioDevice& d = *g_Audio.device;
    if (world) {
      d.Voice_SetBuffer(v.voice[0], s->mono, loop);
    } else {
      d.Voice_SetBuffer(v.voice[0], s->left, loop);
      d.Voice_SetBuffer(v.voice[1], s->right, loop);
    }
  }
  ApplyGain(*s, v);
  ApplyEffects(*s, v);
  Apply3D(*s, v);
  g_Audio.device->Voice_PlayTogether(v.voice, v.count);
  if (v.stream) v.stream->started = true;
  s->voices.push_back(std::move(v));
}

void Sample_Stop(int32_t index) {
  RSample* s = Entry(index);
  if (!s) return;
  if (s->kind == 3) {
    if (g_Audio.media.file == s->fname) MediaStopVoice();
    return;
  }
  StopVoices(*s);
}

bool Sample_IsPlaying(int32_t index) {
  RSample* s = Entry(index);
  if (!s) return false;
  if (s->kind == 3) return MediaPlaysFile(s->fname) && !g_Audio.media.paused;
  for (RVoice& v : s->voices)
    if (VoicePlaying(v)) return true;
  return false;
}

void Sample_StopAll() {
  for (int32_t i = 0; i < int32_t(g_Audio.samples.size()); ++i) Sample_Stop(i);
}

// ------------------------------------------------------------------ volume, pan, effects

void Sample_SetVolume(int32_t index, int32_t durationMs, double volume) {
  RSample* s = Entry(index);
  if (!s || !s->HasPath()) return;
  const double target = std::clamp(std::round(volume * 9600) - 9600, kSilentMb, 0.0);
  if (durationMs > 0) {
    s->fromMb = s->mb;
    s->toMb = target;
    s->fadeStart = g_Audio.now;
    s->fadeLength = int64_t(durationMs) * 1000;
  } else {
    s->mb = target;
    s->fadeLength = 0;
  }
  for (RVoice& v : s->voices) ApplyGain(*s, v);
}

void Sample_SetPan(int32_t index, double pan) {
  RSample* s = Entry(index);
  if (!s || !s->HasPath()) return;
  s->pan = std::clamp(std::round(pan * 10000), -10000.0, 10000.0) / 10000;
  for (RVoice& v : s->voices) ApplyGain(*s, v);
}

void Sample_SetEffects(int32_t index, int32_t bits) {
  RSample* s = Entry(index);
  if (!s || !s->HasPath()) return;
  CAudioDevice& d = *g_Audio.device;
  s->effects = bits;
  // Voices let go of the slots before any slot goes.
  for (RVoice& v : s->voices)
    for (int c = 0; c < v.count; ++c)
      for (int i = 0; i < d.MaxSends(); ++i) d.Voice_SetSend(v.voice[c], i, 0, 0);
  int used = 0;
  for (int k = 0; k < kEffectKinds; ++k) {
    const REffectInfo& info = Effect_Info(EEffectKind(k));
    AudioSlot& slot = s->slots[size_t(k)];
    const bool on = (bits & info.bit) != 0 && used < d.MaxSends();
    if (on && !slot) {
      TEffectParameters& p = s->parameters[size_t(k)];
      std::copy(std::begin(info.defaults), std::end(info.defaults), p.begin());
      float wet, dry;
      slot = d.Slot_Create(Effect_ToMixer(EEffectKind(k), p, wet, dry));
    } else if (!on && slot) {
      d.Slot_Delete(slot);
      slot = 0;
    }
    if (slot) ++used;
  }
  for (RVoice& v : s->voices) ApplyEffects(*s, v);
}

void Sample_SetEffectParameters(int32_t index, EEffectKind kind, const std::vector<double>& values) {
  RSample* s = Entry(index);
  if (!s || !s->HasPath() || !s->slots[size_t(kind)]) return;
  TEffectParameters& p = s->parameters[size_t(kind)];
  for (size_t i = 0; i < values.size() && i < p.size(); ++i) p[i] = values[i];
  float wet, dry;
  g_Audio.device->Slot_Update(s->slots[size_t(kind)], Effect_ToMixer(kind, p, wet, dry));
  for (RVoice& v : s->voices) ApplyEffects(*s, v);
}

// ------------------------------------------------------------------ 3D

namespace {
RSample* Entry3D(int32_t index) {
  RSample* s = Entry(index);
  return s && s->kind == 2 ? s : nullptr;
}
void Reapply3D(RSample& s) {
  for (RVoice& v : s.voices) Apply3D(s, v);
}
}  // namespace

void Sample_Set3DPosition(int32_t index, double x, double y, double z) {
  if (RSample* s = Entry3D(index)) {
    s->position[0] = float(x), s->position[1] = float(y), s->position[2] = float(z);
    Reapply3D(*s);
  }
}

void Sample_Set3DVelocity(int32_t index, double x, double y, double z) {
  if (RSample* s = Entry3D(index)) {
    s->velocity[0] = float(x), s->velocity[1] = float(y), s->velocity[2] = float(z);
    Reapply3D(*s);
  }
}

void Sample_Set3DDistance(int32_t index, double minimum, double maximum) {
  if (RSample* s = Entry3D(index)) {
    s->minDistance = float(std::max(minimum, 0.0));
    s->maxDistance = float(maximum);
    Reapply3D(*s);
  }
}

void Sample_Set3DCone(int32_t index, double x, double y, double z, int32_t inside, int32_t outside, double outsideVolume) {
  if (RSample* s = Entry3D(index)) {
    s->cone[0] = float(x), s->cone[1] = float(y), s->cone[2] = float(z);
    s->coneInside = float(inside);
    s->coneOutside = float(outside);
    s->coneOutsideGain = GainOfMb(std::clamp(std::round(outsideVolume * 10000 - 10000), kSilentMb, 0.0));
    Reapply3D(*s);
  }
}

// ------------------------------------------------------------------ global settings

void Sample_SetGlobalVolume(double v) {
  // The whole game's level: 1 is the sounds' own level, 0 silence, and the
  // steps in between as many decibels apart as ever (11000 per unit).
  g_Audio.globalMb = std::clamp(std::round(v * 11000 - 11000), kSilentMb, 0.0);
  if (g_Audio.device) g_Audio.device->Listener_SetGain(GainOfMb(g_Audio.globalMb));
}

void Sample_SetTempo(double factor) {
  g_Audio.tempo = double(std::clamp(float(factor), 0.01f, 100.0f));
  for (RSample& s : g_Audio.samples)
    for (RVoice& v : s.voices)
      if (v.stream) v.stream->decoder->SetTempo(g_Audio.tempo);
}

void Sample_SetSearchDirectory(const std::string& dir) { g_Audio.searchDirectory = dir; }
const std::string& Sample_SearchDirectory() { return g_Audio.searchDirectory; }

// ------------------------------------------------------------------ the media player

RMediaStatus Media_Status() {
  const RMediaPlayer& m = g_Audio.media;
  RMediaStatus st;
  st.file = m.file;
  st.open = m.bytes != nullptr;
  st.playing = m.voice.count > 0 && !m.paused;
  st.paused = m.voice.count > 0 && m.paused;
  if (m.rate > 0) {
    st.lengthMs = m.lengthFrames * 1000 / m.rate;
    if (m.voice.count && m.voice.stream) {
      const int64_t frames = m.voice.stream->framesDone + g_Audio.device->Voice_SampleOffset(m.voice.voice[0]);
      st.positionMs = frames * 1000 / m.rate;
      if (st.lengthMs > 0) st.positionMs %= std::max<int64_t>(st.lengthMs, 1);
    }
  }
  return st;
}

bool Media_Open(const std::string& file) {
  if (!EnsureEngine()) return false;
  Media_Close();
  std::string reason;
  TSoundBytes bytes = Sound_ReadFile(file, reason);
  std::unique_ptr<CDecoder> dec = bytes ? Decoder_Open(bytes, g_Audio.device->Rate(), reason) : nullptr;
  if (!dec) {
    WriteTrace("Media player :: cannot play " + file + ": " + reason);
    return false;
  }
  RMediaPlayer& m = g_Audio.media;
  m.file = file;
  m.bytes = bytes;
  m.rate = dec->Rate();
  m.lengthFrames = std::max<int64_t>(dec->LengthFrames(), 0);
  return true;
}

void Media_Play(bool loop, int64_t fromMs) {
  RMediaPlayer& m = g_Audio.media;
  if (!m.bytes || !g_Audio.device) return;
  if (m.voice.count && m.paused && fromMs < 0) {
    Media_Pause(false);
    return;
  }
  MediaStopVoice();
  std::string reason;
  std::unique_ptr<CDecoder> dec = Decoder_Open(m.bytes, g_Audio.device->Rate(), reason);
  if (!dec) return;
  // Start part-way through: the frames before are decoded and dropped.
  int64_t skip = std::max<int64_t>(fromMs, 0) * dec->Rate() / 1000;
  std::vector<float> drop(size_t(kStreamChunk) * size_t(dec->Channels()));
  while (skip > 0) {
    const int64_t n = dec->Read(drop.data(), std::min<int64_t>(skip, kStreamChunk));
    if (n <= 0) break;
    skip -= n;
  }
  if (!StartStream(m.voice, std::move(dec), loop, false)) return;
  m.voice.stream->framesDone = std::max<int64_t>(fromMs, 0) * m.rate / 1000;
  g_Audio.device->Voice_SetGain(m.voice.voice[0], 1);
  g_Audio.device->Voice_SetGain(m.voice.voice[1], 1);
  g_Audio.device->Voice_PlayTogether(m.voice.voice, m.voice.count);
  m.voice.stream->started = true;
}

void Media_Stop() { MediaStopVoice(); }

void Media_Pause(bool paused) {
  RMediaPlayer& m = g_Audio.media;
  if (!m.voice.count || m.paused == paused) return;
  m.paused = paused;
  for (int i = 0; i < m.voice.count; ++i) g_Audio.device->Voice_Pause(m.voice.voice[i], paused);
}

void Media_Close() {
  MediaStopVoice();
  RMediaPlayer& m = g_Audio.media;
  m.file.clear();
  m.bytes.reset();
  m.rate = 0;
  m.lengthFrames = 0;
}

void Media_Seek(int64_t ms) {
  RMediaPlayer& m = g_Audio.media;
  if (!m.bytes) return;
  const bool loop = m.voice.count && m.voice.stream && m.voice.stream->loop;
  if (m.voice.count && !m.paused) {
    Media_Play(loop, ms);
  } else {
    MediaStopVoice();
  }
}

}  // namespace tavrin
