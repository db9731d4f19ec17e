#include "functions/Support_Ini.h"

#include <cmath>
#include <cstdio>

#include "platform/Platform_File.h"

namespace tavrin {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Names and values are single lines.
std::string OneLine(std::string_view s) {
  std::string line(s);
  for (char& c : line)
    if (c == '\r' || c == '\n') c = ' ';
  return line;
}

// A value whose ends would be trimmed, or that is quoted itself, is written
// in quotes so that it reads back as it was.
std::string ValueText(const std::string& value) {
  const bool quote = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()) ||
                                        (value.size() >= 2 && value.front() == '"' && value.back() == '"'));
  return quote ? "\"" + value + "\"" : value;
}

}  // namespace

void CIniFile::Parse(std::string_view text) {
  m_sections.clear();
  m_sections.emplace_back();
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view raw = text.substr(pos, end - pos);
    // CR LF, LF and a lone CR each end a line.
    pos = end;
    if (pos < text.size()) pos += text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n' ? 2 : 1;

    const std::string_view line = Trim(raw);
    const size_t close = line.rfind(']');
    if (!line.empty() && line.front() == '[' && close != std::string_view::npos) {
      RSection& s = m_sections.emplace_back();
      s.named = true;
      s.name = std::string(Trim(line.substr(1, close - 1)));
      continue;
    }
    const size_t equals = line.find('=');
    if (line.empty() || line.front() == ';' || line.front() == '#' || equals == std::string_view::npos || equals == 0) {
      m_sections.back().lines.push_back({false, {}, std::string(raw)});
      continue;
    }
    std::string_view value = Trim(line.substr(equals + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    m_sections.back().lines.push_back({true, std::string(Trim(line.substr(0, equals))), std::string(value)});
  }
}

std::string CIniFile::Text() const {
  std::string text;
  for (const RSection& s : m_sections) {
    if (s.named) text += "[" + s.name + "]\r\n";
    for (const RLine& l : s.lines) text += (l.isKey ? l.name + "=" + ValueText(l.value) : l.value) + "\r\n";
  }
  return text;
}

const CIniFile::RSection* CIniFile::FindSection(std::string_view section) const {
  for (const RSection& s : m_sections)
    if (s.named && Name_Same(s.name, section)) return &s;
  return nullptr;
}
CIniFile::RSection* CIniFile::FindSection(std::string_view section) {
  return const_cast<RSection*>(static_cast<const CIniFile*>(this)->FindSection(section));
}

const std::string* CIniFile::Find(std::string_view section, std::string_view key) const {
  const RSection* s = FindSection(section);
  if (!s) return nullptr;
  for (const RLine& l : s->lines)
    if (l.isKey && Name_Same(l.name, key)) return &l.value;
  return nullptr;
}

bool CIniFile::SectionExists(std::string_view section) const { return FindSection(section) != nullptr; }

bool CIniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
  const std::string sectionName(Trim(OneLine(section))), keyName(Trim(OneLine(key)));
  // A key that would read back as something else is not written: an empty
  // name, one holding "=", and one that begins like a section or a comment.
  if (keyName.empty() || keyName.find('=') != std::string::npos || keyName[0] == '[' || keyName[0] == ';' ||
      keyName[0] == '#')
    return false;
  RSection* s = FindSection(sectionName);
  if (!s) {
    if (m_sections.empty()) m_sections.emplace_back();
    s = &m_sections.emplace_back();
    s->named = true;
    s->name = sectionName;
  }
  for (RLine& l : s->lines) {
    if (l.isKey && Name_Same(l.name, keyName)) {
      l.value = OneLine(value);
      return true;
    }
  }
  // A new key goes after the section's last key (or first in a section
  // without keys), before the blank lines that separate it from the next.
  auto at = s->lines.begin();
  for (auto i = s->lines.begin(); i != s->lines.end(); ++i)
    if (i->isKey) at = i + 1;
  s->lines.insert(at, {true, keyName, OneLine(value)});
  return true;
}

void CIniFile::DeleteKey(std::string_view section, std::string_view key) {
  RSection* s = FindSection(section);
  if (!s) return;
  std::erase_if(s->lines, [&](const RLine& l) { return l.isKey && Name_Same(l.name, key); });
}

void CIniFile::DeleteSection(std::string_view section) {
  std::erase_if(m_sections, [&](const RSection& s) { return s.named && Name_Same(s.name, section); });
}

double Ini_ParseReal(std::string_view text) {
  double mantissa = 0, sign = 1, scale = 1;
  int exponent = 0, exponentSign = 1;
  bool point = false, inExponent = false, exponentSignSet = false;
  for (const char c : text) {
    if (c == '.' || c == ',') {
      if (point || inExponent) break;
      point = true;
    } else if (c == 'E' || c == 'e') {
      if (inExponent) break;
      inExponent = true;
    } else if (c == '-') {
      if (inExponent) {
        if (!exponentSignSet) exponentSign = -1;
        exponentSignSet = true;
      } else {
        sign = -sign;
      }
    } else if (c >= '0' && c <= '9') {
      if (inExponent) {
        if (exponent < 100000) exponent = exponent * 10 + (c - '0');  // far past any double already
      } else if (point) {
        scale /= 10;
        mantissa += scale * (c - '0');
      } else {
        mantissa = mantissa * 10 + (c - '0');
      }
    } else {
      break;
    }
  }
  if (mantissa == 0) return sign * 0.0 + 0.0;
  return std::pow(10.0, exponentSign * exponent) * sign * mantissa;
}

std::string Ini_RealText(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.15g", value);
  // The reader takes no "+": "1e+20" is written "1e20" so that it reads back.
  std::string text = buffer;
  if (const size_t plus = text.find('+'); plus != std::string::npos) text.erase(plus, 1);
  return text;
}

}  // namespace tavrin
