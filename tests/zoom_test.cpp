// Zoom steps and the window title bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "state/view_state.h"
#include "tests/view_model.h"
#include "view/zoom.h"

namespace {

using viewmodel::Title;

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
  std::string expected;  // Shift_JIS bytes
};

const TitleCase kTitles[] = {
    {"Level2Unlocked", 2, 0, Title("2")},
    {"Level2Locked", 2, 1, Title("2", true)},
    {"Level1Unlocked", 1, 0, Title("1")},
    {"Level24Locked", 24, 1, Title("24", true)},
    {"Level0Unlocked", 0, 0, Title("2/3")},
    {"Level0Locked", 0, 1, Title("2/3", true)},
    {"LevelMinus1Unlocked", -1, 0, Title("1/2")},
    {"LevelMinus2Locked", -2, 1, Title("1/3", true)},
    {"LevelMinus8Unlocked", -8, 0, Title("1/24")},
    {"LevelMinus8Locked", -8, 1, Title("1/24", true)},
    {"LevelMinus9Unlocked", -9, 0, Title("1/32")},
    {"LevelMinus9Locked", -9, 1, Title("1/32", true)},
    {"BelowMinus9ShowsStar", -10, 0, Title("*")},
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
