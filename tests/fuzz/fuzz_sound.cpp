// Arbitrary bytes as a sound file the way a package or a game hands one to
// the engine: recognised or refused with a reason, and when recognised,
// decoded to the end without a crash, a leak or more memory than the cap on
// decoded samples allows. MIDI files are only recognised here: playing them
// needs a SoundFont, and their reading is the synthesiser's.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sound/Sound_Decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tavrin;
  auto bytes = std::make_shared<const std::vector<uint8_t>>(data, data + size);
  std::string reason;
  if (!Sound_CanDecode(bytes, reason) || Sound_IsMidi(*bytes)) return 0;
  std::unique_ptr<CDecoder> decoder = Decoder_Open(bytes, 48000, reason);
  if (!decoder) return 0;
  RDecodedSound sound;
  Decoder_ReadAll(*decoder, sound, reason);
  decoder->Rewind();
  return 0;
}
