// libsndfile over a byte buffer, and FluidSynth playing a MIDI file from
// memory with the sample clock as its timer, so music renders the same at
// any speed of the mixer.
#include "sound/Sound_Decode.h"

#include <fluidsynth.h>
#include <sndfile.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>

namespace tavrin {

namespace {

// --- sampled sounds through libsndfile, reading from memory

struct RMemoryFile {
  TSoundBytes bytes;
  sf_count_t pos = 0;
};

sf_count_t VLength(void* user) { return sf_count_t(static_cast<RMemoryFile*>(user)->bytes->size()); }
sf_count_t VSeek(sf_count_t offset, int whence, void* user) {
  auto* f = static_cast<RMemoryFile*>(user);
  const sf_count_t size = sf_count_t(f->bytes->size());
  sf_count_t base = whence == SEEK_CUR ? f->pos : whence == SEEK_END ? size : 0;
  const sf_count_t to = base + offset;
  if (to < 0 || to > size) return -1;
  f->pos = to;
  return f->pos;
}
sf_count_t VRead(void* ptr, sf_count_t count, void* user) {
  auto* f = static_cast<RMemoryFile*>(user);
  const sf_count_t size = sf_count_t(f->bytes->size());
  const sf_count_t n = std::clamp<sf_count_t>(std::min(count, size - f->pos), 0, size);
  if (n > 0) std::memcpy(ptr, f->bytes->data() + f->pos, size_t(n));
  f->pos += n;
  return n;
}
sf_count_t VWrite(const void*, sf_count_t, void*) { return 0; }
sf_count_t VTell(void* user) { return static_cast<RMemoryFile*>(user)->pos; }

class CSampledDecoder : public CDecoder {
 public:
  bool Open(TSoundBytes bytes, std::string& reason) {
    m_file.bytes = std::move(bytes);
    static SF_VIRTUAL_IO io = {VLength, VSeek, VRead, VWrite, VTell};
    m_sf = sf_open_virtual(&io, SFM_READ, &m_info, &m_file);
    if (!m_sf) {
      reason = sf_strerror(nullptr);
      return false;
    }
    if (m_info.channels < 1 || m_info.channels > 8 || m_info.samplerate < 1 || m_info.samplerate > 384000) {
      reason = "unsupported channel count or sample rate";
      return false;
    }
    return true;
  }
  ~CSampledDecoder() override {
    if (m_sf) sf_close(m_sf);
  }
  int Channels() const override { return m_info.channels; }
  int Rate() const override { return m_info.samplerate; }
  int64_t Read(float* out, int64_t frames) override {
    const sf_count_t n = sf_readf_float(m_sf, out, frames);
    return n > 0 ? n : 0;
  }
  bool Rewind() override { return sf_seek(m_sf, 0, SEEK_SET) == 0; }
  int64_t LengthFrames() const override { return m_info.frames; }

 private:
  RMemoryFile m_file;
  SF_INFO m_info{};
  SNDFILE* m_sf = nullptr;
};

// --- MIDI through FluidSynth

void Quiet(int, const char*, void*) {}

class CMidiDecoder : public CDecoder {
 public:
  ~CMidiDecoder() override {
    if (m_player) {
      fluid_player_stop(m_player);
      delete_fluid_player(m_player);
    }
    if (m_synth) delete_fluid_synth(m_synth);
    if (m_settings) delete_fluid_settings(m_settings);
  }
  bool Open(TSoundBytes bytes, int rate, std::string& reason) {
    static std::once_flag quiet;
    std::call_once(quiet, [] {
      for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG}) fluid_set_log_function(level, Quiet, nullptr);
    });
    m_bytes = std::move(bytes);
    m_rate = rate;
    const std::string font = Sound_SoundFontPath();
    if (font.empty()) {
      reason = "no General MIDI SoundFont is installed";
      return false;
    }
    m_settings = new_fluid_settings();
    fluid_settings_setnum(m_settings, "synth.sample-rate", rate);
    fluid_settings_setint(m_settings, "synth.cpu-cores", 1);
    fluid_settings_setint(m_settings, "synth.threadsafe-api", 0);
    // The player follows the samples written, not the wall clock.
    fluid_settings_setstr(m_settings, "player.timing-source", "sample");
    fluid_settings_setint(m_settings, "synth.lock-memory", 0);
    m_synth = new_fluid_synth(m_settings);
    if (!m_synth || fluid_synth_sfload(m_synth, font.c_str(), 1) == FLUID_FAILED) {
      reason = "the SoundFont " + font + " could not be loaded";
      return false;
    }
    return Start(reason);
  }
  int Channels() const override { return 2; }
  int Rate() const override { return m_rate; }
  bool IsMusic() const override { return true; }
  int64_t Read(float* out, int64_t frames) override {
    if (!m_player) return 0;
    // After the last event the notes get a moment to ring out. The player
    // itself reports the end only seconds later, so the ticks decide.
    const bool atEnd = fluid_player_get_status(m_player) == FLUID_PLAYER_DONE ||
                       (!m_loop && fluid_player_get_current_tick(m_player) >= fluid_player_get_total_ticks(m_player));
    if (atEnd) {
      if (m_tail <= 0) return 0;
      frames = std::min<int64_t>(frames, m_tail);
      m_tail -= frames;
    }
    fluid_synth_write_float(m_synth, int(frames), out, 0, 2, out, 1, 2);
    return frames;
  }
  bool Rewind() override {
    std::string reason;
    return Start(reason);
  }
  void SetLoop(bool loop) override {
    m_loop = loop;
    if (m_player) fluid_player_set_loop(m_player, loop ? -1 : 1);
  }
  void SetTempo(double factor) override {
    m_tempo = factor;
    if (m_player) fluid_player_set_tempo(m_player, FLUID_PLAYER_TEMPO_INTERNAL, factor);
  }

