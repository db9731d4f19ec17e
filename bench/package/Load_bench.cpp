// Loading a package of about 50 MB of sprites and sounds, from the file to
// every resource in memory, against the peer: plain zlib inflate of exactly
// the compressed sub-streams the load inflates, already in memory.
#include <unistd.h>
#include <zlib.h>

#include <cstring>
#include <filesystem>

#include "graphics/Sprite_Class.h"
#include "package/Package_Load.h"
#include "package/Support_File.h"
#include "runner/Runner_GameData.h"
#include "sound/Sound_Class.h"
#include "support/BenchRatio.h"
#include "world/Room_Class.h"
#include "graphics/Graphics_Data.h"
#include "world/World_Data.h"

namespace {

using namespace tavrin;

class CQuiet : public IPackageLoadListener {
 public:
  void ShowProgress(int, const std::string&) override {}
  void HeaderRead(RPackageHeader&, const RGameSettings&) override {}
};

struct RFixture {
  std::string path;
  std::vector<std::vector<uint8_t>> inflated;  // the compressed sub-streams of one load
  size_t bytes = 0;

  RFixture() {
    path = (std::filesystem::temp_directory_path() / ("tavrin_bench_load_" + std::to_string(::getpid()))).string();
    CPackRandom random(9);
    RGameData game;
    // 600 sprites of 3 frames, 64 x 64: shaded pictures with noise, as drawn
    // art compresses; 90 sounds of 400 KB of noise, as compressed audio does not.
    for (int i = 0; i < 600; ++i) {
      auto sprite = std::make_unique<CSprite>();
      sprite->i_numb = 3;
      for (int f = 0; f < 3; ++f) {
        TBitmap32 frame(64, 64);
        for (int y = 0; y < 64; ++y)
          for (int x = 0; x < 64; ++x)
            frame.SetPixel(x, y, 0xFF000000u | uint32_t((x * 4 + f) & 0xFF) << 16 | uint32_t(y * 4) << 8 |
                                     (random.Next() & 0x1F));
        sprite->i_bitmap.push_back(frame);
      }
      sprite->ComputeMask(RMaskSettings{});
      game.graphics.sprites.Add(std::move(sprite), "spr_" + std::to_string(i));
    }
    for (int i = 0; i < 90; ++i) {
      auto sound = std::make_unique<CSound>();
      sound->s_kind = kSoundNormal;
      sound->s_extension = ".ogg";
      CStream data;
      data.Bytes().resize(400 * 1024);
      for (size_t k = 0; k < data.Size(); k += 4) {
        const uint32_t v = random.Next();
        std::memcpy(data.Data() + k, &v, 4);
      }
      sound->s_sound = std::move(data);
      game.sounds.Add(std::move(sound), "snd_" + std::to_string(i));
    }
    game.world.rooms.Add(std::make_unique<CRoom>(), "room0");
    game.world.roomOrder = {0};
    CStream file;
    Package_WriteContainer(file, kPackageVersion,
                           Package_WritePayload(RPackageHeader{}, game.package, Game_Sections(game), random), random);
    file.SaveToFile(path);
    bytes = file.Size();

    static RFixture* self = this;
    Stream_SetInflateObserver([](const uint8_t* p, size_t n) { self->inflated.emplace_back(p, p + n); });
    Load();
    Stream_SetInflateObserver(nullptr);
  }
  ~RFixture() { std::filesystem::remove(path); }

  bool Load() const {
    CStream s;
    if (LocatePackage(path, s) != ELocate::Ok) return false;
    CQuiet quiet;
    RGameData game;
    return ReadHeader(s, quiet, Game_Sections(game), game.package).empty();
  }
};

RFixture& Fixture() {
  static RFixture f;
  return f;
}

void LoadPackage(benchmark::State& state) {
  RFixture& f = Fixture();
  for (auto _ : state)
    if (!f.Load()) state.SkipWithError("the package did not load");
  state.counters["MB"] = double(f.bytes) / 1e6;
}

void ZlibInflate(benchmark::State& state) {
  RFixture& f = Fixture();
  std::vector<uint8_t> out(1 << 20);
  for (auto _ : state) {
    for (const auto& blob : f.inflated) {
      z_stream z{};
      inflateInit(&z);
      z.next_in = const_cast<Bytef*>(blob.data());
      z.avail_in = uInt(blob.size());
      int rc;
      do {
        z.next_out = out.data();
        z.avail_out = uInt(out.size());
        rc = inflate(&z, Z_NO_FLUSH);
      } while (rc == Z_OK);
      inflateEnd(&z);
    }
  }
  state.counters["streams"] = double(f.inflated.size());
}

BENCHMARK(LoadPackage)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(ZlibInflate)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  return tavrin::bench::RunWithRatios(
      argc, argv, {{"LoadPackage/min_time:2.000/real_time", "ZlibInflate/min_time:2.000/real_time"}});
}
