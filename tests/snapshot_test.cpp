// The off-screen copy of the displayed frame: when it exists, what each frame
// puts into it, and the frames and hosts that must not break it.
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "state/view_state.h"
#include "tests/fake_host.h"
#include "tests/view_model.h"

namespace {

using fakehost::Send;

size_t Count(const char* fn) { return standin::CallsTo(fn).size(); }

// The first pixel of the top-left width by height of the snapshot bitmap that
// differs from the frame's, as "(x, y) expected E got G", or "".
std::string FirstDifference(int width, int height) {
  std::vector<uint32_t> want, got;
  std::string first;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      want.push_back(fakehost::FrameColour(x, y));
      got.push_back(standin::BitmapPixel(viewState.snapshotBitmap, x, y));
      if (want.back() != got.back() && first.empty()) {
        first = "(" + std::to_string(x) + ", " + std::to_string(y) + ") expected " + std::to_string(want.back()) +
                " got " + std::to_string(got.back());
      }
    }
  }
  if (fakehost::PixelHash(want) != fakehost::PixelHash(got) && first.empty()) first = "hash differs";
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
  fakehost::Start();
  fakehost::Init();
  struct Row {
    fakehost::Step step;              // HostMsgWindowChange, the window shown or not (visible)
    LRESULT result;                   // of HostMsgWindowChange
    bool snapshot;                    // a snapshot exists afterwards
    size_t created = 0, deleted = 0;  // bitmaps created and deleted by this step
  };
  constexpr UINT kChange = HostMsgWindowChange;
  // clang-format off
  const Row rows[] = {
      {.step = {.name = "shown", .message = kChange}, .result = 1, .snapshot = true, .created = 1},
      {.step = {.name = "shown again, snapshot exists", .message = kChange}, .result = 1, .snapshot = true},
      {.step = {.name = "hidden", .message = kChange, .visible = 0}, .result = 0, .snapshot = false, .deleted = 1},
      {.step = {.name = "hidden again, nothing to release", .message = kChange, .visible = 0}, .result = 0, .snapshot = false},
      {.step = {.name = "shown once more", .message = kChange}, .result = 1, .snapshot = true, .created = 1},
  };
  // clang-format on
  for (const Row& r : rows) {
    SCOPED_TRACE(r.step.name);
    standin::ClearCalls();
    EXPECT_EQ(fakehost::Play(r.step), r.result);
    EXPECT_EQ(viewState.snapshotDc != nullptr, r.snapshot);
    EXPECT_EQ(Count("CreateCompatibleBitmap"), r.created);
    EXPECT_EQ(Count("DeleteObject"), r.deleted);
    EXPECT_EQ(Count("DeleteDC"), r.deleted);
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
  standin::FillClient(host.window, kPoison);
  EXPECT_EQ(Send(HostMsgFileClose), 0);
  EXPECT_EQ(viewState.snapshotDc, nullptr);
  EXPECT_EQ(viewState.frameWidth, 640) << "the frame size outlives the snapshot";
  EXPECT_EQ(viewmodel::EmptyAtCornersAndCentre(host.window), "");
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
  // dc, x, y, width, height, source x, source y, first scan line, scan lines
  const std::vector<int64_t> want = {standin::H(viewState.snapshotDc), 0, 0, 640, 360, 0, 0, 0, 360};
  for (size_t i = 0; i < want.size(); ++i) EXPECT_EQ(copies[0].args.at(i), want[i]) << standin::ToString(copies[0]);
  // colour use, then the header: size, width, height (positive: bottom-up), planes, bits, compression
  const std::vector<int64_t> header = {DIB_RGB_COLORS, 40, 640, 360, 1, 24, BI_RGB};
  for (size_t i = 0; i < header.size(); ++i)
    EXPECT_EQ(copies[0].args.at(11 + i), header[i]) << standin::ToString(copies[0]);
  EXPECT_EQ(host.lastEditHandle, host.editHandle);
  EXPECT_EQ(host.displayImageFlags, 0) << "the displayed image, as the host shows it";
  EXPECT_EQ(host.hostInfoEditHandle, nullptr) << "the host's information asks for no video";
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
  struct Size {
    int width, height;
  };
  struct Row {
    const char* name;
    Size largest;  // what the host reports as its largest frame
    Size frame;    // the frame FilterProc is handed
    Size bitmap;   // the snapshot bitmap made for the largest
    Size holds;    // the part of the frame the snapshot then holds
  };
  // clang-format off
  const Row rows[] = {
      {.name = "frame as large as the largest", .largest = {640, 360}, .frame = {640, 360}, .bitmap = {640, 360},
       .holds = {640, 360}},
      {.name = "1 by 1 frame", .largest = {640, 360}, .frame = {1, 1}, .bitmap = {640, 360}, .holds = {1, 1}},
      {.name = "one column", .largest = {640, 360}, .frame = {1, 360}, .bitmap = {640, 360}, .holds = {1, 360}},
      {.name = "one row", .largest = {640, 360}, .frame = {640, 1}, .bitmap = {640, 360}, .holds = {640, 1}},
      {.name = "frame wider than the largest is cut", .largest = {320, 240}, .frame = {400, 100},
       .bitmap = {320, 240}, .holds = {320, 100}},
      {.name = "frame larger than the largest is cut", .largest = {320, 240}, .frame = {640, 360},
       .bitmap = {320, 240}, .holds = {320, 240}},
      {.name = "largest 0 by 0 gives a 1 by 1 bitmap", .largest = {0, 0}, .frame = {64, 48}, .bitmap = {1, 1},
       .holds = {1, 1}},
      {.name = "largest negative", .largest = {-5, -7}, .frame = {64, 48}, .bitmap = {1, 1}, .holds = {1, 1}},
      {.name = "largest INT_MIN by 100", .largest = {INT_MIN, 100}, .frame = {64, 48}, .bitmap = {1, 100},
       .holds = {1, 48}},
      {.name = "empty frame", .largest = {640, 360}, .frame = {0, 0}, .bitmap = {640, 360}, .holds = {0, 0}},
      {.name = "frame 0 wide", .largest = {640, 360}, .frame = {0, 10}, .bitmap = {640, 360}, .holds = {0, 10}},
  };
  // clang-format on
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    StartShown(r.largest.width, r.largest.height);
    ASSERT_NE(viewState.snapshotBitmap, nullptr);
    EXPECT_EQ(standin::BitmapWidth(viewState.snapshotBitmap), r.bitmap.width);
    EXPECT_EQ(standin::BitmapHeight(viewState.snapshotBitmap), r.bitmap.height);
    fakehost::SetFrame(r.frame.width, r.frame.height);
    EXPECT_EQ(fakehost::Frame(), 1);
    EXPECT_EQ(viewState.frameWidth, r.holds.width);
    EXPECT_EQ(viewState.frameHeight, r.holds.height);
    EXPECT_EQ(FirstDifference(r.holds.width, r.holds.height), "");
    // Everything the view does from here works on what the snapshot holds.
    Send(HostMsgMainMouseDown, 0, fakehost::Point(r.holds.width - 1, r.holds.height - 1));
    Send(WM_MOUSEWHEEL, fakehost::Wheel(120));
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
  EXPECT_EQ(standin::ClientPixel(host.window, 100, 100), kViewBackgroundRgb);
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