 private:
  bool Start(std::string& reason) {
    if (m_player) {
      fluid_player_stop(m_player);
      delete_fluid_player(m_player);
      fluid_synth_system_reset(m_synth);
    }
    m_player = new_fluid_player(m_synth);
    if (!m_player || fluid_player_add_mem(m_player, m_bytes->data(), m_bytes->size()) != FLUID_OK ||
        fluid_player_play(m_player) != FLUID_OK) {
      reason = "the MIDI file could not be read";
      return false;
    }
    fluid_player_set_tempo(m_player, FLUID_PLAYER_TEMPO_INTERNAL, m_tempo);
    fluid_player_set_loop(m_player, m_loop ? -1 : 1);
    m_tail = m_rate;
    return true;
  }

  TSoundBytes m_bytes;
  int m_rate = 48000;
  double m_tempo = 1;
  bool m_loop = false;
  int64_t m_tail = 0;
  fluid_settings_t* m_settings = nullptr;
  fluid_synth_t* m_synth = nullptr;
  fluid_player_t* m_player = nullptr;
};

}  // namespace

bool Sound_IsMidi(const std::vector<uint8_t>& b) {
  // A standard MIDI file, or one wrapped in a RIFF "RMID" container.
  return (b.size() >= 14 && std::memcmp(b.data(), "MThd", 4) == 0) ||
         (b.size() >= 26 && std::memcmp(b.data(), "RIFF", 4) == 0 && std::memcmp(b.data() + 8, "RMID", 4) == 0);
}

std::string Sound_SoundFontPath() {
  if (const char* env = std::getenv("TAVRIN_SOUNDFONT"); env && *env) return env;
  for (const char* p : {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2",
                        "/usr/share/sounds/sf2/FluidR3_GM.sf2"}) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(p, ec)) return p;
  }
  return {};
}

std::unique_ptr<CDecoder> Decoder_Open(TSoundBytes bytes, int rate, std::string& reason) {
  if (!bytes || bytes->empty()) {
    reason = "the sound has no data";
    return nullptr;
  }
  if (Sound_IsMidi(*bytes)) {
    auto midi = std::make_unique<CMidiDecoder>();
    if (!midi->Open(std::move(bytes), rate, reason)) return nullptr;
    return midi;
  }
  auto sampled = std::make_unique<CSampledDecoder>();
  if (!sampled->Open(std::move(bytes), reason)) return nullptr;
  return sampled;
}

bool Sound_CanDecode(const TSoundBytes& bytes, std::string& reason) {
  if (bytes && Sound_IsMidi(*bytes)) return true;
  std::unique_ptr<CDecoder> d = Decoder_Open(bytes, 48000, reason);
  if (!d) return false;
  std::vector<float> first(size_t(d->Channels()) * 64);
  if (d->Read(first.data(), 64) > 0) return true;
  reason = "the sound holds no samples";
  return false;
}

TSoundBytes Sound_ReadFile(const std::string& fileName, std::string& reason) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(fileName, ec);
  if (ec || !std::filesystem::is_regular_file(fileName, ec)) {
    reason = "the file does not exist";
    return nullptr;
  }
  if (size > uint64_t(kMaxSoundFileBytes)) {
    reason = "the file is too large for a sound";
    return nullptr;
  }
  auto bytes = std::make_shared<std::vector<uint8_t>>(size_t(size));
  std::ifstream in(fileName, std::ios::binary);
  if (!in.read(reinterpret_cast<char*>(bytes->data()), std::streamsize(size))) {
    reason = "the file could not be read";
    return nullptr;
  }
  return bytes;
}

bool Decoder_ReadAll(CDecoder& decoder, RDecodedSound& out, std::string& reason) {
  const int channels = decoder.Channels();
  out = RDecodedSound();
  out.rate = decoder.Rate();
  constexpr int64_t kChunk = 4096;
  std::vector<float> chunk(size_t(kChunk * channels));
  int64_t total = 0;
  for (;;) {
    const int64_t n = decoder.Read(chunk.data(), kChunk);
    if (n <= 0) break;
    total += n;
    // Grows with what really decodes, never with what a header claims.
    if (total * std::min(channels, 2) > kMaxDecodedSamples) {
      reason = "the sound is too long";
      out = RDecodedSound();
      return false;
    }
    for (int64_t i = 0; i < n; ++i) {
      const float* f = &chunk[size_t(i * channels)];
      if (channels == 1) {
        out.left.push_back(f[0]);
        continue;
      }
      // More than two channels fold into the first two: odd ones left.
      float l = 0, r = 0;
      for (int c = 0; c < channels; ++c) (c % 2 == 0 ? l : r) += f[c];
      out.left.push_back(l);
      out.right.push_back(r);
    }
  }
  if (out.left.empty()) {
    reason = "the sound holds no samples";
    return false;
  }
  return true;
}

}  // namespace tavrin
