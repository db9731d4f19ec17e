// Fuzzes the readers of the data-structure text forms, which games load from
// save files: a text is either read whole or changes nothing, and whatever
// is read writes back to the same text and stays usable.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "functions/Support_Data_Structures.h"
#include "package/Support_Stream.h"

namespace {

using namespace tavrin;

// Reads `text` into a structure already holding something; checks that a
// failed read left it as it was and that a successful one round-trips.
template <class T>
void Check(std::string_view text, void (*fill)(T&), void (*use)(T&)) {
  T d;
  fill(d);
  const std::string before = d.WriteToString();
  if (!d.ReadFromString(text)) {
    if (d.WriteToString() != before) std::abort();
    return;
  }
  const std::string written = d.WriteToString();
  T again;
  if (!again.ReadFromString(written) || again.WriteToString() != written) std::abort();
  use(d);
}

void Run(uint8_t kind, std::string_view text) {
  switch (kind % 6) {
    case 0:
      Check<CDS_Stack>(text, [](CDS_Stack& d) { d.i_val.push_back(RValue::String("keep")); },
                       [](CDS_Stack& d) { d.i_val.clear(); });
      break;
    case 1:
      Check<CDS_Queue>(
          text, [](CDS_Queue& d) { d.Enqueue(RValue::String("keep")); },
          [](CDS_Queue& d) {
            // Every position a read accepts must be safe to use.
            d.Enqueue(RValue::Real(1));
            while (d.Size() > 0) (void)d.Dequeue();
          });
      break;
    case 2:
      Check<CDS_List>(text, [](CDS_List& d) { d.i_val.push_back(RValue::Real(3)); },
                      [](CDS_List& d) {
                        if (d.i_val.size() <= 256) {
                          d.Sort(true);
                          d.Sort(false);
                        }
                      });
      break;
    case 3:
      Check<CDS_Map>(text, [](CDS_Map& d) { d.Add(RValue::Real(1), RValue::String("keep")); },
                     [](CDS_Map& d) {
                       // A read map need not be sorted; searches must still
                       // stay inside it.
                       for (int32_t i = 0; i < d.Size(); ++i) {
                         const RValue k = d.Key(i);
                         (void)d.Lower(k);
                         (void)d.Upper(k);
                       }
                       d.Add(RValue::Real(0), RValue::Real(0));
                     });
      break;
    case 4:
      Check<CDS_Priority>(
          text,
          [](CDS_Priority& d) {
            d.i_val.push_back(RValue::String("keep"));
            d.i_priority.push_back(RValue::Real(1));
          },
          [](CDS_Priority& d) {
            while (!d.i_val.empty()) d.DeleteAt(d.FindMin());
          });
      break;
    default:
      Check<CDS_Grid>(text, [](CDS_Grid& d) { d.Create(2, 2); },
                      [](CDS_Grid& d) {
                        d.GridOperation(1, d, 0, 0, d.i_w, d.i_h, 1, 1);
                        d.GridOperation(2, d, 1, 1, d.i_w, d.i_h, -1, 0);
                        (void)d.Resize(d.i_h, d.i_w);
                      });
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte chooses the kind, and whether the rest is the text itself
  // (high bit set) or the bytes of a stream turned into their text,
  // so that the fuzzer reaches deep into well-formed streams.
  const uint8_t mode = data[0];
  if (mode & 0x80) {
    Run(mode, std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
  } else {
    CStream s(data + 1, size - 1);
    Run(mode, s.ConvertToString());
  }
  return 0;
}
