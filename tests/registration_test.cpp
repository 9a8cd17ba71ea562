// The record the host reads right after loading, and the state a fresh module starts in.
#include <cstddef>
#include <cstring>
#include <tuple>

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
  EXPECT_EQ(std::tie(s.centreX, s.centreY), std::tuple(16, 16));
  EXPECT_EQ(std::tie(s.pendingDx, s.pendingDy, s.lastMouseX, s.lastMouseY), std::tuple(0, 0, 0, 0)) << "no drag";
  EXPECT_EQ(std::tie(s.frameWidth, s.frameHeight), std::tuple(0, 0)) << "no frame";
  EXPECT_EQ(s.snapshotDc, nullptr);
  EXPECT_EQ(s.snapshotBitmap, nullptr);
  EXPECT_EQ(std::tie(s.rulerOn, s.gridMode, s.wheelReversed, s.menuOn), std::tuple(1, 0, 0, 1)) << "the settings";
  EXPECT_EQ(std::tie(s.coordLocked, s.dragging, s.tracking), std::tuple(0, 0, 0)) << "the pointer idle";
}

}  // namespace
