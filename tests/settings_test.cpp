// The stored settings (window/settings.cpp): what a first run asks for, what
// any stored value becomes, what is written back at exit and in which order.
#include <climits>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/window_test.h"

namespace {

using namespace windowtest;

// The settings log as the scenario files spell it: "load KEY DEFAULT -> VALUE", "save KEY VALUE".
std::vector<std::string> Lines(const std::vector<fakehost::SettingEvent>& log) {
  std::vector<std::string> out;
  for (const fakehost::SettingEvent& e : log) {
    const std::string value = std::to_string(e.value);
    out.push_back(e.save ? "save " + e.key + " " + value
                         : "load " + e.key + " " + std::to_string(e.defaultValue) + " -> " + value);
  }
  return out;
}

TEST(Settings, FirstRunWithNothingStored) {
  fakehost::Host& host = fakehost::Start();
  EXPECT_EQ(fakehost::Init(), 0);
  EXPECT_EQ(Lines(host.settingsLog),
            (std::vector<std::string>{"load reverse 0 -> 0", "load nnn 2 -> 2", "load ruler 1 -> 1", "load menu 1 -> 1",
                                      "load grid 0 -> 0"}));
  EXPECT_EQ(viewState.zoomLevel, 2);
  EXPECT_EQ(viewState.wheelReversed, 0);
  EXPECT_EQ(viewState.rulerOn, 1);
  EXPECT_EQ(viewState.gridMode, 0);
  EXPECT_EQ(viewState.menuOn, 1);
  EXPECT_EQ(fakehost::Centre(), std::pair(16, 16));
  EXPECT_EQ(viewState.coordLocked, 0);
  EXPECT_EQ(standin::WindowText(host.window), Title(2));
  EXPECT_EQ(Ids(CheckedIds(host.window)), Ids(kFirstRunChecks));
  EXPECT_EQ(Count("SetWindowTextA"), 1u);
  EXPECT_EQ(viewState.snapshotDc, nullptr) << "HostMsgInit makes no snapshot";
  EXPECT_EQ(fakehost::Violations(), "");
}

// The setting each key holds.
using IntField = int ViewState::*;
IntField Field(const std::string& key) {
  if (key == "nnn") return &ViewState::zoomLevel;
  if (key == "reverse") return &ViewState::wheelReversed;
  if (key == "ruler") return &ViewState::rulerOn;
  if (key == "menu") return &ViewState::menuOn;
  return &ViewState::gridMode;
}

// One stored value: what the field becomes and what the menu shows; at exit
// the field's value goes back (but "menu" is only ever read), and the title
// shows the zoom level it became (2 unless the key is "nnn").
struct StoredCase {
  const char* name;
  const char* key;
  int stored;
  int becomes;
  std::vector<UINT> checked = kFirstRunChecks;  // empty with menuBar false
  bool menuBar = true;
};

// Wheel reversed, ruler on, no grid.
const std::vector<UINT> kReversedChecks = {CmdWheelReverse, CmdRuler, CmdGridNone};
const StoredCase kStored[] = {
    {.name = "nnn 99 is clamped to 24", .key = "nnn", .stored = 99, .becomes = 24},
    {.name = "nnn -20 is clamped to -9", .key = "nnn", .stored = -20, .becomes = -9},
    {.name = "nnn 25", .key = "nnn", .stored = 25, .becomes = 24},
    {.name = "nnn -10", .key = "nnn", .stored = -10, .becomes = -9},
    {.name = "nnn 0", .key = "nnn", .stored = 0, .becomes = 0},
    {.name = "nnn INT_MIN", .key = "nnn", .stored = INT_MIN, .becomes = -9},
    {.name = "nnn INT_MAX", .key = "nnn", .stored = INT_MAX, .becomes = 24},
    {.name = "reverse 5 counts as 1", .key = "reverse", .stored = 5, .becomes = 1, .checked = kReversedChecks},
    {.name = "reverse -1", .key = "reverse", .stored = -1, .becomes = 1, .checked = kReversedChecks},
    {.name = "reverse INT_MIN", .key = "reverse", .stored = INT_MIN, .becomes = 1, .checked = kReversedChecks},
    {.name = "reverse INT_MAX", .key = "reverse", .stored = INT_MAX, .becomes = 1, .checked = kReversedChecks},
    {.name = "ruler 0", .key = "ruler", .stored = 0, .becomes = 0, .checked = {CmdGridNone}},
    {.name = "ruler INT_MIN", .key = "ruler", .stored = INT_MIN, .becomes = 1},
    {.name = "ruler INT_MAX", .key = "ruler", .stored = INT_MAX, .becomes = 1},
    {.name = "menu 0: no menu bar", .key = "menu", .stored = 0, .becomes = 0, .checked = {}, .menuBar = false},
    {.name = "menu INT_MIN", .key = "menu", .stored = INT_MIN, .becomes = 1},
    {.name = "menu INT_MAX", .key = "menu", .stored = INT_MAX, .becomes = 1},
    {.name = "grid 1", .key = "grid", .stored = 1, .becomes = 1, .checked = {CmdRuler, CmdGridBlack}},
    {.name = "grid 2", .key = "grid", .stored = 2, .becomes = 2, .checked = {CmdRuler, CmdGridWhite}},
    {.name = "grid 7 checks no grid item", .key = "grid", .stored = 7, .becomes = 7, .checked = {CmdRuler}},
    {.name = "grid -1", .key = "grid", .stored = -1, .becomes = -1, .checked = {CmdRuler}},
    {.name = "grid INT_MIN", .key = "grid", .stored = INT_MIN, .becomes = INT_MIN, .checked = {CmdRuler}},
    {.name = "grid INT_MAX", .key = "grid", .stored = INT_MAX, .becomes = INT_MAX, .checked = {CmdRuler}},
};

TEST(Settings, StoredValuesAreNeverRejected) {
  for (const StoredCase& c : kStored) {
    SCOPED_TRACE(c.name);
    fakehost::Host& host = fakehost::Start();
    host.stored[c.key] = c.stored;
    fakehost::Init();
    EXPECT_EQ(viewState.*Field(c.key), c.becomes);
    EXPECT_EQ(standin::WindowText(host.window), Title(std::string(c.key) == "nnn" ? c.becomes : 2));
    EXPECT_EQ(standin::WindowMenu(host.window) != nullptr, c.menuBar);
    EXPECT_EQ(Ids(CheckedIds(host.window)), Ids(c.checked));

    // Whatever was stored, frames are copied and painted soundly.
    fakehost::SetFrame(64, 48);
    Send(HostMsgFileOpen);
    EXPECT_EQ(fakehost::Frame(), 1);
    Send(WM_PAINT);
    EXPECT_EQ(fakehost::Violations(), "");

    host.settingsLog.clear();
    fakehost::Exit();
    bool saved = false;
    for (const fakehost::SettingEvent& e : host.settingsLog) {
      if (!e.save || e.key != c.key) continue;
      saved = true;
      EXPECT_EQ(e.value, c.becomes);
    }
    EXPECT_EQ(saved, std::string(c.key) != "menu") << "\"menu\" is only ever read";
  }
}

TEST(Settings, SavedInOrderAtExit) {
  fakehost::Host& host = fakehost::Start();
  host.stored["grid"] = 7;
  fakehost::Init();
  Send(WM_COMMAND, CmdWheelReverse);
  Send(WM_COMMAND, CmdRuler);  // ruler off
  Send(HostMsgCommand, CmdGridBlack);
  Send(WM_MOUSEWHEEL, Wheel(-120));  // reversed: zooms in to 3
  Send(WM_MBUTTONUP);                // the lock is not a setting
  host.settingsLog.clear();
  EXPECT_EQ(fakehost::Exit(), 0);
  EXPECT_EQ(Lines(host.settingsLog),
            (std::vector<std::string>{"save nnn 3", "save reverse 1", "save ruler 0", "save grid 1"}));
}

TEST(Settings, MenuOffStaysOffOverTwoRuns) {
  std::map<std::string, int> store = {{"menu", 0}};
  for (int run = 1; run <= 2; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    fakehost::Host& host = fakehost::Start();
    host.stored = store;
    fakehost::Init();
    EXPECT_EQ(standin::WindowMenu(host.window), nullptr);
    EXPECT_EQ(Count("CreateMenu"), 0u);
    EXPECT_EQ(standin::GetBooks().menusAlive, 0);
    EXPECT_EQ(standin::WindowText(host.window), Title(2));
    fakehost::Exit();
    for (const fakehost::SettingEvent& e : host.settingsLog) EXPECT_FALSE(e.save && e.key == "menu");
    store = host.stored;
  }
}

TEST(Settings, LockIsNotRemembered) {
  fakehost::Host& host = fakehost::Start();
  fakehost::Init();
  Send(WM_MBUTTONUP);
  fakehost::Exit();
  std::map<std::string, int> store = host.stored;
  fakehost::Host& next = fakehost::Start();
  next.stored = store;
  fakehost::Init();
  EXPECT_EQ(viewState.coordLocked, 0);
  EXPECT_EQ(standin::WindowText(next.window), Title(2));
}

}  // namespace
