// Calls made to fail on demand and a count of calls per function.
#include <cstring>
#include <iterator>

#include "platform/standin/internal.h"

namespace standin {
namespace {

const char* const kNames[] = {
#define STANDIN_FUNCTION(name) #name,
#include "platform/standin/functions.def"
#undef STANDIN_FUNCTION
};
constexpr size_t kCount = std::size(kNames);

struct Failures {
  int64_t calls[kCount] = {};
  int64_t failing[kCount] = {};  // per function, which call fails, counted as calls[] counts; 0 for none
};

Failures& F() {
  static Failures f;
  return f;
}

size_t IndexOf(const char* fn) {
  for (size_t i = 0; i < kCount; ++i)
    if (std::strcmp(kNames[i], fn) == 0) return i;
  return kCount;
}

}  // namespace

namespace detail {

bool Fails(Fn fn) {
  Failures& f = F();
  const auto i = static_cast<size_t>(fn);
  if (++f.calls[i] != f.failing[i]) return false;
  f.failing[i] = 0;
  ++MutableBooks().failedCalls;
  return true;
}

const char* Name(Fn fn) { return kNames[static_cast<size_t>(fn)]; }

void ResetFailures() { F() = Failures{}; }

}  // namespace detail

bool FailCall(const std::string& fn, int count) {
  Failures& f = F();
  const size_t i = IndexOf(fn.c_str());
  if (i == kCount) return false;
  f.failing[i] = count > 0 ? f.calls[i] + count : 0;
  return true;
}

int64_t CallCount(const std::string& fn) {
  const size_t i = IndexOf(fn.c_str());
  return i == kCount ? 0 : F().calls[i];
}

const std::vector<std::string>& Functions() {
  static const std::vector<std::string> names(std::begin(kNames), std::end(kNames));
  return names;
}

}  // namespace standin
