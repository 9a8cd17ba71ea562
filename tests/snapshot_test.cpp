// The off-screen copy of the displayed frame: when it exists, what each frame
// puts into it, and the frames and hosts that must not break it.
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "state/view_state.h"
#include "tests/fake_host.h"

namespace {

using fakehost::Send;

size_t Count(const char* fn) { return standin::CallsTo(fn).size(); }

uint64_t Fnv1a(uint64_t hash, uint32_t pixel) {
  for (int i = 0; i < 4; ++i) {
    hash ^= (pixel >> (8 * i)) & 0xFF;
    hash *= 0x100000001B3ull;
  }
  return hash;
}
constexpr uint64_t kFnvBasis = 0xCBF29CE484222325ull;

// The first pixel of the top-left width by height of the snapshot bitmap that
// differs from the frame's, as "(x, y) expected E got G", or "".
std::string FirstDifference(int width, int height) {
  uint64_t want = kFnvBasis, got = kFnvBasis;
  std::string first;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint32_t e = fakehost::FrameColour(x, y);
      const uint32_t g = standin::BitmapPixel(viewState.snapshotBitmap, x, y);
      want = Fnv1a(want, e);
      got = Fnv1a(got, g);
      if (e != g && first.empty()) {
        first = "(" + std::to_string(x) + ", " + std::to_string(y) + ") expected " + std::to_string(e) + " got " +
                std::to_string(g);
      }
    }
  }
  if (want != got && first.empty()) first = "hash differs";
  return first;
}

// Started, window shown (snapshot made), nothing copied yet.
fakehost::Host& StartShown(int maxWidth = 640, int maxHeight = 360) {
  fakehost::Host& host = fakehost::Start();
  host.maxWidth = maxWidth;
  host.maxHeight = maxHeight;
  fakehost::Init();
  EXPECT_EQ(Send(HostMsgWindowChange), 1);
  standin::ClearCalls();
  return host;
}

TEST(Snapshot, MadeOnceWhileShown) {
  fakehost::Host& host = StartShown();
  const HDC dc = viewState.snapshotDc;
  const HBITMAP bitmap = viewState.snapshotBitmap;
  ASSERT_NE(dc, nullptr);
  ASSERT_NE(bitmap, nullptr);
  // Shown again, and a video opened while shown: the snapshot stays as it is.
  EXPECT_EQ(Send(HostMsgWindowChange), 1);
  EXPECT_EQ(Send(HostMsgFileOpen), 0);
  EXPECT_EQ(Count("CreateCompatibleDC"), 0u);
  EXPECT_EQ(Count("CreateCompatibleBitmap"), 0u);
  EXPECT_EQ(host.getHostInfoCalls, 1);
  EXPECT_EQ(viewState.snapshotDc, dc);
  EXPECT_EQ(viewState.snapshotBitmap, bitmap);
  EXPECT_EQ(standin::GetBooks().bitmapsAlive, 1);
  EXPECT_EQ(standin::GetBooks().memoryDcsAlive, 1);
  EXPECT_EQ(fakehost::Violations(), "");
}

TEST(Snapshot, WindowChangeFollowsVisibility) {
  fakehost::Host& host = fakehost::Start();
  fakehost::Init();
  struct Step {
    const char* name;
    int visible;
    LRESULT result;
    bool snapshot;
    size_t created, deleted;  // bitmaps created and deleted by this step
  };
  const Step steps[] = {
      {"shown", 1, 1, true, 1, 0},
      {"shown again, snapshot exists", 1, 1, true, 0, 0},
      {"hidden", 0, 0, false, 0, 1},
      {"hidden again, nothing to release", 0, 0, false, 0, 0},
      {"shown once more", 1, 1, true, 1, 0},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    host.windowVisible = s.visible;
    standin::ClearCalls();
    EXPECT_EQ(Send(HostMsgWindowChange), s.result);
    EXPECT_EQ(viewState.snapshotDc != nullptr, s.snapshot);
    EXPECT_EQ(Count("CreateCompatibleBitmap"), s.created);
    EXPECT_EQ(Count("DeleteObject"), s.deleted);
    EXPECT_EQ(Count("DeleteDC"), s.deleted);
    EXPECT_EQ(Count("FillRect") + Count("StretchBlt"), 0u) << "window changes paint nothing";
    EXPECT_EQ(fakehost::Violations(), "");
  }
}

TEST(Snapshot, ReleasingNothingDoesNothing) {
  fakehost::Host& host = fakehost::Start();
  fakehost::Init();
  host.windowVisible = 0;
  standin::ClearCalls();
  EXPECT_EQ(Send(HostMsgWindowChange), 0);
  Send(HostMsgFileClose);
  fakehost::Exit();
  EXPECT_EQ(Count("DeleteDC"), 0u);
  EXPECT_EQ(Count("DeleteObject"), 0u);
  EXPECT_EQ(standin::GetBooks().badHandleCalls, 0);
  EXPECT_EQ(fakehost::Violations(), "");
}

