// The call log: one entry per stand-in Win32 call.
#include <cstdio>

#include "platform/standin/internal.h"

namespace standin {
namespace {

struct CallLog {
  std::vector<Call> calls;
  bool on = true;
};

CallLog& L() {
  static CallLog log;
  return log;
}

}  // namespace

namespace detail {

void LogText(const char* fn, std::initializer_list<int64_t> args, const char* text) {
  CallLog& l = L();
  if (!l.on) return;
  Call& c = l.calls.emplace_back();
  c.fn = fn;
  c.args.assign(args);
  if (text) c.text = text;
}

void LogWritten(std::initializer_list<int64_t> fields) {
  CallLog& l = L();
  if (l.on && !l.calls.empty()) l.calls.back().args.insert(l.calls.back().args.end(), fields);
}

}  // namespace detail

const std::vector<Call>& Calls() { return L().calls; }

void ClearCalls() { L().calls.clear(); }

void SetCallLogging(bool on) { L().on = on; }

std::vector<Call> CallsTo(const std::string& fn) {
  std::vector<Call> out;
  for (const Call& c : L().calls)
    if (c.fn == fn) out.push_back(c);
  return out;
}

std::string ToString(const Call& call) {
  std::string s = call.fn + "(";
  for (size_t i = 0; i < call.args.size(); ++i) {
    if (i) s += ",";
    s += std::to_string(call.args[i]);
  }
  if (!call.text.empty()) {
    s += call.args.empty() ? "\"" : ",\"";
    for (unsigned char ch : call.text) {
      if (ch >= 0x20 && ch < 0x7F && ch != '"' && ch != '\\') {
        s += static_cast<char>(ch);
      } else {
        char buf[8];
        std::snprintf(buf, sizeof buf, "\\x%02X", ch);
        s += buf;
      }
    }
    s += "\"";
  }
  return s + ")";
}

}  // namespace standin
