// The record the host reads right after loading, and the state a fresh module starts in.
#include <cstddef>
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
    const char* what;  // the words, by byte offset in the record
    size_t offset;
    size_t size;  // bytes
  };
  const Named zeros[] = {
      {.what = "declaration words 16..44", .offset = offsetof(FilterTable, declared0), .size = sizeof t.declared0},
      {.what = "callback words 52..60", .offset = offsetof(FilterTable, callbacks0), .size = sizeof t.callbacks0},
      {.what = "host words 68, 72", .offset = offsetof(FilterTable, hostWords0), .size = sizeof t.hostWords0},
      {.what = "declaration words 76, 80", .offset = offsetof(FilterTable, declared1), .size = sizeof t.declared1},
      {.what = "callback words 88, 92", .offset = offsetof(FilterTable, callbacks1), .size = sizeof t.callbacks1},
      {.what = "host word 104", .offset = offsetof(FilterTable, hostWord104), .size = sizeof t.hostWord104},
      {.what = "declaration word 108", .offset = offsetof(FilterTable, declared2), .size = sizeof t.declared2},
      {.what = "callback words 112..124", .offset = offsetof(FilterTable, callbacks2), .size = sizeof t.callbacks2},
      {.what = "host word 128", .offset = offsetof(FilterTable, hostWord128), .size = sizeof t.hostWord128},
      {.what = "reserved words 132, 136", .offset = offsetof(FilterTable, reserved), .size = sizeof t.reserved},
  };
  for (const Named& n : zeros) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&t) + n.offset;
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
