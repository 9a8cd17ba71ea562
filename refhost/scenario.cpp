#include "refhost/scenario.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace refhost {
namespace {

struct Step {
  int line = 0;
  std::string text;
  std::vector<std::string> tokens;
};

bool ParseInt(const std::string& s, long* out) {
  if (s.empty()) return false;
  char* end = nullptr;
  const long v = std::strtol(s.c_str(), &end, 0);
  if (*end != '\0') return false;
  *out = v;
  return true;
}

bool IsHex(const std::string& s) {
  if (s.size() % 2 != 0) return false;
  for (char c : s)
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

std::string ToHex(const std::string& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string RgbText(uint32_t rgb) {
  char text[8];
  std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(rgb & 0xFFFFFF));
  return text;
}

std::u16string Utf8ToUtf16(const std::string& s) {
  std::u16string out;
  for (size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    uint32_t cp = c;
    int extra = 0;
    if (c >= 0xF0) cp = c & 7, extra = 3;
    else if (c >= 0xE0) cp = c & 15, extra = 2;
    else if (c >= 0xC0) cp = c & 31, extra = 1;
    ++i;
    for (int k = 0; k < extra && i < s.size(); ++k, ++i) cp = cp << 6 | (static_cast<unsigned char>(s[i]) & 63);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

std::string Utf16Text(const std::u16string& s) {
  std::string out;
  char unit[8];
  for (char16_t c : s) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      std::snprintf(unit, sizeof unit, "<U+%04X>", static_cast<unsigned>(c));
      out += unit;
    }
  }
  return out;
}

// Splits a line into tokens; a double-quoted token keeps its blanks.
bool Tokenize(const std::string& line, std::vector<std::string>* tokens, std::string* error) {
  size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == '#') break;
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
      continue;
    }
    if (c == '"') {
      const size_t close = line.find('"', i + 1);
      if (close == std::string::npos) {
        *error = "unterminated quote";
        return false;
      }
      tokens->push_back(line.substr(i + 1, close - i - 1));
      i = close + 1;
      continue;
    }
    size_t end = i;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '\r') ++end;
    tokens->push_back(line.substr(i, end - i));
    i = end;
  }
  return true;
}

// Argument kinds: 'i' integer, 'h' hex bytes, 'w' any word, 'c' colour (6 hex digits).
struct Form {
  const char* words;  // the leading keywords, blank-separated
  const char* args;   // one letter per argument
};

constexpr Form kForms[] = {
    {"host largest", "ii"},      {"settings clear", ""},        {"settings set", "wi"},
    {"start", ""},               {"stop", ""},                  {"open", ""},
    {"close", ""},               {"show", ""},                  {"hide", ""},
    {"frame card", "ii"},        {"frame coords", "ii"},        {"frame image", "w"},
    {"frame folder", "w"},       {"frame next", ""},            {"frame", ""},
    {"edit-change", ""},         {"main press", "ii"},          {"main move", "ii"},
    {"main release", "ii"},      {"main double", ""},           {"main movesize", ""},
    {"mouse down", "ii"},        {"mouse move", "ii"},          {"mouse up", "ii"},
    {"mouse double", "ii"},      {"mouse right", "ii"},         {"mouse middle", "ii"},
    {"wheel", "i"},              {"activate", "i"},             {"command", "i"},
    {"host-command", "i"},       {"send", "iii"},               {"resize", "ii"},
    {"poison", ""},              {"screenshot client", "w"},    {"screenshot client", "ww"},
    {"screenshot window", "w"},  {"log clear", ""},             {"dump title", ""},
    {"dump menu", ""},           {"dump log", ""},              {"expect title", "h"},
    {"expect title-wide", "w"},  {"expect menu none", ""},      {"expect menu bar", "ih"},
    {"expect menu item", "iihi"}, {"expect stored", "ww"},      {"expect log", "w"},
    {"expect log-count", "i"},   {"expect result", "i"},        {"expect client", "ii"},
    {"expect pixel", "iic"},     {"expect background", "ii"},   {"expect frame-pixel", "iiii"},
    {"expect caption-glyphs", ""},
};

