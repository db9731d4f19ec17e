// Fuzzes the readers of package bytes: the container (marker, unscrambling),
// the header, the settings and every resource section, and the stream
// primitives and sub-streams.
#include <cstddef>
#include <cstdint>

#include "package/Package_Load.h"
#include "package/Support_File.h"
#include "runner/Runner_GameData.h"

namespace {

class CSilent : public tavrin::IPackageLoadListener {
 public:
  void ShowProgress(int, const std::string&) override {}
  void HeaderRead(tavrin::RPackageHeader&, const tavrin::RGameSettings&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tavrin;
  if (size == 0) return 0;
  // The first byte chooses the reader; the rest is its input: 0 a container,
  // 1 a header from its version word, 2 unscrambled content with every
  // resource section, 3 a run of stream primitives.
  const uint8_t mode = data[0] % 4;
  CStream s(data + 1, size - 1);
  RGameData game;  // what the input loads into, dropped after each run
  try {
    if (mode == 0) {
      CSilent silent;
      if (Package_Open(s, 0) == ELocate::Ok) (void)ReadHeader(s, silent, Game_Sections(game), game.package);
    } else if (mode == 1) {
      CSilent silent;
      (void)ReadHeader(s, silent, Game_Sections(game), game.package);
    } else if (mode == 2) {
      CSilent silent;
      (void)Package_ReadContent(s, silent, Game_Sections(game), game.package.identity);
    } else {
      while (s.Remaining() > 0) {
        switch (s.ReadInteger() & 7) {
          case 0: (void)s.ReadString(); break;
          case 1: (void)s.ReadReal(); break;
          case 2: (void)s.ReadStream(); break;
          case 3: (void)s.ReadStreamC(); break;
          case 4: (void)s.ReadStreamE(); break;
          case 5: (void)s.ReadBitmap(); break;
          case 6: s.Decrypt(s.ReadInteger(), s.ReadInteger(), s.ReadInteger()); break;
          default: s.ConvertFromString(s.ReadString()); break;
        }
      }
    }
  } catch (const CStreamError&) {
  }
  return 0;
}
