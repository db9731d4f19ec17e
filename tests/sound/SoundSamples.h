// Sounds made for tests (WAV sines and clicks, a small MIDI file) and a
// loopback engine whose rendered samples the tests measure.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "sound/Sound_Main.h"

namespace tavrin::test {

inline constexpr int kRate = 48000;

// A 16-bit PCM WAV file of `frames` frames made by `sample(i, channel)`.
template <class F>
std::vector<uint8_t> MakeWav(int frames, int channels, F sample, int rate = kRate) {
  std::vector<uint8_t> b;
  auto put = [&b](uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b.push_back(uint8_t(v >> (8 * i)));
  };
  auto tag = [&b](const char* t) {
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(t[i]));
  };
  const uint32_t data = uint32_t(frames * channels * 2);
  tag("RIFF");
  put(36 + data, 4);
  tag("WAVE");
  tag("fmt ");
  put(16, 4);
  put(1, 2);
  put(uint32_t(channels), 2);
  put(uint32_t(rate), 4);
  put(uint32_t(rate * channels * 2), 4);
  put(uint32_t(channels * 2), 2);
  put(16, 2);
  tag("data");
  put(data, 4);
  for (int i = 0; i < frames; ++i)
    for (int c = 0; c < channels; ++c) put(uint16_t(int16_t(std::lround(sample(i, c) * 32767))), 2);
  return b;
}

// A sine of amplitude 0.5, `seconds` long.
inline std::vector<uint8_t> SineWav(double hz, double seconds) {
  return MakeWav(int(seconds * kRate), 1, [hz](int i, int) { return 0.5 * std::sin(2 * M_PI * hz * i / kRate); });
}

// A standard MIDI file at 120 beats a minute (480 ticks a beat): a piano
// note of 0.25 s at each of `seconds`.
inline std::vector<uint8_t> NotesMidi(const std::vector<double>& seconds) {
  std::vector<uint8_t> track;
  auto add = [](std::vector<uint8_t>& to, std::initializer_list<uint8_t> bytes) {
    for (uint8_t b : bytes) to.push_back(b);
  };
  auto delta = [&track](uint32_t d) {
    uint8_t bytes[5];
    int n = 0;
    bytes[n++] = uint8_t(d & 0x7F);
    while (d >>= 7) bytes[n++] = uint8_t(0x80 | (d & 0x7F));
    while (n) track.push_back(bytes[--n]);
  };
  uint32_t now = 0;
  for (double s : seconds) {
    const uint32_t on = uint32_t(std::lround(s * 960)), off = on + 240;
    delta(on - now);
    add(track, {0x90, 60, 110});
    delta(off - on);
    add(track, {0x80, 60, 0});
    now = off;
  }
  delta(0);
  add(track, {0xFF, 0x2F, 0x00});
  std::vector<uint8_t> b = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0, 'M', 'T', 'r', 'k'};
  const uint32_t n = uint32_t(track.size());
  add(b, {uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)});
  b.insert(b.end(), track.begin(), track.end());
  return b;
}

inline TSoundBytes Bytes(std::vector<uint8_t> b) { return std::make_shared<const std::vector<uint8_t>>(std::move(b)); }

// Stereo frames rendered through the loopback device.
struct RRendered {
  std::vector<float> s;
  int Frames() const { return int(s.size() / 2); }
  // RMS level in dB of a channel (0 left, 1 right) from `fromMs` to `toMs`.
  double Level(int channel, double fromMs, double toMs) const {
    const int a = int(fromMs * kRate / 1000), b = std::min(Frames(), int(toMs * kRate / 1000));
    double sum = 0;
    for (int i = a; i < b; ++i) sum += double(s[size_t(2 * i + channel)]) * s[size_t(2 * i + channel)];
    return b > a && sum > 0 ? 10 * std::log10(sum / (b - a)) : -400;
  }
  float Peak(int channel, int fromFrame, int toFrame) const {
    float p = 0;
    for (int i = fromFrame; i < std::min(toFrame, Frames()); ++i) p = std::max(p, std::fabs(s[size_t(2 * i + channel)]));
    return p;
  }
};

// The RMS level of the test sine at full scale through one speaker.
inline double SineLevel() { return 20 * std::log10(0.5 / std::sqrt(2.0)); }

class CLoopbackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Sample_Shutdown();
    Sample_SetOutput(EAudioOutput::Loopback);
    Sample_Init(EAudioOutput::Loopback, kRate);
    ASSERT_TRUE(Sample_Running());
  }
  void TearDown() override { Sample_Shutdown(); }
  RRendered Render(double ms) {
    RRendered r;
    r.s.resize(size_t(ms * kRate / 1000) * 2);
    Sample_Render(r.s.data(), int(r.s.size() / 2));
    return r;
  }
};

}  // namespace tavrin::test