// The caption glyphs as their ink's extent tells them from the letters "0",
// "1" and "r" that Windows shows where the Marlett font is missing (its
// characters for the three glyphs): "0" is taller than the minimize bar, "1"
// and "r" are narrower than the maximize box and the close cross.
struct GlyphShape {
  CaptionButtonKind kind;
  const char* name;
  int minWidth;
  int minHeight;
  int maxHeight;
};
constexpr GlyphShape kGlyphShapes[] = {
    {.kind = CaptionButtonKind::Minimize, .name = "minimize: a bar along the bottom", .minWidth = 5, .minHeight = 1, .maxHeight = 3},
    {.kind = CaptionButtonKind::Maximize, .name = "maximize: a box", .minWidth = 6, .minHeight = 6, .maxHeight = 1000},
    {.kind = CaptionButtonKind::Close, .name = "close: a cross", .minWidth = 6, .minHeight = 6, .maxHeight = 1000},
};

struct Extent {
  int width = 0;
  int height = 0;
};

// The extent of a button's ink: pixels inside its 2-pixel edges clearly darker
// than its face, the commonest colour there.
Extent InkExtent(const Pixels& button) {
  auto luma = [](uint32_t rgb) { return static_cast<int>((rgb >> 16 & 255) + (rgb >> 8 & 255) + (rgb & 255)) / 3; };
  std::map<uint32_t, int> counts;
  for (int y = 2; y < button.height - 2; ++y)
    for (int x = 2; x < button.width - 2; ++x) ++counts[button.rgb[static_cast<size_t>(y) * button.width + x]];
  if (counts.empty()) return {};
  uint32_t face = counts.begin()->first;
  for (const auto& [rgb, n] : counts)
    if (n > counts[face]) face = rgb;
  int left = button.width, right = -1, top = button.height, bottom = -1;
  for (int y = 2; y < button.height - 2; ++y)
    for (int x = 2; x < button.width - 2; ++x) {
      if (luma(face) - luma(button.rgb[static_cast<size_t>(y) * button.width + x]) < 48) continue;
      left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
    }
  if (right < 0) return {};
  return {.width = right - left + 1, .height = bottom - top + 1};
}

// Finds the form a line matches; the number of keyword tokens in *keywords.
const Form* Match(const std::vector<std::string>& tokens, size_t* keywords, std::string* error) {
  const Form* best = nullptr;
  size_t bestWords = 0;
  bool nameKnown = false;
  for (const Form& form : kForms) {
    std::vector<std::string> words;
    std::istringstream in(form.words);
    for (std::string w; in >> w;) words.push_back(w);
    if (tokens.size() < words.size()) continue;
    bool same = true;
    for (size_t i = 0; i < words.size(); ++i) same = same && tokens[i] == words[i];
    if (!same) continue;
    nameKnown = true;
    const std::string args = form.args;
    if (tokens.size() - words.size() != args.size()) continue;
    bool ok = true;
    for (size_t i = 0; i < args.size() && ok; ++i) {
      const std::string& t = tokens[words.size() + i];
      long v = 0;
      switch (args[i]) {
        case 'i': ok = ParseInt(t, &v); break;
        case 'h': ok = IsHex(t); break;
        case 'c': ok = t.size() == 6 && IsHex(t); break;
        default: ok = !t.empty(); break;
      }
    }
    if (ok && words.size() >= bestWords) {
      best = &form;
      bestWords = words.size();
    }
  }
  if (best == nullptr) *error = nameKnown ? "malformed arguments" : "unknown step";
  *keywords = bestWords;
  return best;
}

class Runner {
 public:
  Runner(Driver& driver, const std::string& path, const ScenarioOptions& options)
      : driver_(driver), path_(path), options_(options) {}

  int Run(const std::vector<Step>& steps) {
    for (const Step& step : steps) {
      step_ = &step;
      if (!Execute(step)) {
        std::printf("%s:%d: error: %s: %s\n", path_.c_str(), step.line, error_.c_str(), step.text.c_str());
        Close();
        ++failed_;
        Report();
        return 2;
      }
      for (const std::string& fault : driver_.TakeFaults()) Fail("fault: " + fault);
    }
    Close();
    for (const std::string& fault : driver_.TakeFaults()) Fail("fault: " + fault);
    Report();
    return failed_ == 0 ? 0 : 1;
  }

