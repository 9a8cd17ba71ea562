// Menus: CreateMenu, InsertMenuItemA, SetMenu and the item calls.
#include <algorithm>
#include <cstddef>

#include "platform/standin/internal.h"

namespace standin {
namespace detail {
namespace {

// Windows refuses a popup tree deeper than this; the stand-in also refuses a
// popup that would hold the menu it goes into, so no loop can form. Lookups
// and destroys stop past this level below their start (level 0): a tree built
// upwards from such popups has levels 0 to 30.
constexpr int kMaxMenuDepth = 30;

constexpr UINT kNonStringTypes = 0x00000004 | 0x00000100 | 0x00000800;  // MFT_BITMAP | MFT_OWNERDRAW | MFT_SEPARATOR

// Windows takes the record at its full size or at the size it had before
// hbmpItem was added.
bool SizeAccepted(UINT cbSize) {
  return cbSize == sizeof(MENUITEMINFOA) || cbSize == offsetof(MENUITEMINFOA, hbmpItem);
}

bool NamesString(const MENUITEMINFOA& mi) { return (mi.fMask & MIIM_TYPE) && !(mi.fType & kNonStringTypes); }

Opened OpenItemCall(Fn fn, HMENU hmenu, UINT item, BOOL byPosition, const MENUITEMINFOA* mi) {
  if (!mi) return Open(fn, {I(hmenu), item, byPosition}, hmenu, Kind::Menu);
  const char* text = NamesString(*mi) && mi->dwTypeData ? mi->dwTypeData : nullptr;
  return Open(fn, {I(hmenu), item, byPosition, mi->cbSize, mi->fMask, mi->fType, mi->fState, mi->wID, I(mi->hSubMenu)},
              hmenu, Kind::Menu, text);
}

struct Place {
  Object* menu = nullptr;
  size_t index = 0;
  HMENU handle = nullptr;
};

// By position in this menu, or by command anywhere below it (popups first, a
// popup item with that identifier only when nothing inside matches).
Place FindItem(HMENU hmenu, UINT item, bool byPosition, int depth = 0) {
  Object* m = FindKind(hmenu, Kind::Menu);
  if (!m || depth > kMaxMenuDepth) return {};
  if (byPosition) return item < m->items.size() ? Place{m, item, hmenu} : Place{};
  Place fallback;
  for (size_t i = 0; i < m->items.size(); ++i) {
    const MenuItem& e = m->items[i];
    if (e.subMenu) {
      Place inner = FindItem(e.subMenu, item, false, depth + 1);
      if (inner.menu) return inner;
      if (e.id == item && !fallback.menu) fallback = {m, i, hmenu};
    } else if (e.id == item) {
      return {m, i, hmenu};
    }
  }
  return fallback;
}

// Levels of popups from a menu down (the menu itself is level 1); stops
// counting past the limit. True in *reaches when target lies on the way.
int Depth(HMENU menu, HMENU target, int level, bool* reaches) {
  Object* m = FindKind(menu, Kind::Menu);
  if (!m || level > kMaxMenuDepth) return level;
  if (menu == target) *reaches = true;
  int deepest = level + 1;
  for (const MenuItem& e : m->items) {
    if (e.subMenu) deepest = std::max(deepest, Depth(e.subMenu, target, level + 1, reaches));
    if (deepest > kMaxMenuDepth || *reaches) break;
  }
  return deepest;
}

// Fills an entry of menu target from the fields the mask names; false for a
// bad submenu (not a menu, one holding target, or a tree too deep).
bool Apply(HMENU target, MenuItem& e, const MENUITEMINFOA& mi) {
  if ((mi.fMask & MIIM_SUBMENU) && mi.hSubMenu) {
    bool reaches = false;
    if (!FindKind(mi.hSubMenu, Kind::Menu) || Depth(mi.hSubMenu, target, 0, &reaches) > kMaxMenuDepth || reaches)
      return false;
  }
  if (mi.fMask & MIIM_TYPE) {
    e.type = mi.fType;
    if (NamesString(mi)) e.text = mi.dwTypeData ? mi.dwTypeData : "";
  }
  if (mi.fMask & MIIM_ID) e.id = mi.wID;
  if (mi.fMask & MIIM_STATE) e.state = mi.fState;
  if (mi.fMask & MIIM_SUBMENU) e.subMenu = mi.hSubMenu;
  return true;
}

void DestroyTree(HMENU menu, int depth) {
  Object* m = FindKind(menu, Kind::Menu);
  if (!m || depth > kMaxMenuDepth) return;
  std::vector<HMENU> subs;
  for (const MenuItem& e : m->items)
    if (e.subMenu) subs.push_back(e.subMenu);
  Forget(menu);
  --MutableBooks().menusAlive;
  for (HMENU sub : subs) DestroyTree(sub, depth + 1);
}

}  // namespace

void DestroyMenuTree(HMENU menu) { DestroyTree(menu, 0); }

}  // namespace detail

std::vector<MenuItem> MenuItems(HMENU menu) {
  const detail::Object* m = detail::FindKind(menu, detail::Kind::Menu);
  return m != nullptr ? m->items : std::vector<MenuItem>{};
}

}  // namespace standin

