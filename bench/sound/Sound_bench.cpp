// The runner's sound path against raw OpenAL in the same run: 32 and 128
// overlapping looping plays of one sine sound with echo and reverb, for 10
// seconds of audio rendered through a loopback device in 256-frame blocks.
// Ours goes through the sample table (two voices per play, fades and
// streams checked every block); the peer plays the same buffer on as many
// sources sending to the same two effects. Prints the ratio of times (ours / raw).
#include <cmath>
#include <cstdio>
#include <memory>

#include "RawAL_Peer.h"
#include "sound/Sound_Main.h"
#include "support/BenchRatio.h"

namespace {

using namespace tavrin;
using namespace tavrin::bench;

constexpr int kRate = 48000;
constexpr int kSeconds = 10;

std::vector<float> Sine() {
  std::vector<float> s(kRate);
  for (int i = 0; i < kRate; ++i) s[size_t(i)] = float(0.5 * std::sin(2 * M_PI * 440 * i / kRate));
  return s;
}

// The same sine as a 32-bit float WAV file for the sample table.
TSoundBytes SineWav() {
  const std::vector<float> s = Sine();
  std::vector<uint8_t> b;
  auto put = [&b](uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b.push_back(uint8_t(v >> (8 * i)));
  };
  auto tag = [&b](const char* t) { b.insert(b.end(), t, t + 4); };
  tag("RIFF");
  put(uint32_t(36 + s.size() * 4), 4);
  tag("WAVE");
  tag("fmt ");
  put(16, 4);
  put(3, 2);
  put(1, 2);
  put(kRate, 4);
  put(kRate * 4, 4);
  put(4, 2);
  put(32, 2);
  tag("data");
  put(uint32_t(s.size() * 4), 4);
  const auto* p = reinterpret_cast<const uint8_t*>(s.data());
  b.insert(b.end(), p, p + s.size() * 4);
  return std::make_shared<const std::vector<uint8_t>>(std::move(b));
}

void Ours(benchmark::State& state, int voices) {
  Sample_Shutdown();
  Sample_SetOutput(EAudioOutput::Loopback);
  Sample_Init(EAudioOutput::Loopback, kRate);
  const TSoundBytes wav = SineWav();
  // One sound with its effects, started `voices` times: normal sounds overlap.
  const int32_t id = Sample_LoadMemory(wav, 0);
  Sample_SetEffects(id, 2 | 16);
  Sample_SetVolume(id, 0, 0.97);
  std::vector<float> out(256 * 2);
  for (auto _ : state) {
    for (int i = 0; i < voices; ++i) Sample_Play(id, true);
    for (int done = 0; done < kRate * kSeconds; done += 256) Sample_Render(out.data(), 256);
    Sample_StopAll();
  }
  Sample_Shutdown();
}

void Raw(benchmark::State& state, int voices) {
  CRawALPeer peer(Sine(), kRate);
  std::vector<float> out;
  for (auto _ : state) peer.Play(voices, kRate * kSeconds, out);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::pair<std::string, std::string>> pairs;
  for (int voices : {32, 128}) {
    const std::string ours = "sound/voices_" + std::to_string(voices) + "/ours";
    const std::string peer = "sound/voices_" + std::to_string(voices) + "/raw_openal";
    benchmark::RegisterBenchmark(ours.c_str(), Ours, voices)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
    benchmark::RegisterBenchmark(peer.c_str(), Raw, voices)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
    pairs.emplace_back(ours + "/iterations:3/real_time", peer + "/iterations:3/real_time");
  }
  return RunWithRatios(argc, argv, pairs);
}