 private:
  void Report() {
    if (skipped_ > 0) std::printf("%s: %d checks skipped on %s\n", path_.c_str(), skipped_, driver_.Name());
    std::printf("%d passed, %d failed\n", passed_, failed_);
    if (options_.totals != nullptr) {
      options_.totals->passed += passed_;
      options_.totals->failed += failed_;
      options_.totals->skipped += skipped_;
    }
  }

  void Close() {
    if (driver_.Started()) driver_.Stop();
    if (!manifest_.empty()) {
      std::ofstream out(options_.outDir + "/manifest.txt");
      out << manifest_;
    }
  }

  void Pass() { ++passed_; }
  void Fail(const std::string& what) {
    ++failed_;
    std::printf("%s:%d: FAIL %s\n  in: %s\n", path_.c_str(), step_->line, what.c_str(), step_->text.c_str());
  }
  void Skip() { ++skipped_; }
  void CheckEq(const std::string& what, const std::string& expected, const std::string& got) {
    if (expected == got) Pass();
    else Fail(what + ": expected " + expected + ", got " + got);
  }

  long Int(size_t i) const {
    long v = 0;
    ParseInt(args_[i], &v);
    return v;
  }

  static intptr_t Point(long x, long y) {
    return static_cast<intptr_t>((static_cast<uint32_t>(x) & 0xFFFF) | (static_cast<uint32_t>(y) & 0xFFFF) << 16);
  }

  // A relative path names a file beside the scenario file.
  std::string Beside(const std::string& file) const {
    const bool absolute = (!file.empty() && (file[0] == '/' || file[0] == '\\')) || (file.size() > 1 && file[1] == ':');
    const size_t slash = path_.find_last_of("/\\");
    if (absolute || slash == std::string::npos) return file;
    return path_.substr(0, slash + 1) + file;
  }

  bool NeedStarted() {
    if (driver_.Started()) return true;
    error_ = "the plug-in is not started";
    return false;
  }

  bool Capture(Pixels* pixels) {
    if (driver_.CaptureClient(pixels)) return true;
    Skip();
    return false;
  }

