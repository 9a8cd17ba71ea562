// Zoom steps and the window title bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "state/view_state.h"
#include "tests/hex.h"
#include "tests/view_model.h"
#include "view/zoom.h"

namespace {

using viewmodel::LevelText;
using viewmodel::Title;

struct TitleCase {
  const char* name;
  int level;
  int coordLocked;  // the lock mark follows the level
};

const TitleCase kTitles[] = {
    {.name = "Level2Unlocked", .level = 2, .coordLocked = 0},
    {.name = "Level2Locked", .level = 2, .coordLocked = 1},
    {.name = "Level1Unlocked", .level = 1, .coordLocked = 0},
    {.name = "Level24Locked", .level = 24, .coordLocked = 1},
    {.name = "Level0Unlocked", .level = 0, .coordLocked = 0},
    {.name = "Level0Locked", .level = 0, .coordLocked = 1},
    {.name = "LevelMinus1Unlocked", .level = -1, .coordLocked = 0},
    {.name = "LevelMinus2Locked", .level = -2, .coordLocked = 1},
    {.name = "LevelMinus8Unlocked", .level = -8, .coordLocked = 0},
    {.name = "LevelMinus8Locked", .level = -8, .coordLocked = 1},
    {.name = "LevelMinus9Unlocked", .level = -9, .coordLocked = 0},
    {.name = "LevelMinus9Locked", .level = -9, .coordLocked = 1},
    {.name = "BelowMinus9ShowsStar", .level = -10, .coordLocked = 0},
};

// The expected text of each level is viewmodel::LevelText's.
TEST(ZoomTitle, ExactBytesForEveryKindOfLevel) {
  for (const TitleCase& row : kTitles) {
    viewState = ViewState{};
    viewState.coordLocked = row.coordLocked;
    char buffer[kTitleBufferSize];
    std::memset(buffer, 0x55, sizeof buffer);
    const int written = FormatTitle(buffer, row.level);
    const std::string expected = Title(row.level, row.coordLocked == 1);
    const std::string got(buffer, std::strlen(buffer));
    EXPECT_EQ(hex::Bytes(expected, " "), hex::Bytes(got, " ")) << row.name;
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
    int level;
    int divisor;  // the level's factor is 2/divisor
  };
  // The title's 1/denominator is LevelText's (2/3 at level 0, no denominator).
  const Row rows[] = {{.level = 0, .divisor = 3},   {.level = -1, .divisor = 4},  {.level = -2, .divisor = 6},
                      {.level = -3, .divisor = 8},  {.level = -4, .divisor = 12}, {.level = -5, .divisor = 16},
                      {.level = -6, .divisor = 24}, {.level = -7, .divisor = 32}, {.level = -8, .divisor = 48},
                      {.level = -9, .divisor = 64}};
  for (const Row& row : rows) {
    if (row.level < 0) {
      EXPECT_EQ(LevelText(row.level), "1/" + std::to_string(ZoomDenominator(row.level))) << "level " << row.level;
    }
    EXPECT_EQ(row.divisor, ZoomDivisor(row.level)) << "level " << row.level;
  }
  // Out of range levels never yield a zero divisor.
  EXPECT_EQ(64, ZoomDivisor(INT32_MIN));
  EXPECT_EQ(32, ZoomDenominator(INT32_MIN));
}

TEST(ZoomSteps, ClampKeepsLevelsInsideTheRange) {
  struct Row {
    int level, clamped;
  };
  const Row rows[] = {{.level = INT32_MIN, .clamped = -9}, {.level = -10, .clamped = -9},
                      {.level = -9, .clamped = -9},        {.level = 0, .clamped = 0},
                      {.level = 24, .clamped = 24},        {.level = 25, .clamped = 24},
                      {.level = 99, .clamped = 24},        {.level = INT32_MAX, .clamped = 24}};
  for (const Row& row : rows) EXPECT_EQ(row.clamped, ClampZoomLevel(row.level)) << "level " << row.level;
}

}  // namespace
