#include "platform/Platform_Transcript.h"

#include <cstdio>

namespace tavrin {

namespace {

FILE* g_Transcript = nullptr;

std::string OneLine(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\\') out += "\\\\";
    else if (c == '\r' || c == '\n') {
      out += "\\n";
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;  // CR LF is one break
    } else out += c;
  }
  return out;
}

}  // namespace

bool Transcript_Open(const std::string& file, std::string& error) {
  Transcript_Close();
  g_Transcript = std::fopen(file.c_str(), "wb");
  if (!g_Transcript) error = "cannot write the transcript " + file;
  return g_Transcript != nullptr;
}

void Transcript_Close() {
  if (g_Transcript) std::fclose(g_Transcript);
  g_Transcript = nullptr;
}

bool Transcript_Active() { return g_Transcript != nullptr; }

void Transcript_Record(const RModalRecord& r) {
  if (!g_Transcript) return;
  std::string buttons;
  for (const std::string& b : r.buttons) buttons += (buttons.empty() ? "" : " | ") + OneLine(b);
  // An empty value leaves no blank after its colon.
  auto field = [](const char* name, const std::string& value) {
    return std::string(name) + ":" + (value.empty() ? "" : " " + value) + "\n";
  };
  const std::string block = field("window", r.kind) + field("caption", OneLine(r.caption)) +
                            field("text", OneLine(r.text)) + field("buttons", buttons) +
                            field("answer", OneLine(r.answer)) + field("by", r.by) + "\n";
  std::fwrite(block.data(), 1, block.size(), g_Transcript);
  // Written at once: a run that ends badly still says what it was asked.
  std::fflush(g_Transcript);
}

std::string Transcript_By(int answersLine) {
  return answersLine > 0 ? "line " + std::to_string(answersLine) : "default";
}

}  // namespace tavrin
