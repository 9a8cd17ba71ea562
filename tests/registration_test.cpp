// The record the host reads right after loading, and the state a fresh module starts in.
#include <cstring>

#include <gtest/gtest.h>

#include "host/filter_table.h"
#include "state/view_state.h"

namespace {

TEST(Registration, BothEntryPointsHandOutTheOneRecord) {
  EXPECT_EQ(GetFilterTable(), &filterTable);
  EXPECT_EQ(GetFilterTableYUY2(), &filterTable);
}

TEST(Registration, DeclarationWordsAsTheHostReadsThem) {
  const FilterTable& t = *GetFilterTable();
  EXPECT_EQ(static_cast<uint32_t>(t.flags), 0x4004E004u);
  EXPECT_EQ(t.windowWidth, 288);
  EXPECT_EQ(t.windowHeight, 288);
  EXPECT_STREQ(t.name, "Tavimo");
  EXPECT_STREQ(t.information, "Tavimo r10 by Pemlo");
  EXPECT_EQ(t.filterProc, &FilterProc);
  EXPECT_EQ(t.filterWndProc, &FilterWndProc);
}

TEST(Registration, EveryOtherWordIsZeroBeforeTheHostWrites) {
  // A copy, so that words a fake host wrote in other tests do not count.
  FilterTable t = *GetFilterTable();
  t.services = nullptr;
  t.window = nullptr;
  struct Named {
    const char* what;
    const void* begin;
    size_t size;
  };
  const Named zeros[] = {
      {"declaration words 16..44", t.declared0, sizeof t.declared0},
      {"callback words 52..60", t.callbacks0, sizeof t.callbacks0},
      {"host words 68, 72", t.hostWords0, sizeof t.hostWords0},
      {"declaration words 76, 80", t.declared1, sizeof t.declared1},
      {"callback words 88, 92", t.callbacks1, sizeof t.callbacks1},
      {"host word 104", &t.hostWord104, sizeof t.hostWord104},
      {"declaration word 108", &t.declared2, sizeof t.declared2},
      {"callback words 112..124", t.callbacks2, sizeof t.callbacks2},
      {"host word 128", &t.hostWord128, sizeof t.hostWord128},
      {"reserved words 132, 136", t.reserved, sizeof t.reserved},
  };
  for (const Named& n : zeros) {
    const auto* bytes = static_cast<const unsigned char*>(n.begin);
    for (size_t i = 0; i < n.size; ++i) ASSERT_EQ(bytes[i], 0) << n.what << ", byte " << i;
  }
  EXPECT_EQ(GetFilterTable()->hostWord104, nullptr);
}

TEST(ViewStateTest, StartsFromItsLoadTimeValues) {
  const ViewState s{};
  EXPECT_EQ(s.zoomLevel, 2);
  EXPECT_EQ(s.centreX, 16);
  EXPECT_EQ(s.centreY, 16);
  EXPECT_EQ(s.pendingDx, 0);
  EXPECT_EQ(s.pendingDy, 0);
  EXPECT_EQ(s.lastMouseX, 0);
  EXPECT_EQ(s.lastMouseY, 0);
  EXPECT_EQ(s.frameWidth, 0);
  EXPECT_EQ(s.frameHeight, 0);
  EXPECT_EQ(s.snapshotDc, nullptr);
  EXPECT_EQ(s.snapshotBitmap, nullptr);
  EXPECT_EQ(s.rulerOn, 1);
  EXPECT_EQ(s.gridMode, 0);
  EXPECT_EQ(s.wheelReversed, 0);
  EXPECT_EQ(s.menuOn, 1);
  EXPECT_EQ(s.coordLocked, 0);
  EXPECT_EQ(s.dragging, 0);
  EXPECT_EQ(s.tracking, 0);
}

}  // namespace
