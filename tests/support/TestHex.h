// Hexadecimal text to bytes, for test vectors ("-" is no bytes).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavrin::test {

inline std::vector<uint8_t> Hex(const std::string& hex) {
  std::vector<uint8_t> out;
  if (hex == "-") return out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) out.push_back(uint8_t(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return out;
}

}  // namespace tavrin::test