using namespace standin;
using namespace standin::detail;

HMENU CreateMenu() {
  if (Open(Fn::CreateMenu, {}).fails) return nullptr;
  void* h = NewHandle(Kind::Menu, nullptr);
  ++MutableBooks().menusAlive;
  return static_cast<HMENU>(h);
}

BOOL InsertMenuItemA(HMENU hmenu, UINT item, BOOL fByPosition, LPCMENUITEMINFOA lpmi) {
  const Opened o = OpenItemCall(Fn::InsertMenuItemA, hmenu, item, fByPosition, lpmi);
  if (o.fails || !o.object || !lpmi || !SizeAccepted(lpmi->cbSize)) return FALSE;
  // Before the item found; at the end of this menu when there is none.
  Place p = FindItem(hmenu, item, fByPosition != FALSE);
  if (!p.menu) p = {o.object, o.object->items.size(), hmenu};
  MenuItem e;
  if (!Apply(p.handle, e, *lpmi)) {
    CountBadHandle();
    return FALSE;
  }
  p.menu->items.insert(p.menu->items.begin() + static_cast<std::ptrdiff_t>(p.index), std::move(e));
  return TRUE;
}

BOOL SetMenuItemInfoA(HMENU hmenu, UINT item, BOOL fByPosition, LPCMENUITEMINFOA lpmii) {
  const Opened o = OpenItemCall(Fn::SetMenuItemInfoA, hmenu, item, fByPosition, lpmii);
  if (o.fails || !o.object || !lpmii || !SizeAccepted(lpmii->cbSize)) return FALSE;
  Place p = FindItem(hmenu, item, fByPosition != FALSE);
  if (!p.menu) return FALSE;
  MenuItem e = p.menu->items[p.index];
  if (!Apply(p.handle, e, *lpmii)) {
    CountBadHandle();
    return FALSE;
  }
  p.menu->items[p.index] = std::move(e);
  return TRUE;
}

// Attaching a bar to a window that had none takes kMenuBarHeight rows from the
// client area and sends WM_SIZE before returning; removing it gives them back.
BOOL SetMenu(HWND hWnd, HMENU hMenu) {
  const Opened o = Open(Fn::SetMenu, {I(hWnd), I(hMenu)}, hWnd, Kind::Window);
  if (o.fails || !o.object) return FALSE;
  Object* w = o.object;
  if (hMenu && !FindKind(hMenu, Kind::Menu)) {
    CountBadHandle();
    return FALSE;
  }
  const bool hadBar = w->menu != nullptr;
  w->menu = hMenu;
  if (!hadBar && hMenu) {
    const int take = std::min(kMenuBarHeight, w->client.height);
    ResizeSurface(w->client, w->client.width, w->client.height - take);
    w->menuRowsTaken = take;
    SendSize(hWnd);
  } else if (hadBar && !hMenu) {
    ResizeSurface(w->client, w->client.width, w->client.height + w->menuRowsTaken);
    w->menuRowsTaken = 0;
    SendSize(hWnd);
  }
  return TRUE;
}

// Destroys the menu and the popups hanging from it.
BOOL DestroyMenu(HMENU hMenu) {
  const Opened o = Open(Fn::DestroyMenu, {I(hMenu)}, hMenu, Kind::Menu);
  if (o.fails) Refuse(hMenu);
  if (o.fails || !o.object) return FALSE;
  DestroyMenuTree(hMenu);
  return TRUE;
}

HMENU GetMenu(HWND hWnd) {
  const Opened o = Open(Fn::GetMenu, {I(hWnd)}, hWnd, Kind::Window);
  return o.fails || !o.object ? nullptr : o.object->menu;
}
