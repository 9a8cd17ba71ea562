// The menu bar (window/menu_bar.cpp) and its commands: texts, identifiers and
// check marks, the records they are built with, and commands without a menu bar.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/window_test.h"

namespace {

using namespace windowtest;

TEST(MenuBar, TextsIdsAndFirstChecks) {
  fakehost::Host& host = fakehost::Start();
  fakehost::Init();
  HMENU bar = standin::WindowMenu(host.window);
  ASSERT_NE(bar, nullptr);
  std::vector<standin::MenuItem> top = standin::MenuItems(bar);
  ASSERT_EQ(top.size(), 1u);
  EXPECT_EQ(top[0].text, "\x90\xDD\x92\xE8");  // "設定"
  ASSERT_NE(top[0].subMenu, nullptr);
  struct Item {
    UINT id;
    std::string text;  // Shift_JIS
    UINT state;
  };
  const std::string gridLine = "\x83\x4F\x83\x8A\x83\x62\x83\x68\x90\xFC";  // "グリッド線"
  // The identifiers as numbers, as the host's command notification sends them.
  // clang-format off
  const Item want[] = {
      // "ホイール反転"
      {.id = 101, .text = "\x83\x7A\x83\x43\x81\x5B\x83\x8B\x94\xBD\x93\x5D", .state = MFS_UNCHECKED},
      {.id = 102, .text = "\x83\x8B\x81\x5B\x83\x89\x81\x5B", .state = MFS_CHECKED},  // "ルーラー"
      {.id = 103, .text = gridLine + "(\x82\xC8\x82\xB5)", .state = MFS_CHECKED},          // "グリッド線(なし)"
      {.id = 104, .text = gridLine + "(\x8D\x95)", .state = MFS_UNCHECKED},                  // "グリッド線(黒)"
      {.id = 105, .text = gridLine + "(\x94\x92)", .state = MFS_UNCHECKED},                  // "グリッド線(白)"
  };
  // clang-format on
  std::vector<standin::MenuItem> items = standin::MenuItems(top[0].subMenu);
  ASSERT_EQ(items.size(), 5u);
  for (size_t i = 0; i < 5; ++i) {
    SCOPED_TRACE("popup position " + std::to_string(i));
    EXPECT_EQ(items[i].id, want[i].id);
    EXPECT_EQ(items[i].text, want[i].text);
    EXPECT_EQ(items[i].type, static_cast<UINT>(MFT_STRING));
    EXPECT_EQ(items[i].state, want[i].state);
  }
  EXPECT_EQ(standin::GetBooks().menusAlive, 2);
}

TEST(MenuBar, BuiltAndCheckedThroughTheAnsiRecords) {
  fakehost::Host& host = fakehost::Start();
  host.stored["grid"] = 1;
  fakehost::Init();
  HMENU bar = standin::WindowMenu(host.window);
  ASSERT_NE(bar, nullptr);
  HMENU popup = Popup(host.window);
  const int64_t size = sizeof(MENUITEMINFOA);
  // hmenu, position, by position, cbSize, fMask, fType, fState, wID, hSubMenu
  const std::vector<std::vector<int64_t>> want = {
      {standin::H(bar), 0, TRUE, size, MIIM_SUBMENU | MIIM_TYPE, MFT_STRING, 0, 0, standin::H(popup)},
      {standin::H(popup), 0, TRUE, size, MIIM_TYPE | MIIM_ID | MIIM_STATE, MFT_STRING, MFS_UNCHECKED, 101},
      {standin::H(popup), 1, TRUE, size, MIIM_TYPE | MIIM_ID | MIIM_STATE, MFT_STRING, MFS_CHECKED, 102},
      {standin::H(popup), 2, TRUE, size, MIIM_TYPE | MIIM_ID | MIIM_STATE, MFT_STRING, MFS_UNCHECKED, 103},
      {standin::H(popup), 3, TRUE, size, MIIM_TYPE | MIIM_ID | MIIM_STATE, MFT_STRING, MFS_CHECKED, 104},
      {standin::H(popup), 4, TRUE, size, MIIM_TYPE | MIIM_ID | MIIM_STATE, MFT_STRING, MFS_UNCHECKED, 105},
  };
  std::vector<standin::Call> inserts = standin::CallsTo("InsertMenuItemA");
  ASSERT_EQ(inserts.size(), want.size()) << Log();
  for (size_t i = 0; i < want.size(); ++i) {
    for (size_t k = 0; k < want[i].size(); ++k) {
      EXPECT_EQ(inserts[i].args.at(k), want[i][k])
          << "insert " << i << ", argument " << k << ": " << standin::ToString(inserts[i]);
    }
  }
  std::vector<standin::Call> setMenus = standin::CallsTo("SetMenu");
  ASSERT_EQ(setMenus.size(), 1u);
  EXPECT_EQ(setMenus[0].args.at(1), standin::H(bar));

  // A check change names the item by identifier and touches only its state.
  standin::ClearCalls();
  Send(WM_COMMAND, CmdRuler);
  std::vector<standin::Call> sets = standin::CallsTo("SetMenuItemInfoA");
  ASSERT_EQ(sets.size(), 1u);
  const std::vector<int64_t> wantSet = {standin::H(bar), CmdRuler, FALSE, size, MIIM_STATE, MFT_STRING, MFS_UNCHECKED};
  for (size_t k = 0; k < wantSet.size(); ++k) {
    EXPECT_EQ(sets[0].args.at(k), wantSet[k]) << "argument " << k << ": " << standin::ToString(sets[0]);
  }
}

TEST(MenuBar, ChecksFollowEachCommand) {
  fakehost::Host& host = StartWithFrame();
  struct Row {
    fakehost::Step command;
    std::vector<UINT> checked;  // popup items checked afterwards
    int wheelReversed, rulerOn, gridMode;
    int paints;
  };
  // clang-format off
  const Row rows[] = {
      {.command = {.name = "wheel reverse", .message = WM_COMMAND, .wParam = CmdWheelReverse},
       .checked = {CmdWheelReverse, CmdRuler, CmdGridNone}, .wheelReversed = 1, .rulerOn = 1, .gridMode = 0, .paints = 0},
      {.command = {.name = "wheel reverse again", .message = HostMsgCommand, .wParam = CmdWheelReverse},
       .checked = {CmdRuler, CmdGridNone}, .wheelReversed = 0, .rulerOn = 1, .gridMode = 0, .paints = 0},
      {.command = {.name = "ruler off", .message = WM_COMMAND, .wParam = CmdRuler},
       .checked = {CmdGridNone}, .wheelReversed = 0, .rulerOn = 0, .gridMode = 0, .paints = 1},
      {.command = {.name = "black grid", .message = WM_COMMAND, .wParam = CmdGridBlack},
       .checked = {CmdGridBlack}, .wheelReversed = 0, .rulerOn = 0, .gridMode = 1, .paints = 1},
      {.command = {.name = "white grid", .message = HostMsgCommand, .wParam = CmdGridWhite},
       .checked = {CmdGridWhite}, .wheelReversed = 0, .rulerOn = 0, .gridMode = 2, .paints = 1},
      {.command = {.name = "no grid", .message = WM_COMMAND, .wParam = CmdGridNone},
       .checked = {CmdGridNone}, .wheelReversed = 0, .rulerOn = 0, .gridMode = 0, .paints = 1},
      {.command = {.name = "ruler with a high word set", .message = WM_COMMAND, .wParam = 0x00010000 | CmdRuler},
       .checked = {CmdRuler, CmdGridNone}, .wheelReversed = 0, .rulerOn = 1, .gridMode = 0, .paints = 1},
      {.command = {.name = "one below the first is no command", .message = WM_COMMAND, .wParam = CmdWheelReverse - 1},
       .checked = {CmdRuler, CmdGridNone}, .wheelReversed = 0, .rulerOn = 1, .gridMode = 0, .paints = 0},
      {.command = {.name = "one past the last is no command", .message = HostMsgCommand, .wParam = CmdGridWhite + 1},
       .checked = {CmdRuler, CmdGridNone}, .wheelReversed = 0, .rulerOn = 1, .gridMode = 0, .paints = 0},
      {.command = {.name = "0 is no command", .message = WM_COMMAND, .wParam = 0},
       .checked = {CmdRuler, CmdGridNone}, .wheelReversed = 0, .rulerOn = 1, .gridMode = 0, .paints = 0},
  };
  // clang-format on
  for (const Row& s : rows) {
    SCOPED_TRACE(s.command.name);
    standin::ClearCalls();
    EXPECT_EQ(fakehost::Play(s.command), 0);
    EXPECT_EQ(Ids(CheckedIds(host.window)), Ids(s.checked));
    EXPECT_EQ(viewState.wheelReversed, s.wheelReversed);
    EXPECT_EQ(viewState.rulerOn, s.rulerOn);
    EXPECT_EQ(viewState.gridMode, s.gridMode);
    EXPECT_EQ(Paints(), static_cast<size_t>(s.paints));
    EXPECT_EQ(fakehost::Violations(), "");
  }
}

TEST(MenuBar, GridCommandsSetTheChosenItemFirst) {
  StartWithFrame();
  struct Row {
    UINT id;
    UINT order[3];  // the items SetMenuItemInfoA sets, in order
  };
  const Row rows[] = {{.id = CmdGridNone, .order = {CmdGridNone, CmdGridBlack, CmdGridWhite}},
                      {.id = CmdGridBlack, .order = {CmdGridBlack, CmdGridNone, CmdGridWhite}},
                      {.id = CmdGridWhite, .order = {CmdGridWhite, CmdGridNone, CmdGridBlack}}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.id);
    standin::ClearCalls();
    Send(WM_COMMAND, r.id);
    std::vector<standin::Call> calls = standin::CallsTo("SetMenuItemInfoA");
    ASSERT_EQ(calls.size(), 3u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(calls[i].args.at(1), int64_t{r.order[i]}) << standin::ToString(calls[i]);
  }
}

TEST(MenuBar, WithoutAMenuBarCommandsOnlyRepaint) {
  struct Row {
    UINT id;
    size_t paints;
  };
  const Row rows[] = {{.id = CmdWheelReverse, .paints = 0},
                      {.id = CmdRuler, .paints = 1},
                      {.id = CmdGridNone, .paints = 1},
                      {.id = CmdGridBlack, .paints = 1},
                      {.id = CmdGridWhite, .paints = 1}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.id);
    fakehost::Host& host = fakehost::Start();
    host.stored["menu"] = 0;
    host.stored["grid"] = 1;
    fakehost::Init();
    standin::ClearCalls();
    Send(WM_COMMAND, r.id);
    EXPECT_EQ(viewState.wheelReversed, 0);
    EXPECT_EQ(viewState.rulerOn, 1);
    EXPECT_EQ(viewState.gridMode, 1);
    EXPECT_EQ(Count("SetMenuItemInfoA"), 0u);
    EXPECT_EQ(Paints(), r.paints) << Log();
    // With no snapshot the repaint is the empty window.
    if (r.paints != 0) {
      EXPECT_EQ(standin::ClientPixel(host.window, 10, 10), kViewBackgroundRgb);
    }
  }
}

TEST(MenuBar, SecondStartKeepsTheMenuBarAndRefreshesItsChecks) {
  fakehost::Host& host = fakehost::Start();
  fakehost::Init();
  HMENU first = standin::WindowMenu(host.window);
  host.stored["reverse"] = 1;
  host.stored["grid"] = 2;
  standin::ClearCalls();
  EXPECT_EQ(fakehost::Init(), 0);
  EXPECT_EQ(Count("CreateMenu"), 0u);
  EXPECT_EQ(standin::GetBooks().menusAlive, 2);
  EXPECT_EQ(standin::WindowMenu(host.window), first);
  EXPECT_EQ(Ids(CheckedIds(host.window)), Ids({CmdWheelReverse, CmdRuler, CmdGridWhite}));
  EXPECT_EQ(standin::WindowText(host.window), Title(2));
  EXPECT_EQ(fakehost::Violations(), "");
}

}  // namespace
