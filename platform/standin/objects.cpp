// The handle table, the books, stock objects, bitmaps and regions.
#include <algorithm>
#include <cstdlib>
#include <unordered_map>
#include <utility>

#include "platform/standin/internal.h"

namespace standin {
namespace detail {
namespace {

// Stock handles are small fixed values; every other handle comes from a serial
// that never restarts, so a handle from an earlier test is dead, never reused.
constexpr uintptr_t kStockBase = 0x100;      // GetStockObject(i) is kStockBase + 4 * i
constexpr uintptr_t kDefaultBitmap = 0x180;  // the 1x1 bitmap a new memory DC holds
constexpr uintptr_t kArrowCursor = 0x190;
constexpr uintptr_t kSizeAllCursor = 0x194;
constexpr int kStockCount = 9;
uintptr_t nextSerial = 0x10000;

using ObjectMap = std::unordered_map<uintptr_t, Object>;

// Forgotten entries are kept as spare nodes and reused, so that once a test has
// warmed up, GetDC / ReleaseDC / CreateRectRgn / DeleteObject allocate nothing
// (with the call log off): a benchmark can count the plug-in's allocations alone.
struct Table {
  ObjectMap objects;
  std::vector<ObjectMap::node_type> spare;
  Books books;
  Table() {
    objects.reserve(256);
    spare.reserve(256);
  }
};

Table& T() {
  static Table table;
  return table;
}

void AddStock(uintptr_t value, Kind kind, uint32_t rgb) {
  Object o;
  o.kind = kind;
  o.stock = true;
  o.rgb = rgb;
  if (kind == Kind::Bitmap) {
    o.client.Resize(1, 1, 0x000000);
    o.client.mono = true;
  }
  T().objects[value] = std::move(o);
}

void AddStockObjects() {
  // The stock objects callers use, at their <windows.h> indices; any other
  // index gives no object, so an unmodelled one shows.
  AddStock(kStockBase + 4 * static_cast<uintptr_t>(WHITE_BRUSH), Kind::Brush, 0xFFFFFF);
  AddStock(kStockBase + 4 * static_cast<uintptr_t>(BLACK_BRUSH), Kind::Brush, 0x000000);
  AddStock(kStockBase + 4 * static_cast<uintptr_t>(WHITE_PEN), Kind::Pen, 0xFFFFFF);
  AddStock(kStockBase + 4 * static_cast<uintptr_t>(BLACK_PEN), Kind::Pen, 0x000000);
  AddStock(kDefaultBitmap, Kind::Bitmap, 0);
  AddStock(kArrowCursor, Kind::Cursor, 0);
  AddStock(kSizeAllCursor, Kind::Cursor, 0);
}

void* AsHandle(uintptr_t value) { return reinterpret_cast<void*>(value); }

}  // namespace

Box Intersect(const Box& a, const Box& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

Object* Find(const void* handle) {
  Table& t = T();
  if (t.objects.empty()) AddStockObjects();
  auto it = t.objects.find(reinterpret_cast<uintptr_t>(handle));
  return it == t.objects.end() ? nullptr : &it->second;
}

Object* FindKind(const void* handle, Kind kind) {
  Object* o = Find(handle);
  return o && o->kind == kind ? o : nullptr;
}

Surface& SurfaceOf(const void* handle, Kind kind) {
  static Surface gone;
  gone = Surface{};
  Object* o = FindKind(handle, kind);
  return o ? o->client : gone;
}

void* NewHandle(Kind kind, Object** out) {
  Table& t = T();
  if (t.objects.empty()) AddStockObjects();
  uintptr_t value = nextSerial;
  nextSerial += 4;
  Object* slot = nullptr;
  if (!t.spare.empty()) {
    ObjectMap::node_type node = std::move(t.spare.back());
    t.spare.pop_back();
    node.key() = value;
    slot = &t.objects.insert(std::move(node)).position->second;
  } else {
    slot = &t.objects[value];
  }
  Object& o = *slot;
  o.kind = kind;
  if (out) *out = &o;
  if (kind != Kind::Window && kind != Kind::Cursor && kind != Kind::WindowDc) ++t.books.created;
  return AsHandle(value);
}

void Forget(const void* handle) {
  Table& t = T();
  auto it = t.objects.find(reinterpret_cast<uintptr_t>(handle));
  if (it == t.objects.end() || it->second.stock) return;
  ObjectMap::node_type node = t.objects.extract(it);
  node.mapped() = Object{};
  if (t.spare.size() < 1024) t.spare.push_back(std::move(node));
}

void CountBadHandle() { ++T().books.badHandleCalls; }

void Refuse(const void* handle) {
  Object* o = Find(handle);
  if (!o || o->stock || o->refused) return;
  o->refused = true;
  if (o->kind == Kind::MemoryDc) Refuse(o->bitmap);
  if (o->kind == Kind::Menu) {
    for (const MenuItem& e : o->items) Refuse(e.subMenu);
  }
}

Books& MutableBooks() { return T().books; }

HGDIOBJ StockHandle(int index) {
  if (index < 0 || index >= kStockCount) return nullptr;
  HGDIOBJ h = AsHandle(kStockBase + 4 * static_cast<uintptr_t>(index));
  return Find(h) ? h : nullptr;
}
HGDIOBJ DefaultBitmap() { return AsHandle(kDefaultBitmap); }
HGDIOBJ ArrowCursor() { return AsHandle(kArrowCursor); }
HGDIOBJ SizeAllCursorObject() { return AsHandle(kSizeAllCursor); }

Object* FindDc(const void* handle) {
  Object* o = Find(handle);
  if (o && (o->kind == Kind::WindowDc || o->kind == Kind::MemoryDc)) return o;
  CountBadHandle();
  return nullptr;
}

Surface* DcSurface(Object& dc) {
  if (dc.kind == Kind::WindowDc) {
    Object* w = FindKind(dc.window, Kind::Window);
    return w ? &w->client : nullptr;
  }
  Object* b = FindKind(dc.bitmap, Kind::Bitmap);
  return b ? &b->client : nullptr;
}

Box DcVisible(Object& dc, Surface& surface) {
  Box all{0, 0, surface.width, surface.height};
  return dc.hasClip ? Intersect(all, dc.clip) : all;
}

}  // namespace detail

using namespace detail;

void Reset() {
  Table& t = T();
  t.objects.clear();
  AddStockObjects();
  t.books = Books{};
  ResetWindowing();
  ResetFailures();
  ClearCalls();
  SetCallLogging(true);
}

Books GetBooks() {
  Books b = T().books;
  b.nonStockPenSelections = 0;
  for (auto& [value, o] : T().objects) {
    if (o.refused) {
      ++b.refused;
      if (o.kind == Kind::WindowDc) --b.windowDcsOut;
      if (o.kind == Kind::MemoryDc) --b.memoryDcsAlive;
      if (o.kind == Kind::Bitmap) --b.bitmapsAlive;
      if (o.kind == Kind::Region) --b.regionsAlive;
      if (o.kind == Kind::Menu) --b.menusAlive;
    }
    if (o.kind != Kind::WindowDc && o.kind != Kind::MemoryDc) continue;
    Object* pen = Find(o.pen);
    if (pen && !pen->stock) ++b.nonStockPenSelections;
  }
  return b;
}

int BitmapWidth(HBITMAP bitmap) { return SurfaceOf(bitmap, Kind::Bitmap).width; }
int BitmapHeight(HBITMAP bitmap) { return SurfaceOf(bitmap, Kind::Bitmap).height; }
uint32_t BitmapPixel(HBITMAP bitmap, int x, int y) { return SurfaceOf(bitmap, Kind::Bitmap).At(x, y, kNoPixel); }

}  // namespace standin

using namespace standin;
using namespace standin::detail;

HGDIOBJ GetStockObject(int i) {
  if (Open(Fn::GetStockObject, {i}).fails) return nullptr;
  return StockHandle(i);
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
  const Opened o = Open(Fn::CreateCompatibleBitmap, {I(hdc), cx, cy}, hdc, Kind::Dc);
  if (o.fails || !o.object) return nullptr;
  Object* dc = o.object;
  // Compatible with what the DC draws on: a fresh memory DC holds a 1-bit
  // bitmap, so a bitmap made from it is black-and-white, as in Windows.
  bool mono = false;
  if (dc->kind == Kind::MemoryDc) {
    Object* held = FindKind(dc->bitmap, Kind::Bitmap);
    mono = held && held->client.mono;
  }
  // As GDI: a side over 2^27 is refused before anything else, a negative side
  // counts as its length, and a zero side gives the stock 1x1 bitmap a memory
  // DC starts with.
  constexpr int kLongestSide = 0x7FFFFFF;
  if (cx > kLongestSide || cy > kLongestSide) return nullptr;
  if (cx == 0 || cy == 0) return static_cast<HBITMAP>(DefaultBitmap());
  const int64_t width = std::abs(int64_t{cx}), height = std::abs(int64_t{cy});
  // A 32-bit process has no room for a 1 GB bitmap; Wine makes 512 MB ones.
  if (width * height > (int64_t{1} << 27)) return nullptr;
  Object* b = nullptr;
  void* h = NewHandle(Kind::Bitmap, &b);
  b->client.Resize(static_cast<int>(width), static_cast<int>(height), 0x000000);
  b->client.mono = mono;
  ++MutableBooks().bitmapsAlive;
  return static_cast<HBITMAP>(h);
}

HRGN CreateRectRgn(int x1, int y1, int x2, int y2) {
  if (Open(Fn::CreateRectRgn, {x1, y1, x2, y2}).fails) return nullptr;
  Object* r = nullptr;
  void* h = NewHandle(Kind::Region, &r);
  Box b{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
  r->region = b.Empty() ? Box{} : b;
  ++MutableBooks().regionsAlive;
  return static_cast<HRGN>(h);
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h) {
  const Opened opened = Open(Fn::SelectObject, {I(hdc), I(h)}, hdc, Kind::Dc);
  Object* dc = opened.object;
  Object* o = Find(h);
  if (opened.fails || !dc) return o && o->kind == Kind::Region ? HGDI_ERROR : nullptr;
  if (!o) {
    CountBadHandle();
    return nullptr;
  }
  switch (o->kind) {
    case Kind::Pen: return std::exchange(dc->pen, h);
    case Kind::Brush: return std::exchange(dc->brush, h);
    case Kind::Bitmap: {
      // Bitmaps go into memory DCs only, and into one DC at a time.
      if (dc->kind != Kind::MemoryDc) return nullptr;
      if (!o->stock && o->selectedInto && o->selectedInto != hdc) return nullptr;
      HGDIOBJ previous = dc->bitmap;
      if (Object* old = FindKind(previous, Kind::Bitmap); old && !old->stock) old->selectedInto = nullptr;
      if (!o->stock) o->selectedInto = hdc;
      dc->bitmap = h;
      return previous;
    }
    case Kind::Region:
      // As SelectClipRgn: the DC keeps a copy; the result is the region's type.
      dc->hasClip = true;
      dc->clip = o->region;
      return reinterpret_cast<HGDIOBJ>(static_cast<intptr_t>(o->region.Empty() ? NULLREGION : SIMPLEREGION));
    default: CountBadHandle(); return nullptr;
  }
}

BOOL DeleteObject(HGDIOBJ ho) {
  const Opened opened = Open(Fn::DeleteObject, {I(ho)}, ho, Kind::Any);
  if (opened.fails) Refuse(ho);
  if (opened.fails || !opened.object) return FALSE;
  Object* o = opened.object;
  if (o->stock) {
    if (o->kind == Kind::Pen || o->kind == Kind::Brush || o->kind == Kind::Bitmap) {
      ++MutableBooks().stockDeletes;
      return TRUE;  // Windows ignores it
    }
    CountBadHandle();
    return FALSE;
  }
  switch (o->kind) {
    case Kind::Bitmap:
      if (o->selectedInto && FindKind(o->selectedInto, Kind::MemoryDc)) {
        ++MutableBooks().selectedDeletes;
        return FALSE;
      }
      --MutableBooks().bitmapsAlive;
      Forget(ho);
      return TRUE;
    case Kind::Region:
      --MutableBooks().regionsAlive;
      Forget(ho);
      return TRUE;
    default:
      CountBadHandle();  // DCs, windows, menus and cursors have their own calls
      return FALSE;
  }
}