  bool Execute(const Step& step) {
    size_t keywords = 0;
    const Form* form = Match(step.tokens, &keywords, &error_);
    if (form == nullptr) return false;
    const std::string name = form->words;
    args_.assign(step.tokens.begin() + static_cast<long>(keywords), step.tokens.end());

    if (name == "host largest") return driver_.SetLargestFrame(static_cast<int>(Int(0)), static_cast<int>(Int(1))), true;
    if (name == "settings clear") return driver_.ClearSettings(), true;
    if (name == "settings set") return driver_.SetSetting(args_[0], static_cast<int>(Int(1))), true;
    if (name == "log clear") return driver_.ClearSettingsLog(), true;
    if (name == "dump log") {
      if (options_.quiet) return true;
      for (const std::string& entry : driver_.SettingsLog()) std::printf("  log: %s\n", entry.c_str());
      return true;
    }
    if (name == "expect stored") {
      int value = 0;
      const bool stored = driver_.StoredSetting(args_[0], &value);
      CheckEq("stored " + args_[0], args_[1], stored ? std::to_string(value) : "none");
      return true;
    }
    if (name == "expect log" || name == "expect log-count") {
      const std::vector<std::string> log = driver_.SettingsLog();
      if (name == "expect log-count") {
        CheckEq("settings log entries", args_[0], std::to_string(log.size()));
        return true;
      }
      for (const std::string& entry : log)
        if (entry == args_[0]) return Pass(), true;
      std::string all;
      for (const std::string& entry : log) all += "\n    " + entry;
      Fail("settings log has no \"" + args_[0] + "\"; it holds:" + all);
      return true;
    }
    if (name == "start") {
      if (driver_.Started()) {
        error_ = "already started";
        return false;
      }
      std::string why;
      if (!driver_.Start(&why)) {
        error_ = "cannot start the plug-in: " + why;
        return false;
      }
      return true;
    }
    if (name == "frame card" || name == "frame coords") {
      const long w = Int(0);
      const long h = Int(1);
      if (w < 1 || h < 1 || w > 8192 || h > 8192) {
        error_ = "frame size out of 1..8192";
        return false;
      }
      frame_ = name == "frame card" ? TestCard(static_cast<int>(w), static_cast<int>(h))
                                    : CoordFrame(static_cast<int>(w), static_cast<int>(h));
      driver_.SetFrame(frame_);
      if (driver_.Started()) result_ = driver_.DisplayFrame();
      return true;
    }
    if (name == "frame image" || name == "frame folder" || name == "frame next") {
      if (name == "frame folder") {
        sequence_ = ImageFilesIn(Beside(args_[0]));
        next_ = 0;
        if (sequence_.empty()) {
          error_ = "no PNG, JPEG or BMP files in " + args_[0];
          return false;
        }
      }
      std::string file;
      if (name == "frame image") {
        file = Beside(args_[0]);
      } else {
        if (sequence_.empty()) {
          error_ = "no folder given";
          return false;
        }
        file = sequence_[next_ % sequence_.size()];
        ++next_;
      }
      if (!LoadImageFile(file, &frame_, &error_)) return false;
      driver_.SetFrame(frame_);
      if (driver_.Started()) result_ = driver_.DisplayFrame();
      return true;
    }

    // Everything below talks to the plug-in.
    if (!NeedStarted()) return false;
    if (name == "stop") return driver_.Stop(), true;
    if (name == "open") {
      driver_.SetEditing(true);
      result_ = driver_.Notify(MsgFileOpen, 0, 0);
      driver_.DisplayFrame();
      return true;
    }
    if (name == "close") {
      driver_.SetEditing(false);
      result_ = driver_.Notify(MsgFileClose, 0, 0);
      return true;
    }
    if (name == "show" || name == "hide") {
      driver_.SetShown(name == "show");
      result_ = driver_.Notify(MsgWindowChange, 0, 0);
      // A non-zero result asks the host to display the current frame again.
      if (result_ != 0) driver_.DisplayFrame();
      return true;
    }
    if (name == "frame") return result_ = driver_.DisplayFrame(), true;
    if (name == "edit-change") return result_ = driver_.Notify(MsgEditChange, 0, 0), true;
    if (name == "main press" || name == "main move" || name == "main release") {
      const unsigned msg = name == "main press" ? MsgMainDown : name == "main move" ? MsgMainMove : MsgMainUp;
      result_ = driver_.MainPointer(msg, static_cast<int>(Int(0)), static_cast<int>(Int(1)));
      return true;
    }
    if (name == "main double") return result_ = driver_.Notify(MsgMainDouble, 0, 0), true;
    if (name == "main movesize") return result_ = driver_.Notify(MsgMainMoveSize, 0, 0), true;
    if (name.rfind("mouse ", 0) == 0) {
      const intptr_t at = Point(Int(0), Int(1));
      const std::string what = name.substr(6);
      if (what == "down") result_ = driver_.SendToWindow(MsgLButtonDown, 1, at);
      if (what == "move") result_ = driver_.SendToWindow(MsgMouseMove, 1, at);
      if (what == "up") result_ = driver_.SendToWindow(MsgLButtonUp, 0, at);
      if (what == "double") {
        // What a double click delivers to a window whose class has CS_DBLCLKS.
        driver_.SendToWindow(MsgLButtonDown, 1, at);
        driver_.SendToWindow(MsgLButtonUp, 0, at);
        driver_.SendToWindow(MsgLButtonDblClk, 1, at);
        result_ = driver_.SendToWindow(MsgLButtonUp, 0, at);
      }
      if (what == "right") {
        driver_.SendToWindow(MsgRButtonDown, 2, at);
        result_ = driver_.SendToWindow(MsgRButtonUp, 0, at);
      }
      if (what == "middle") {
        driver_.SendToWindow(MsgMButtonDown, 0x10, at);
        result_ = driver_.SendToWindow(MsgMButtonUp, 0, at);
      }
      return true;
    }
    if (name == "wheel") {
      const uintptr_t wParam = static_cast<uintptr_t>((static_cast<uint32_t>(Int(0)) & 0xFFFF) << 16);
      return result_ = driver_.SendToWindow(MsgMouseWheel, wParam, 0), true;
    }
    if (name == "activate") return result_ = driver_.SendToWindow(MsgActivate, static_cast<uintptr_t>(Int(0)), 0), true;
    if (name == "command")
      return result_ = driver_.SendToWindow(MsgCommand, static_cast<uintptr_t>(Int(0)) & 0xFFFF, 0), true;
    if (name == "host-command")
      return result_ = driver_.Notify(MsgHostCommand, static_cast<uintptr_t>(Int(0)) & 0xFFFF, 0), true;
    if (name == "send") {
      result_ = driver_.SendToWindow(static_cast<unsigned>(Int(0)), static_cast<uintptr_t>(Int(1)),
                                     static_cast<intptr_t>(Int(2)));
      return true;
    }
    if (name == "resize") {
      if (Int(0) < 1 || Int(1) < 1 || Int(0) > 4000 || Int(1) > 4000) {
        error_ = "client size out of 1..4000";
        return false;
      }
      return driver_.ResizeClient(static_cast<int>(Int(0)), static_cast<int>(Int(1))), true;
    }
    if (name == "poison") return driver_.FillClient(0xFF00FF), true;
    if (name == "screenshot client" || name == "screenshot window") {
      const bool whole = name == "screenshot window";
      std::string mode = args_.size() > 1 ? args_[1] : "exact";
      if (mode != "exact" && mode != "image") {
        error_ = "comparison mode is exact or image";
        return false;
      }
      Pixels pixels;
      const bool ok = whole ? driver_.CaptureWindow(&pixels) : driver_.CaptureClient(&pixels);
      if (!ok) {
        if (!options_.quiet) std::printf("  screenshot %s: not available on %s\n", args_[0].c_str(), driver_.Name());
        return true;
      }
      const std::string file = options_.outDir + "/" + args_[0];
      if (!WritePng(file, pixels.width, pixels.height, pixels.rgb)) {
        error_ = "cannot write " + file;
        return false;
      }
      if (!whole) manifest_ += args_[0] + " " + mode + "\n";
      std::printf("  screenshot: %s\n", file.c_str());
      return true;
    }
    if (name == "dump title") {
      if (options_.quiet) return true;
      std::printf("  title: %s\n", ToHex(driver_.TitleBytes()).c_str());
      std::u16string wide;
      if (driver_.TitleWide(&wide)) std::printf("  title-wide: %s\n", Utf16Text(wide).c_str());
      return true;
    }
    if (name == "dump menu") {
      std::vector<MenuRow> rows;
      if (options_.quiet) return true;
      if (!driver_.Menu(&rows)) std::printf("  menu: none\n");
      for (const MenuRow& r : rows)
        std::printf("  menu %s %d: id %u text %s checked %d\n", r.topLevel ? "bar" : "item", r.position, r.id,
                    ToHex(r.text).c_str(), r.checked ? 1 : 0);
      return true;
    }
    if (name == "expect title") return CheckEq("title bytes", Upper(args_[0]), ToHex(driver_.TitleBytes())), true;
    if (name == "expect title-wide") {
      std::u16string wide;
      if (!driver_.TitleWide(&wide)) return Skip(), true;
      CheckEq("title (UTF-16)", Utf16Text(Utf8ToUtf16(args_[0])), Utf16Text(wide));
      return true;
    }
    if (name.rfind("expect menu", 0) == 0) {
      std::vector<MenuRow> rows;
      const bool has = driver_.Menu(&rows);
      if (name == "expect menu none") return CheckEq("menu bar", "none", has ? "present" : "none"), true;
      if (!has) return Fail("no menu bar"), true;
      const bool bar = name == "expect menu bar";
      for (const MenuRow& r : rows) {
        if (r.topLevel != bar || r.position != Int(0)) continue;
        if (bar) return CheckEq("menu bar text", Upper(args_[1]), ToHex(r.text)), true;
        const std::string want = "id " + std::to_string(Int(1)) + " text " + Upper(args_[2]) + " checked " +
                                 std::to_string(Int(3));
        const std::string got =
            "id " + std::to_string(r.id) + " text " + ToHex(r.text) + " checked " + (r.checked ? "1" : "0");
        return CheckEq("menu item " + args_[0], want, got), true;
      }
      return Fail(std::string("no menu ") + (bar ? "bar item" : "item") + " at position " + args_[0]), true;
    }
    if (name == "expect result") return CheckEq("result", args_[0], std::to_string(result_)), true;
    if (name == "expect client") {
      Pixels p;
      if (!Capture(&p)) return true;
      CheckEq("client size", args_[0] + "x" + args_[1], std::to_string(p.width) + "x" + std::to_string(p.height));
      return true;
    }
    if (name == "expect pixel" || name == "expect background" || name == "expect frame-pixel") {
      Pixels p;
      if (!Capture(&p)) return true;
      const long x = Int(0);
      const long y = Int(1);
      if (x < 0 || y < 0 || x >= p.width || y >= p.height) {
        Fail("pixel (" + args_[0] + ", " + args_[1] + ") lies outside the " + std::to_string(p.width) + "x" +
             std::to_string(p.height) + " client area");
        return true;
      }
      uint32_t want = kBackgroundRgb;
      if (name == "expect pixel") want = static_cast<uint32_t>(std::strtoul(args_[2].c_str(), nullptr, 16));
      if (name == "expect frame-pixel") {
        const long fx = Int(2);
        const long fy = Int(3);
        if (fx < 0 || fy < 0 || fx >= frame_.width || fy >= frame_.height) {
          error_ = "frame pixel outside the current frame";
          return false;
        }
        want = frame_.Pixel(static_cast<int>(fx), static_cast<int>(fy));
      }
      const uint32_t got = p.rgb[static_cast<size_t>(y) * p.width + x];
      CheckEq("pixel (" + args_[0] + ", " + args_[1] + ")", RgbText(want), RgbText(got));
      return true;
    }
    if (name == "expect caption-glyphs") {
      std::vector<CaptionButton> buttons;
      if (!driver_.CaptureCaptionButtons(&buttons)) return Skip(), true;
      for (const CaptionButton& button : buttons)
        for (const GlyphShape& shape : kGlyphShapes) {
          if (shape.kind != button.kind) continue;
          const Extent ink = InkExtent(button.pixels);
          if (ink.width >= shape.minWidth && ink.height >= shape.minHeight && ink.height <= shape.maxHeight) {
            Pass();
            continue;
          }
          Fail(std::string("caption button ") + shape.name + ": ink " + std::to_string(ink.width) + " by " +
               std::to_string(ink.height) + " pixels, a fallback letter (is the Marlett font missing?)");
        }
      return true;
    }
    error_ = "unhandled step";
    return false;
  }

