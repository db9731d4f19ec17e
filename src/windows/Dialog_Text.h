// Small text rules shared by the runner's windows and their answers.
#pragma once

#include <cctype>
#include <string>
#include <string_view>

namespace tavrin {

// A label as it reads: without its "&" marks ("&&" is a plain "&").
inline std::string Dialog_Unmarked(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

// A label as a person reads it (and writes it in an answers file): without
// its "&" marks, lower case.
inline std::string Dialog_Spoken(std::string_view text) {
  std::string out = Dialog_Unmarked(text);
  for (char& c : out) c = char(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// Without the blanks and tabs around it.
inline std::string Dialog_Trimmed(std::string_view s) {
  const size_t b = s.find_first_not_of(" \t");
  if (b == std::string_view::npos) return {};
  return std::string(s.substr(b, s.find_last_not_of(" \t") - b + 1));
}

}  // namespace tavrin
