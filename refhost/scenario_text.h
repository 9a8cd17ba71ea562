// The text side of the scenario language: splitting a line into tokens, and
// the forms in which checks compare values (hex bytes, RRGGBB colours, UTF-16
// code units shown as text).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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

}  // namespace refhost
