// Zoom steps and the window title bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "state/view_state.h"
#include "view/zoom.h"

namespace {

// Bytes of a Shift_JIS string, readable in a failure message.
std::string Hex(const std::string& s) {
  std::string out;
  char part[4];
  for (unsigned char c : s) {
    std::snprintf(part, sizeof part, "%02X ", c);
    out += part;
  }
  return out;
}

struct TitleCase {
  const char* name;
  int level;
  int coordLocked;
  const char* expected;  // Shift_JIS bytes
};

// "倍" (times) is 0x94 0x7B; "[座標固定]" (coordinates locked) is
// 5B 8D C0 95 57 8C C5 92 E8 5D. An unlocked title ends in the format's space
// followed by the one-space suffix.
const TitleCase kTitles[] = {
    {"Level2Unlocked", 2, 0, "Tavimo - 2\x94\x7B  "},
    {"Level2Locked", 2, 1, "Tavimo - 2\x94\x7B [\x8D\xC0\x95\x57\x8C\xC5\x92\xE8]"},
    {"Level1Unlocked", 1, 0, "Tavimo - 1\x94\x7B  "},
    {"Level24Locked", 24, 1, "Tavimo - 24\x94\x7B [\x8D\xC0\x95\x57\x8C\xC5\x92\xE8]"},
    {"Level0Unlocked", 0, 0, "Tavimo - 2/3\x94\x7B  "},
    {"Level0Locked", 0, 1, "Tavimo - 2/3\x94\x7B [\x8D\xC0\x95\x57\x8C\xC5\x92\xE8]"},
    {"LevelMinus1Unlocked", -1, 0, "Tavimo - 1/2\x94\x7B  "},
    {"LevelMinus2Locked", -2, 1, "Tavimo - 1/3\x94\x7B [\x8D\xC0\x95\x57\x8C\xC5\x92\xE8]"},
    {"LevelMinus8Unlocked", -8, 0, "Tavimo - 1/24\x94\x7B  "},
    {"LevelMinus8Locked", -8, 1, "Tavimo - 1/24\x94\x7B [\x8D\xC0\x95\x57\x8C\xC5\x92\xE8]"},
    {"LevelMinus9Unlocked", -9, 0, "Tavimo - 1/32\x94\x7B  "},
    {"LevelMinus9Locked", -9, 1, "Tavimo - 1/32\x94\x7B [\x8D\xC0\x95\x57\x8C\xC5\x92\xE8]"},
    {"BelowMinus9ShowsStar", -10, 0, "Tavimo - *\x94\x7B  "},
};

TEST(ZoomTitle, ExactBytesForEveryKindOfLevel) {
  for (const TitleCase& row : kTitles) {
    viewState = ViewState{};
    viewState.coordLocked = row.coordLocked;
    char buffer[kTitleBufferSize];
    std::memset(buffer, 0x55, sizeof buffer);
    const int written = FormatTitle(buffer, row.level);
    const std::string expected = row.expected;
    const std::string got(buffer, std::strlen(buffer));
    EXPECT_EQ(Hex(expected), Hex(got)) << row.name;
    EXPECT_EQ(static_cast<int>(expected.size()), written) << row.name;
  }
}

TEST(ZoomTitle, ExtremeLevelsStayInsideTheBuffer) {
  for (int level : {INT32_MAX, INT32_MIN}) {
    viewState = ViewState{};
    viewState.coordLocked = 1;
    char buffer[kTitleBufferSize + 1];
    buffer[kTitleBufferSize] = 0x55;
    const int written = FormatTitle(buffer, level);
    EXPECT_EQ(static_cast<int>(std::strlen(buffer)), written) << level;
    EXPECT_EQ(0x55, buffer[kTitleBufferSize]) << level;
  }
}

TEST(ZoomSteps, DivisorsAndDenominatorsOfTheReducingLevels) {
  struct Row {
    int level, denominator, divisor;
  };
  // Factor 2/divisor; the title shows 1/denominator (2/3 at level 0).
  const Row rows[] = {{0, 0, 3},    {-1, 2, 4},   {-2, 3, 6},   {-3, 4, 8},   {-4, 6, 12},
                      {-5, 8, 16},  {-6, 12, 24}, {-7, 16, 32}, {-8, 24, 48}, {-9, 32, 64}};
  for (const Row& row : rows) {
    if (row.level < 0) {
      EXPECT_EQ(row.denominator, ZoomDenominator(row.level)) << "level " << row.level;
    }
    EXPECT_EQ(row.divisor, ZoomDivisor(row.level)) << "level " << row.level;
  }
  // Out of range levels never yield a zero divisor.
  EXPECT_EQ(64, ZoomDivisor(INT32_MIN));
  EXPECT_EQ(32, ZoomDenominator(INT32_MIN));
}

TEST(ZoomSteps, ClampKeepsLevelsInsideTheRange) {
  const int rows[][2] = {{INT32_MIN, -9}, {-10, -9}, {-9, -9}, {0, 0}, {24, 24}, {25, 24}, {99, 24}, {INT32_MAX, 24}};
  for (const auto& row : rows) EXPECT_EQ(row[1], ClampZoomLevel(row[0])) << "level " << row[0];
}

}  // namespace
