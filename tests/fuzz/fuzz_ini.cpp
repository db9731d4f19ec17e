// Fuzzes the ini reader, which takes files players and other programs
// write: any bytes are read; what is written back reads back to the same
// text; queries and changes on what was read stay inside it; and the number
// reader takes any text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "functions/Support_Ini.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tavrin;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CIniFile ini;
  ini.Parse(text);
  const std::string written = ini.Text();
  CIniFile again;
  again.Parse(written);
  if (again.Text() != written) std::abort();

  // Names taken from the input itself reach the sections and keys it holds.
  const size_t cut = size / 2;
  const std::string_view section = text.substr(0, cut), key = text.substr(cut);
  (void)ini.Find(section, key);
  (void)ini.SectionExists(section);
  ini.Set(section, key, text);
  (void)ini.Find(section, key);
  CIniFile changed;
  changed.Parse(ini.Text());
  if (changed.Text() != ini.Text()) std::abort();
  ini.DeleteKey(section, key);
  ini.DeleteSection(section);
  (void)Ini_ParseReal(text);
  return 0;
}
