// The plug-in allocates nothing while it runs: every frame and every drag step
// works in static storage and on the stack. This binary counts every malloc,
// calloc, realloc and operator new made while a run is measured.
#include <cstdlib>
#include <new>

#include <gtest/gtest.h>

#include "state/snapshot.h"
#include "tests/fake_host.h"
#include "window/window_internal.h"

namespace {
bool counting = false;
long allocations = 0;

void Count() {
  if (counting) ++allocations;
}
}  // namespace

// The linker's --wrap names these: reserved identifiers by necessity.
// NOLINTBEGIN(bugprone-reserved-identifier)
extern "C" {
void* __real_malloc(size_t size);
void* __real_calloc(size_t n, size_t size);
void* __real_realloc(void* p, size_t size);
void* __wrap_malloc(size_t size) {
  Count();
  return __real_malloc(size);
}
void* __wrap_calloc(size_t n, size_t size) {
  Count();
  return __real_calloc(n, size);
}
void* __wrap_realloc(void* p, size_t size) {
  Count();
  return __real_realloc(p, size);
}
}
// NOLINTEND(bugprone-reserved-identifier)

void* operator new(size_t size) {
  Count();
  if (void* p = __real_malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }

namespace {

struct Measured {
  Measured() {
    allocations = 0;
    counting = true;
  }
  ~Measured() { counting = false; }
};

TEST(NoAllocation, ThousandFramesAndThousandDragSteps) {
  fakehost::Host& host = fakehost::Start();
  host.maxWidth = 1920;
  host.maxHeight = 1080;
  fakehost::Init();
  fakehost::Send(HostMsgCommand, CmdGridBlack);  // so every repaint draws ruler and grid
  fakehost::Send(HostMsgWindowChange);
  fakehost::SetFrame(1920, 1080);
  fakehost::Frame();  // the first frame may let the stand-in size its own books
  fakehost::Send(WM_LBUTTONDOWN, 0, fakehost::Point(100, 100));
  fakehost::Send(WM_MOUSEMOVE, 0, fakehost::Point(101, 100));
  standin::SetCallLogging(false);

  FrameProcInfo info = fakehost::MakeFrameInfo();
  long frameAllocations = 0;
  {
    Measured m;
    for (int i = 0; i < 1000; ++i) host.table->filterProc(host.table, &info);
    frameAllocations = allocations;
  }
  long dragAllocations = 0;
  {
    Measured m;
    // Straight into the callback, as the host's window procedure does.
    for (int i = 0; i < 1000; ++i) {
      host.table->filterWndProc(host.window, WM_MOUSEMOVE, 0, fakehost::Point(100 + (i % 50), 100 - (i % 30)),
                                host.editHandle, host.table);
    }
    dragAllocations = allocations;
  }
  EXPECT_EQ(frameAllocations, 0) << "allocations during 1,000 frames";
  EXPECT_EQ(dragAllocations, 0) << "allocations during 1,000 drag steps";
  EXPECT_EQ(viewState.dragging, 1);
  fakehost::Exit();
}

}  // namespace