TEST(Snapshot, FileOpenFollowsVisibility) {
  fakehost::Host& host = fakehost::Start();
  fakehost::Init();
  host.windowVisible = 0;
  EXPECT_EQ(Send(HostMsgFileOpen), 0);
  EXPECT_EQ(viewState.snapshotDc, nullptr) << "hidden: no snapshot";
  EXPECT_EQ(host.getHostInfoCalls, 0);
  host.windowVisible = 1;
  standin::ClearCalls();
  EXPECT_EQ(Send(HostMsgFileOpen), 0);
  EXPECT_NE(viewState.snapshotDc, nullptr) << "shown: snapshot made";
  EXPECT_EQ(Count("FillRect") + Count("StretchBlt"), 0u) << "nothing painted until the next frame";
  EXPECT_EQ(fakehost::Violations(), "");
}

TEST(Snapshot, FileCloseReleasesAndPaintsTheEmptyWindow) {
  fakehost::Host& host = StartShown();
  fakehost::SetFrame(640, 360);
  fakehost::Frame();
  standin::FillClient(host.window, standin::kPoison);
  EXPECT_EQ(Send(HostMsgFileClose), 0);
  EXPECT_EQ(viewState.snapshotDc, nullptr);
  EXPECT_EQ(viewState.frameWidth, 640) << "the frame size outlives the snapshot";
  const int w = standin::ClientWidth(host.window), h = standin::ClientHeight(host.window);
  const int spots[][2] = {{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}, {w / 2, h / 2}};
  for (const auto& p : spots) {
    EXPECT_EQ(standin::ClientPixel(host.window, p[0], p[1]), standin::kActiveBorderRgb) << p[0] << "," << p[1];
  }
  EXPECT_EQ(fakehost::Violations(), "");
}

TEST(Snapshot, ExitReleasesIt) {
  StartShown();
  fakehost::Exit();
  EXPECT_EQ(viewState.snapshotDc, nullptr);
  EXPECT_EQ(standin::GetBooks().bitmapsAlive, 0);
  EXPECT_EQ(standin::GetBooks().memoryDcsAlive, 0);
}

TEST(FilterProcTest, FrameLandsTopLeftInTheLargestFrameBitmap) {
  fakehost::Host& host = StartShown(800, 600);
  fakehost::SetFrame(640, 360);
  EXPECT_EQ(fakehost::Frame(), 1);
  EXPECT_EQ(standin::BitmapWidth(viewState.snapshotBitmap), 800);
  EXPECT_EQ(standin::BitmapHeight(viewState.snapshotBitmap), 600);
  EXPECT_EQ(viewState.frameWidth, 640);
  EXPECT_EQ(viewState.frameHeight, 360);
  const int spots[][2] = {{0, 0}, {639, 0}, {0, 359}, {639, 359}, {320, 180}, {255, 256}};
  for (const auto& p : spots) {
    EXPECT_EQ(standin::BitmapPixel(viewState.snapshotBitmap, p[0], p[1]), fakehost::FrameColour(p[0], p[1]))
        << p[0] << "," << p[1];
  }
  EXPECT_EQ(FirstDifference(640, 360), "");
  // The copy: rows bottom-up, 24 bits, from (0, 0) into (0, 0).
  std::vector<standin::Call> copies = standin::CallsTo("SetDIBitsToDevice");
  ASSERT_EQ(copies.size(), 1u);
  const std::vector<int64_t> want = {standin::H(viewState.snapshotDc), 0, 0, 640, 360, 0, 0, 0, 360};
  for (size_t i = 0; i < want.size(); ++i) EXPECT_EQ(copies[0].args.at(i), want[i]) << standin::ToString(copies[0]);
  EXPECT_EQ(host.lastEditHandle, host.editHandle);
  EXPECT_EQ(fakehost::Violations(), "");
}

TEST(FilterProcTest, HiddenWindowCopiesNothing) {
  fakehost::Host& host = fakehost::Start();
  fakehost::Init();
  host.windowVisible = 0;
  Send(HostMsgWindowChange);
  fakehost::SetFrame(640, 360);
  standin::ClearCalls();
  EXPECT_EQ(fakehost::Frame(), 1);
  EXPECT_EQ(host.getDisplayImageCalls, 0);
  EXPECT_EQ(viewState.frameWidth, 0);
  EXPECT_EQ(viewState.frameHeight, 0);
  EXPECT_EQ(standin::Calls().size(), 0u) << "no Win32 call at all";
}

TEST(FilterProcTest, NoVideoKeepsTheLastFrameSize) {
  fakehost::Host& host = StartShown();
  fakehost::SetFrame(640, 360);
  fakehost::Frame();
  host.editing = 0;
  fakehost::SetFrame(320, 240);
  standin::ClearCalls();
  const int images = host.getDisplayImageCalls;
  EXPECT_EQ(fakehost::Frame(), 1);
  EXPECT_EQ(viewState.frameWidth, 640);
  EXPECT_EQ(viewState.frameHeight, 360);
  EXPECT_EQ(host.getDisplayImageCalls, images);
  EXPECT_EQ(standin::Calls().size(), 0u);
}

