// Runs the reference host's scenario files natively: the plug-in's own code
// against the software Win32 stand-in, through the fake host. Together with the
// same files run by the reference host under Wine, this gives the differential
// pixel check; --compare does the comparing. Its usage: kUsage below.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/view_background.h"
#include "refhost/scenario/frames.h"
#include "refhost/scenario/images.h"
#include "refhost/scenario/scenario.h"
#include "tests/fake_host.h"
#include "tests/hex.h"

namespace {

using refhost::Frame;

constexpr char kUsage[] =
    "usage: native_driver SCENARIO [--out DIR] [--ini FILE] [--quiet]\n"
    "       native_driver --compare NATIVE_DIR WINE_DIR\n"
    "       native_driver --help\n";

class NativeDriver : public refhost::Driver {
 public:
  // Settings kept in a file of KEY=VALUE lines across runs of the driver, as
  // the reference host keeps them in its INI file.
  explicit NativeDriver(std::string settingsFile) : settingsFile_(std::move(settingsFile)) {
    if (settingsFile_.empty()) return;
    std::FILE* f = std::fopen(settingsFile_.c_str(), "r");
    if (f == nullptr) return;
    char key[128];
    int value = 0;
    while (std::fscanf(f, " %127[^=]=%d", key, &value) == 2) stored_[key] = value;
    std::fclose(f);
  }
  ~NativeDriver() override { SaveFile(); }

  const char* Name() const override { return "native stand-in"; }
  void SetLargestFrame(int w, int h) override {
    largestWidth_ = w;
    largestHeight_ = h;
    if (started_) fakehost::Current().maxWidth = w, fakehost::Current().maxHeight = h;
  }
  void ClearSettings() override {
    Store().clear();
    SaveFile();
  }
  void SetSetting(const std::string& key, int value) override {
    Store()[key] = value;
    SaveFile();
  }
  bool StoredSetting(const std::string& key, int* value) override {
    auto it = Store().find(key);
    if (it == Store().end()) return false;
    *value = it->second;
    return true;
  }
  std::vector<std::string> SettingsLog() override {
    std::vector<std::string> log = log_;
    if (started_) Append(fakehost::Current().settingsLog, &log);
    return log;
  }
  void ClearSettingsLog() override {
    log_.clear();
    if (started_) fakehost::Current().settingsLog.clear();
  }

  bool Start(std::string*) override {
    fakehost::Host& host = fakehost::Start(kInitialClientWidth, kInitialClientHeight);
    host.stored = stored_;
    host.maxWidth = largestWidth_;
    host.maxHeight = largestHeight_;
    host.editing = 0;
    host.windowVisible = 0;
    ApplyFrame();
    started_ = true;
    fakehost::Init();
    return true;
  }
  void Stop() override {
    fakehost::Exit();
    fakehost::Host& host = fakehost::Current();
    Append(host.settingsLog, &log_);
    stored_ = host.stored;
    standin::DestroyTestWindow(host.window);
    started_ = false;
    SaveFile();
  }
  bool Started() const override { return started_; }
  void SetEditing(bool open) override { fakehost::Current().editing = open ? 1 : 0; }
  void SetShown(bool shown) override { fakehost::Current().windowVisible = shown ? 1 : 0; }
  void SetFrame(const Frame& frame) override {
    frame_ = frame;
    if (started_) ApplyFrame();
  }
  long DisplayFrame() override { return fakehost::Frame(); }
  long Notify(unsigned msg, uintptr_t wParam, intptr_t lParam) override {
    fakehost::Host& host = fakehost::Current();
    return host.table->filterWndProc(host.window, msg, wParam, lParam, host.editHandle, host.table);
  }
  long SendToWindow(unsigned msg, uintptr_t wParam, intptr_t lParam) override {
    return static_cast<long>(fakehost::Send(msg, wParam, lParam));
  }
  void ResizeClient(int w, int h) override { standin::ResizeClient(fakehost::Current().window, w, h); }
  void FillClient(uint32_t rgb) override { standin::FillClient(fakehost::Current().window, rgb); }
  bool CaptureClient(refhost::Pixels* out) override {
    HWND window = fakehost::Current().window;
    out->width = standin::ClientWidth(window);
    out->height = standin::ClientHeight(window);
    out->rgb = standin::ClientPixels(window);
    return true;
  }
  bool CaptureWindow(refhost::Pixels*) override { return false; }  // the stand-in has no frame or caption
  std::string TitleBytes() override { return standin::WindowText(fakehost::Current().window); }
  bool TitleWide(std::u16string*) override { return false; }  // the stand-in keeps bytes only
  bool Menu(std::vector<refhost::MenuRow>* rows) override {
    HMENU bar = standin::WindowMenu(fakehost::Current().window);
    if (bar == nullptr) return false;
    Read(bar, true, rows);
    return true;
  }
  bool CountGdiObjects(long* count) override {
    const standin::Books b = standin::GetBooks();
    *count = b.memoryDcsAlive + b.bitmapsAlive + b.regionsAlive;
    return true;
  }
  std::vector<std::string> TakeFaults() override {
    if (!started_) return {};
    const std::string violations = fakehost::Violations();
    if (violations.empty()) return {};
    return {violations};
  }

