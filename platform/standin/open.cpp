// The opening every stub shares (internal.h): the call logged, counted and
// failed on demand, then its handle looked up.
#include "platform/standin/internal.h"

namespace standin::detail {

Opened Open(Fn fn, std::initializer_list<int64_t> args, const void* handle, Kind kind, const char* text) {
  LogText(Name(fn), args, text);
  if (Fails(fn)) return {true, nullptr};
  Object* object = nullptr;
  switch (kind) {
    case Kind::None: return {false, nullptr};
    case Kind::Dc: return {false, FindDc(handle)};  // counts a bad handle itself
    case Kind::Any: object = Find(handle); break;
    default: object = FindKind(handle, kind); break;
  }
  if (object == nullptr) CountBadHandle();
  return {false, object};
}

}  // namespace standin::detail
