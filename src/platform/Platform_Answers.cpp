#include "platform/Platform_Answers.h"

#include <cstdio>
#include <fstream>

#include "platform/Platform_Quit.h"

namespace tavrin {

namespace {

struct RAnswers {
  std::vector<std::string> lines;
  size_t next = 0;
  bool headless = false;
  bool refused = false;
};
RAnswers g_Answers;

}  // namespace

bool Answers_Load(const std::string& file, std::string& error) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    error = "cannot read the answers file " + file;
    return false;
  }
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  Answers_Set(std::move(lines));
  return true;
}

void Answers_Set(std::vector<std::string> lines) {
  g_Answers.lines = std::move(lines);
  g_Answers.next = 0;
  g_Answers.refused = false;
}

void Answers_SetHeadless(bool headless) { g_Answers.headless = headless; }
bool Answers_Headless() { return g_Answers.headless; }

bool Answers_Next(std::string& answer, int& line) {
  if (g_Answers.refused) return false;
  while (g_Answers.next < g_Answers.lines.size()) {
    const size_t i = g_Answers.next++;
    const std::string& text = g_Answers.lines[i];
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos || text[first] == '#') continue;
    answer = text;
    line = int(i) + 1;
    return true;
  }
  return false;
}

bool Answers_Peek(std::string& answer) {
  const size_t next = g_Answers.next;
  int line = 0;
  const bool got = Answers_Next(answer, line);
  g_Answers.next = next;
  return got;
}

void Answers_Refuse(const std::string& window, const std::string& answer, int line, const std::string& why) {
  if (g_Answers.refused) return;
  g_Answers.refused = true;
  std::fflush(stdout);
  if (line > 0)
    std::fprintf(stderr, "tavrin: answer \"%s\" (line %d of the answers) does not fit %s: %s\n", answer.c_str(),
                 line, window.c_str(), why.c_str());
  else
    std::fprintf(stderr, "tavrin: %s needs an answer: %s\n", window.c_str(), why.c_str());
  std::fflush(stderr);
  Quit_Request();
}

bool Answers_Refused() { return g_Answers.refused; }

}  // namespace tavrin