 private:
  void SaveFile() {
    if (settingsFile_.empty()) return;
    std::FILE* f = std::fopen(settingsFile_.c_str(), "w");
    if (f == nullptr) return;
    for (const auto& [key, value] : Store()) std::fprintf(f, "%s=%d\n", key.c_str(), value);
    std::fclose(f);
  }

  std::map<std::string, int>& Store() { return started_ ? fakehost::Current().stored : stored_; }

  static void Append(const std::vector<fakehost::SettingEvent>& events, std::vector<std::string>* log) {
    for (const fakehost::SettingEvent& e : events)
      log->push_back(e.save
                         ? "save " + e.key + " " + std::to_string(e.value)
                         : "load " + e.key + " " + std::to_string(e.defaultValue) + " -> " + std::to_string(e.value));
  }

  void ApplyFrame() {
    fakehost::Host& host = fakehost::Current();
    host.frameWidth = frame_.width;
    host.frameHeight = frame_.height;
    host.image = frame_.dib;
  }

  static void Read(HMENU menu, bool topLevel, std::vector<refhost::MenuRow>* rows) {
    const std::vector<standin::MenuItem> items = standin::MenuItems(menu);
    for (size_t i = 0; i < items.size(); ++i) {
      refhost::MenuRow row;
      row.position = static_cast<int>(i);
      row.topLevel = topLevel;
      row.id = items[i].subMenu != nullptr ? 0 : items[i].id;
      row.text = items[i].text;
      row.checked = (items[i].state & MFS_CHECKED) != 0;
      rows->push_back(row);
      if (items[i].subMenu != nullptr) Read(items[i].subMenu, false, rows);
    }
  }

