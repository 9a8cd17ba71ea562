#include "refhost/scenario/scenario_text.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "window/menu_commands.h"

namespace refhost {
namespace {

struct MenuCommand {
  const char* name;
  UINT id;
};
// clang-format off
constexpr MenuCommand kMenuCommands[] = {
    {"wheel-reverse", CmdWheelReverse},
    {"ruler",         CmdRuler},
    {"grid-none",     CmdGridNone},
    {"grid-black",    CmdGridBlack},
    {"grid-white",    CmdGridWhite},
};
// clang-format on

}  // namespace

bool ParseInt(const std::string& s, long* out) {
  if (s.empty()) return false;
  char* end = nullptr;
  const long v = std::strtol(s.c_str(), &end, 0);
  if (*end != '\0') return false;
  *out = v;
  return true;
}

bool IsHex(const std::string& s) {
  if (s.size() % 2 != 0) return false;
  for (char c : s)
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

std::string ToHex(const std::string& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string RgbText(uint32_t rgb) {
  char text[8];
  std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(rgb & 0xFFFFFF));
  return text;
}

std::u16string Utf8ToUtf16(const std::string& s) {
  std::u16string out;
  for (size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    uint32_t cp = c;
    int extra = 0;
    if (c >= 0xF0) cp = c & 7, extra = 3;
    else if (c >= 0xE0) cp = c & 15, extra = 2;
    else if (c >= 0xC0) cp = c & 31, extra = 1;
    ++i;
    for (int k = 0; k < extra && i < s.size(); ++k, ++i) cp = cp << 6 | (static_cast<unsigned char>(s[i]) & 63);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

std::string Utf16Text(const std::u16string& s) {
  std::string out;
  char unit[9];  // "<U+XXXX>" and its NUL
  for (char16_t c : s) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      std::snprintf(unit, sizeof unit, "<U+%04X>", static_cast<unsigned>(c));
      out += unit;
    }
  }
  return out;
}

bool ParseMenuCommand(const std::string& name, UINT* id) {
  for (const MenuCommand& command : kMenuCommands)
    if (name == command.name) {
      *id = command.id;
      return true;
    }
  return false;
}

std::string MenuCommandText(UINT id) {
  for (const MenuCommand& command : kMenuCommands)
    if (id == command.id) return command.name;
  return std::to_string(id);
}

std::string MenuCommandNames() {
  std::string names;
  for (const MenuCommand& command : kMenuCommands) names += (names.empty() ? "" : ", ") + std::string(command.name);
  return names;
}

bool Tokenize(const std::string& line, std::vector<std::string>* tokens, long* repeat, std::string* error) {
  *repeat = 1;
  bool repeated = false;
  size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == '#') break;
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
      continue;
    }
    if (repeated) {
      *error = "malformed repetition";  // "*N" is not the last token
      return false;
    }
    if (c == '"') {
      const size_t close = line.find('"', i + 1);
      if (close == std::string::npos) {
        *error = "unterminated quote";
        return false;
      }
      tokens->push_back(line.substr(i + 1, close - i - 1));
      i = close + 1;
      continue;
    }
    size_t end = i;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '\r') ++end;
    const std::string token = line.substr(i, end - i);
    i = end;
    if (token[0] != '*') {
      tokens->push_back(token);
      continue;
    }
    repeated = true;
    if (tokens->empty() || !ParseInt(token.substr(1), repeat)) {
      *error = "malformed repetition";
      return false;
    }
    if (*repeat < 1 || *repeat > kMaxRepeat) {
      *error = "repetition count out of 1.." + std::to_string(kMaxRepeat);
      return false;
    }
  }
  return true;
}

}  // namespace refhost
