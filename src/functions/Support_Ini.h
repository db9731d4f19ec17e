// An ini file in memory: sections of "key=value" lines, read from and
// written to text (the format is described in docs/ini-files.md). Comments
// and lines that are neither sections nor keys are kept where they stand, so
// writing a file a player edited by hand changes only what the game changed.
// Section and key names are compared without regard to letter case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavrin {

class CIniFile {
 public:
  // Replaces the contents with those of `text` (UTF-8). Any bytes are
  // accepted: what cannot be read as a section or key is kept as is.
  void Parse(std::string_view text);
  // The file's text, lines ended by CR LF.
  std::string Text() const;

  // The value of `key` in `section`; nullptr when either is missing.
  const std::string* Find(std::string_view section, std::string_view key) const;
  bool SectionExists(std::string_view section) const;
  // Sets the value, adding the section and the key when missing. Line breaks
  // in any of the three become blanks: a value cannot add lines to the file.
  // False, and nothing changes, for a key name that would not read back as
  // a key: empty, holding "=", or beginning with "[", ";" or "#".
  bool Set(std::string_view section, std::string_view key, std::string_view value);
  void DeleteKey(std::string_view section, std::string_view key);
  void DeleteSection(std::string_view section);

 private:
  struct RLine {
    bool isKey = false;
    std::string name;   // a key's name
    std::string value;  // a key's value, or the whole line as it stood
  };
  struct RSection {
    bool named = false;  // false for the lines before the first section
    std::string name;
    std::vector<RLine> lines;
  };
  RSection* FindSection(std::string_view section);
  const RSection* FindSection(std::string_view section) const;
  std::vector<RSection> m_sections;
};

// The number in an ini value: digits with one decimal point ("." or ","), a
// "-" for the sign, and an exponent after "E" or "e"; reading stops at the
// first character that fits none of these ("1,5e2" is 150, "2.5.3" 2.5).
double Ini_ParseReal(std::string_view text);
// A real as ini files hold it: the shortest form with up to 15 significant
// digits, in a form Ini_ParseReal reads back ("0.1", "150", "1e20").
std::string Ini_RealText(double value);

}  // namespace tavrin