  std::string settingsFile_;
  bool started_ = false;
  int largestWidth_ = 1920;
  int largestHeight_ = 1080;
  std::map<std::string, int> stored_;
  std::vector<std::string> log_;
  Frame frame_;
};

// ---- comparing the two sides' pictures ------------------------------------------

struct Box {
  int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive; empty when equal
  std::string Text() const {
    return "(" + std::to_string(left) + ", " + std::to_string(top) + ")-(" + std::to_string(right) + ", " +
           std::to_string(bottom) + ")";
  }
  bool operator==(const Box&) const = default;
};

// The smallest box holding every pixel that is not the background.
Box ImageBox(int w, int h, const std::vector<uint32_t>& rgb) {
  Box b{w, h, 0, 0};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (rgb[static_cast<size_t>(y) * w + x] != kViewBackgroundRgb) {
        b.left = std::min(b.left, x);
        b.top = std::min(b.top, y);
        b.right = std::max(b.right, x + 1);
        b.bottom = std::max(b.bottom, y + 1);
      }
  if (b.right <= b.left || b.bottom <= b.top) b = Box{};
  return b;
}

int Compare(const std::string& nativeDir, const std::string& wineDir) {
  std::FILE* manifest = std::fopen((nativeDir + "/manifest.txt").c_str(), "r");
  if (manifest == nullptr) {
    std::printf("error: no %s/manifest.txt\n0 passed, 1 failed\n", nativeDir.c_str());
    return 1;
  }
  int passed = 0;
  int failed = 0;
  long long comparedPixels = 0;
  char name[256];
  char mode[32];
  while (std::fscanf(manifest, "%255s %31s", name, mode) == 2) {
    int nw = 0, nh = 0, ww = 0, wh = 0;
    std::vector<uint32_t> native, wine;
    const bool haveNative = refhost::ReadPng(nativeDir + "/" + name, &nw, &nh, &native);
    const bool haveWine = refhost::ReadPng(wineDir + "/" + name, &ww, &wh, &wine);
    if (!haveNative || !haveWine) {
      ++failed;
      std::printf("FAIL %s: missing on the %s side\n", name, haveNative ? "Wine" : "native");
      continue;
    }
    if (nw != ww || nh != wh) {
      ++failed;
      std::printf("FAIL %s: client %dx%d natively, %dx%d under Wine\n", name, nw, nh, ww, wh);
      continue;
    }
    if (std::strcmp(mode, "exact") == 0) {
      long differing = 0;
      int fx = -1, fy = -1;
      for (int y = 0; y < nh; ++y)
        for (int x = 0; x < nw; ++x)
          if (native[static_cast<size_t>(y) * nw + x] != wine[static_cast<size_t>(y) * nw + x] && differing++ == 0)
            fx = x, fy = y;
      comparedPixels += static_cast<long long>(nw) * nh;
      if (differing == 0) {
        ++passed;
        std::printf("ok   %s: %dx%d identical\n", name, nw, nh);
      } else {
        ++failed;
        const size_t at = static_cast<size_t>(fy) * nw + fx;
        std::printf("FAIL %s: %ld of %d pixels differ; first at (%d, %d): native %s, Wine %s\n", name, differing,
                    nw * nh, fx, fy, hex::Rgb(native[at]).c_str(), hex::Rgb(wine[at]).c_str());
      }
      continue;
    }
    // Reducing levels: GDI's and the stand-in's sampling may pick different
    // source pixels, but the image must land in the same rectangle.
    const Box nb = ImageBox(nw, nh, native);
    const Box wb = ImageBox(ww, wh, wine);
    long differing = 0;
    long inside = 0;
    for (int y = nb.top; y < nb.bottom; ++y)
      for (int x = nb.left; x < nb.right; ++x, ++inside)
        if (native[static_cast<size_t>(y) * nw + x] != wine[static_cast<size_t>(y) * nw + x]) ++differing;
    comparedPixels += inside;
    if (nb == wb) {
      ++passed;
      std::printf("ok   %s: image rectangle %s on both sides; %ld of %ld pixels inside differ (%.1f%%)\n", name,
                  nb.Text().c_str(), differing, inside,
                  inside > 0 ? 100.0 * static_cast<double>(differing) / static_cast<double>(inside) : 0.0);
    } else {
      ++failed;
      std::printf("FAIL %s: image rectangle %s natively, %s under Wine\n", name, nb.Text().c_str(), wb.Text().c_str());
    }
  }
  std::fclose(manifest);
  std::printf("pixels compared: %lld\n%d passed, %d failed\n", comparedPixels, passed, failed);
  return failed == 0 ? 0 : 1;
}

int Usage() {
  std::fprintf(stderr, "%s", kUsage);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--compare") == 0) return Compare(argv[2], argv[3]);
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::printf("%s\n%s", kUsage, refhost::ScenarioHelp().c_str());
    return 0;
  }
  std::string script;
  std::string settingsFile;
  refhost::ScenarioOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--out" && i + 1 < argc) options.outDir = argv[++i];
    else if (arg == "--ini" && i + 1 < argc) settingsFile = argv[++i];
    else if (arg == "--quiet") options.quiet = true;
    else if (script.empty() && arg[0] != '-') script = arg;
    else return Usage();
  }
  if (script.empty()) return Usage();
  std::error_code ec;
  std::filesystem::create_directories(options.outDir, ec);
  NativeDriver driver(settingsFile);
  return refhost::RunScenarioFile(driver, script, options);
}
