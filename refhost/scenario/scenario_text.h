// The text side of the scenario language: splitting a line into tokens, and
// the forms in which steps and checks give values (hex bytes, RRGGBB colours,
// UTF-16 code units shown as text, menu commands by name).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace refhost {

// Splits a line into tokens; '#' starts a comment, a double-quoted token keeps
// its blanks. A last unquoted token "*N" (N in 1..kMaxRepeat) is no token: it
// sets *repeat to N. False with a reason in error for a malformed line.
constexpr long kMaxRepeat = 10000;
bool Tokenize(const std::string& line, std::vector<std::string>* tokens, long* repeat, std::string* error);

// A whole token as an integer (decimal, 0x hex or 0 octal).
bool ParseInt(const std::string& s, long* out);
// An even number of hex digits.
bool IsHex(const std::string& s);
std::string ToHex(const std::string& bytes);
std::string Upper(std::string s);
// 0xRRGGBB as six hex digits.
std::string RgbText(uint32_t rgb);
std::u16string Utf8ToUtf16(const std::string& s);
// Printable ASCII as is, every other code unit as <U+XXXX>.
std::string Utf16Text(const std::u16string& s);

// A menu command's identifier by its name ("grid-black"); false for a name no
// command has.
bool ParseMenuCommand(const std::string& name, UINT* id);
// The command's name, or the number for an identifier no command has.
std::string MenuCommandText(UINT id);
// Every name, in menu order, separated by ", ".
std::string MenuCommandNames();

}  // namespace refhost