  Driver& driver_;
  std::string path_;
  ScenarioOptions options_;
  const Step* step_ = nullptr;
  std::vector<std::string> args_;
  std::string error_;
  Frame frame_;
  std::vector<std::string> sequence_;
  size_t next_ = 0;
  long result_ = 0;
  int passed_ = 0;
  int failed_ = 0;
  int skipped_ = 0;
  std::string manifest_;
};

}  // namespace

int RunScenarioFile(Driver& driver, const std::string& path, const ScenarioOptions& options) {
  std::ifstream in(path);
  if (!in) {
    std::printf("%s: error: cannot read the scenario\n0 passed, 1 failed\n", path.c_str());
    return 2;
  }
  // The whole file is checked before the first step runs.
  std::vector<Step> steps;
  std::string text;
  for (int line = 1; std::getline(in, text); ++line) {
    Step step;
    step.line = line;
    if (!text.empty() && text.back() == '\r') text.pop_back();
    step.text = text;
    std::string error;
    if (!Tokenize(text, &step.tokens, &error)) {
      std::printf("%s:%d: error: %s: %s\n0 passed, 1 failed\n", path.c_str(), line, error.c_str(), text.c_str());
      return 2;
    }
    if (step.tokens.empty()) continue;
    size_t keywords = 0;
    if (Match(step.tokens, &keywords, &error) == nullptr) {
      std::printf("%s:%d: error: %s: %s\n0 passed, 1 failed\n", path.c_str(), line, error.c_str(), text.c_str());
      return 2;
    }
    steps.push_back(step);
  }
  Runner runner(driver, path, options);
  return runner.Run(steps);
}

}  // namespace refhost