TEST(FilterProcTest, NullImageStillRepaints) {
  fakehost::Host& host = StartShown();
  fakehost::SetFrame(640, 360);
  host.nullImage = true;
  EXPECT_EQ(fakehost::Frame(), 1);
  EXPECT_EQ(Count("SetDIBitsToDevice"), 0u) << "GDI is never handed a null image";
  EXPECT_EQ(Count("GetDC"), 1u) << "PaintView runs all the same";
  EXPECT_EQ(viewState.frameWidth, 640);
  EXPECT_EQ(fakehost::Violations(), "");
}

TEST(FilterProcTest, FramesAndHostsOfAnySize) {
  struct Row {
    const char* name;
    int maxWidth, maxHeight;  // what the host reports as its largest frame
    int width, height;        // the frame FilterProc is handed
    int bitmapWidth, bitmapHeight;
    int frameWidth, frameHeight;  // what the snapshot then holds
  };
  const Row rows[] = {
      {"frame as large as the largest", 640, 360, 640, 360, 640, 360, 640, 360},
      {"1 by 1 frame", 640, 360, 1, 1, 640, 360, 1, 1},
      {"frame wider than the largest is cut", 320, 240, 400, 100, 320, 240, 320, 100},
      {"frame larger than the largest is cut", 320, 240, 640, 360, 320, 240, 320, 240},
      {"largest 0 by 0 gives a 1 by 1 bitmap", 0, 0, 64, 48, 1, 1, 1, 1},
      {"largest negative", -5, -7, 64, 48, 1, 1, 1, 1},
      {"largest INT_MIN by 100", INT_MIN, 100, 64, 48, 1, 100, 1, 48},
      {"empty frame", 640, 360, 0, 0, 640, 360, 0, 0},
      {"frame 0 wide", 640, 360, 0, 10, 640, 360, 0, 10},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    StartShown(r.maxWidth, r.maxHeight);
    ASSERT_NE(viewState.snapshotBitmap, nullptr);
    EXPECT_EQ(standin::BitmapWidth(viewState.snapshotBitmap), r.bitmapWidth);
    EXPECT_EQ(standin::BitmapHeight(viewState.snapshotBitmap), r.bitmapHeight);
    fakehost::SetFrame(r.width, r.height);
    EXPECT_EQ(fakehost::Frame(), 1);
    EXPECT_EQ(viewState.frameWidth, r.frameWidth);
    EXPECT_EQ(viewState.frameHeight, r.frameHeight);
    EXPECT_EQ(FirstDifference(r.frameWidth, r.frameHeight), "");
    // Everything the view does from here works on what the snapshot holds.
    Send(HostMsgMainMouseDown, 0, fakehost::Point(r.frameWidth - 1, r.frameHeight - 1));
    Send(WM_MOUSEWHEEL, static_cast<WPARAM>(120) << 16);
    Send(WM_PAINT);
    EXPECT_EQ(fakehost::Violations(), "");
  }
}

TEST(FilterProcTest, LargestFrameTooBigForMemoryLeavesNoHalfSnapshot) {
  // GDI refuses a bitmap of 100000 by 100000: the DC made for it goes too.
  fakehost::Host& host = fakehost::Start();
  host.maxWidth = 100000;
  host.maxHeight = 100000;
  fakehost::Init();
  EXPECT_EQ(Send(HostMsgWindowChange), 1);
  EXPECT_EQ(viewState.snapshotDc, nullptr);
  EXPECT_EQ(viewState.snapshotBitmap, nullptr);
  fakehost::SetFrame(64, 48);
  EXPECT_EQ(fakehost::Frame(), 1);
  EXPECT_EQ(host.getDisplayImageCalls, 0);
  Send(WM_PAINT);
  EXPECT_EQ(standin::ClientPixel(host.window, 100, 100), standin::kActiveBorderRgb);
  EXPECT_EQ(fakehost::Violations(), "");
}

TEST(FilterProcTest, NegativeFrameSizeCopiesNothing) {
  StartShown();
  fakehost::SetFrame(8, 8);
  FrameProcInfo info = fakehost::MakeFrameInfo();
  info.width = -8;
  info.height = -8;
  FilterTable* table = fakehost::Current().table;
  EXPECT_EQ(table->filterProc(table, &info), 1);
  EXPECT_EQ(viewState.frameWidth, 0);
  EXPECT_EQ(viewState.frameHeight, 0);
  EXPECT_EQ(Count("SetDIBitsToDevice"), 0u);
  EXPECT_EQ(fakehost::Violations(), "");
}

TEST(FilterProcTest, NoRecordOrNoServices) {
  StartShown();
  fakehost::SetFrame(64, 48);
  FilterTable* table = fakehost::Current().table;
  FrameProcInfo info = fakehost::MakeFrameInfo();
  EXPECT_EQ(table->filterProc(table, nullptr), 1);
  EXPECT_EQ(table->filterProc(nullptr, &info), 1);
  table->services = nullptr;
  standin::ClearCalls();
  EXPECT_EQ(table->filterProc(table, &info), 1);
  EXPECT_EQ(viewState.frameWidth, 0) << "without IsEditing no video counts as open";
  EXPECT_EQ(fakehost::Violations(), "");
}

}  // namespace
