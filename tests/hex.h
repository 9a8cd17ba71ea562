// Numbers and bytes in hexadecimal, as every test program's failure messages
// show them: colours as RRGGBB, words as 0x and eight digits, Shift_JIS and
// resource bytes two digits each.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace hex {

// value in digits upper-case hexadecimal digits, e.g. Digits(0xFF8000, 6) is "FF8000".
inline std::string Digits(uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", digits, static_cast<unsigned>(value));
  return text;
}

// A 0xRRGGBB colour.
inline std::string Rgb(uint32_t rgb) { return Digits(rgb & 0xFFFFFF, 6); }

// A 32-bit word as 0x and eight digits.
inline std::string Word(uint32_t value) { return "0x" + Digits(value, 8); }

// Each byte as two digits, with between (say " ") between them.
inline std::string Bytes(const std::string& bytes, const char* between = "") {
  std::string out;
  for (unsigned char c : bytes) out += (out.empty() ? "" : between) + Digits(c, 2);
  return out;
}

}  // namespace hex
