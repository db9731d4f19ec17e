// The language cases of tests/script/cases/: every case of every file, run
// through `tavrin --code` and held to the output written beside its code.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Conformance.h"

namespace tavrin::test {
namespace {

bool StartsWith(const std::string& line, const char* mark) { return line.rfind(mark, 0) == 0; }

// The text after an expectation mark: "//> x" gives "x", a bare "//>" "".
std::string After(const std::string& line, size_t mark) {
  return line.size() > mark ? line.substr(mark + 1) : std::string();
}

// The game settings a case asks for by name, added to `settings`; false for
// a name that is not one of them.
bool AddSettings(const std::string& names, unsigned& settings) {
  static const std::pair<const char*, unsigned> kNames[] = {{"uninitzero", SET_UNINITZERO},
                                                           {"checkargs", SET_CHECKARGS},
                                                           {"aborterrors", SET_ABORTERRORS},
                                                           {"noshowerrors", SET_NOSHOWERRORS}};
  std::istringstream words(names);
  for (std::string word; words >> word;) {
    const auto* found = std::find_if(std::begin(kNames), std::end(kNames), [&](const auto& n) { return word == n.first; });
    if (found == std::end(kNames)) return false;
    settings |= found->second;
  }
  return true;
}

// Reads the cases of one file; a line it cannot place fails the test.
std::vector<CodeCase> ReadCases(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<CodeCase> cases;
  std::vector<std::string> code;
  bool inCode = false;
  auto finishCode = [&] {
    if (!inCode) return;
    std::string text;
    for (size_t i = 0; i < code.size(); ++i) text += (i ? "\n" : "") + code[i];
    cases.back().code = text;
    inCode = false;
  };
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (StartsWith(line, "#case ")) {
      finishCode();
      cases.push_back({line.substr(6), "", "", "", 0});
      code.clear();
      inCode = true;
    } else if (cases.empty()) {
      continue;  // the file's description
    } else if (StartsWith(line, "//>") || StartsWith(line, "//!") || StartsWith(line, "//status ") ||
               StartsWith(line, "//settings ")) {
      finishCode();
      if (StartsWith(line, "//>")) cases.back().out += After(line, 3) + "\n";
      else if (StartsWith(line, "//!")) cases.back().err += After(line, 3) + "\n";
      else if (StartsWith(line, "//status ")) cases.back().status = std::stoi(line.substr(9));
      else if (!AddSettings(line.substr(11), cases.back().settings))
        ADD_FAILURE() << file << ":" << number << ": an unknown setting in \"" << line << "\"";
    } else if (inCode) {
      code.push_back(line);
    } else if (!line.empty()) {
      ADD_FAILURE() << file << ":" << number << ": a line after the expected output of \"" << cases.back().name
                    << "\" that is neither an expectation nor a new case";
    }
  }
  finishCode();
  return cases;
}

TEST(Cases, EveryCaseOfEveryFile) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(TAVRIN_TESTS_DIR) / "script" / "cases"))
    if (entry.path().extension() == ".tvs") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  ASSERT_FALSE(files.empty());
  for (const auto& file : files) {
    SCOPED_TRACE(file.filename().string());
    const std::vector<CodeCase> cases = ReadCases(file);
    EXPECT_FALSE(cases.empty());
    RunTable(cases);
  }
}

}  // namespace
}  // namespace tavrin::test
