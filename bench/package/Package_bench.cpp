// Opening a 50 MB package (reading the file, finding the marker, unscrambling
// the payload in place and checking its checksum) against the peer: zlib's
// crc32 over the same bytes, already in memory.
#include <unistd.h>
#include <zlib.h>

#include <cstring>
#include <filesystem>

#include "package/Support_File.h"
#include "support/BenchRatio.h"

namespace {

constexpr size_t kPayload = 50u << 20;

struct RFixture {
  std::string path;
  std::vector<uint8_t> bytes;
  RFixture() {
    path = (std::filesystem::temp_directory_path() / ("tavrin_bench_package_" + std::to_string(::getpid()))).string();
    tavrin::CPackRandom random(1);
    tavrin::CStream payload;
    payload.Bytes().resize(kPayload);
    for (size_t i = 0; i < kPayload; i += 4) {
      const uint32_t v = random.Next();
      std::memcpy(payload.Data() + i, &v, 4);
    }
    tavrin::CStream file;
    tavrin::Package_WriteContainer(file, 810, payload, random);
    file.SaveToFile(path);
    bytes = file.Bytes();
  }
  ~RFixture() { std::filesystem::remove(path); }
};

RFixture& Fixture() {
  static RFixture f;
  return f;
}

void OpenPackage(benchmark::State& state) {
  RFixture& f = Fixture();
  for (auto _ : state) {
    tavrin::CStream s;
    if (tavrin::LocatePackage(f.path, s) != tavrin::ELocate::Ok) state.SkipWithError("package did not open");
    benchmark::DoNotOptimize(s.Data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.bytes.size()));
}

void ZlibCrc32(benchmark::State& state) {
  RFixture& f = Fixture();
  for (auto _ : state) {
    benchmark::DoNotOptimize(crc32(0L, f.bytes.data(), uInt(f.bytes.size())));
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.bytes.size()));
}

BENCHMARK(OpenPackage)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(ZlibCrc32)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return tavrin::bench::RunWithRatios(argc, argv, {{"OpenPackage/min_time:1.000/real_time", "ZlibCrc32/min_time:1.000/real_time"}}); }
