// The steps that check and report (scenario_checks.h): their handlers and, at
// the end, their table.
#include "refhost/scenario/scenario_checks.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "platform/view_background.h"
#include "refhost/scenario/images.h"
#include "refhost/scenario/scenario_text.h"

namespace refhost {
namespace {

bool Screenshot(ScenarioRun& run, bool whole) {
  const std::string& name = run.args[0];
  const std::string mode = run.args.size() > 1 ? run.args[1] : "exact";
  if (mode != "exact" && mode != "image") return run.Refuse("comparison mode is exact or image");
  Pixels pixels;
  const bool ok = whole ? run.driver.CaptureWindow(&pixels) : run.driver.CaptureClient(&pixels);
  if (!ok) {
    if (!run.options.quiet) std::printf("  screenshot %s: not available on %s\n", name.c_str(), run.driver.Name());
    return true;
  }
  const std::string file = run.options.outDir + "/" + name;
  if (!WritePng(file, pixels.width, pixels.height, pixels.rgb)) return run.Refuse("cannot write " + file);
  if (!whole) run.manifest += name + " " + mode + "\n";
  std::printf("  screenshot: %s\n", file.c_str());
  return true;
}

// The menu row at the position of argument 0, of the bar or of its popups;
// false, with the check failed, when there is no menu bar or no such row.
bool FindMenuRow(ScenarioRun& run, bool bar, MenuRow* found) {
  std::vector<MenuRow> rows;
  if (!run.driver.Menu(&rows)) {
    run.Fail("no menu bar");
    return false;
  }
  for (const MenuRow& r : rows)
    if (r.topLevel == bar && r.position == run.Int(0)) return *found = r, true;
  run.Fail(std::string("no menu ") + (bar ? "bar item" : "item") + " at position " + run.args[0]);
  return false;
}

// The client pixel at arguments 0 and 1; false when the client area cannot be
// captured here (the check is skipped) or the pixel lies outside it (failed).
bool ClientPixel(ScenarioRun& run, uint32_t* rgb) {
  Pixels p;
  if (!run.driver.CaptureClient(&p)) {
    run.Skip();
    return false;
  }
  const long x = run.Int(0);
  const long y = run.Int(1);
  if (x < 0 || y < 0 || x >= p.width || y >= p.height) {
    run.Fail("pixel (" + run.args[0] + ", " + run.args[1] + ") lies outside the " + std::to_string(p.width) + "x" +
             std::to_string(p.height) + " client area");
    return false;
  }
  *rgb = p.rgb[static_cast<size_t>(y) * p.width + x];
  return true;
}

void CheckPixel(ScenarioRun& run, uint32_t want, uint32_t got) {
  run.CheckEq("pixel (" + run.args[0] + ", " + run.args[1] + ")", RgbText(want), RgbText(got));
}

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
// clang-format off
constexpr GlyphShape kGlyphShapes[] = {
    {.kind = CaptionButtonKind::Minimize, .name = "minimize: a bar along the bottom", .minWidth = 5, .minHeight = 1, .maxHeight = 3},
    {.kind = CaptionButtonKind::Maximize, .name = "maximize: a box", .minWidth = 6, .minHeight = 6, .maxHeight = 1000},
    {.kind = CaptionButtonKind::Close, .name = "close: a cross", .minWidth = 6, .minHeight = 6, .maxHeight = 1000},
};
// clang-format on

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

bool ScreenshotClient(ScenarioRun& run) { return Screenshot(run, false); }
bool ScreenshotWindow(ScenarioRun& run) { return Screenshot(run, true); }

bool DumpTitle(ScenarioRun& run) {
  if (run.options.quiet) return true;
  std::printf("  title: %s\n", ToHex(run.driver.TitleBytes()).c_str());
  std::u16string wide;
  if (run.driver.TitleWide(&wide)) std::printf("  title-wide: %s\n", Utf16Text(wide).c_str());
  return true;
}

bool DumpMenu(ScenarioRun& run) {
  if (run.options.quiet) return true;
  std::vector<MenuRow> rows;
  if (!run.driver.Menu(&rows)) std::printf("  menu: none\n");
  for (const MenuRow& r : rows) {
    // Named as the scenarios name the commands; an item that opens a popup has none.
    const std::string command = r.id != 0 ? "command " + MenuCommandText(r.id) + " " : "";
    std::printf("  menu %s %d: %stext %s checked %d\n", r.topLevel ? "bar" : "item", r.position, command.c_str(),
                ToHex(r.text).c_str(), r.checked ? 1 : 0);
  }
  return true;
}

bool DumpLog(ScenarioRun& run) {
  if (run.options.quiet) return true;
  for (const std::string& entry : run.driver.SettingsLog()) std::printf("  log: %s\n", entry.c_str());
  return true;
}

bool ExpectTitle(ScenarioRun& run) {
  run.CheckEq("title bytes", Upper(run.args[0]), ToHex(run.driver.TitleBytes()));
  return true;
}

bool ExpectTitleWide(ScenarioRun& run) {
  std::u16string wide;
  if (!run.driver.TitleWide(&wide)) return run.Skip();
  run.CheckEq("title (UTF-16)", Utf16Text(Utf8ToUtf16(run.args[0])), Utf16Text(wide));
  return true;
}

bool ExpectMenuNone(ScenarioRun& run) {
  std::vector<MenuRow> rows;
  run.CheckEq("menu bar", "none", run.driver.Menu(&rows) ? "present" : "none");
  return true;
}

bool ExpectMenuBar(ScenarioRun& run) {
  MenuRow r;
  if (FindMenuRow(run, true, &r)) run.CheckEq("menu bar text", Upper(run.args[1]), ToHex(r.text));
  return true;
}

bool ExpectMenuItem(ScenarioRun& run) {
  MenuRow r;
  if (!FindMenuRow(run, false, &r)) return true;
  const std::string want =
      "command " + run.args[1] + " text " + Upper(run.args[2]) + " checked " + std::to_string(run.Int(3));
  const std::string got =
      "command " + MenuCommandText(r.id) + " text " + ToHex(r.text) + " checked " + (r.checked ? "1" : "0");
  run.CheckEq("menu item " + run.args[0], want, got);
  return true;
}

bool ExpectStored(ScenarioRun& run) {
  int value = 0;
  const bool stored = run.driver.StoredSetting(run.args[0], &value);
  run.CheckEq("stored " + run.args[0], run.args[1], stored ? std::to_string(value) : "none");
  return true;
}

bool ExpectLog(ScenarioRun& run) {
  const std::vector<std::string> log = run.driver.SettingsLog();
  for (const std::string& entry : log)
    if (entry == run.args[0]) return run.Pass();
  std::string all;
  for (const std::string& entry : log) all += "\n    " + entry;
  run.Fail("settings log has no \"" + run.args[0] + "\"; it holds:" + all);
  return true;
}

bool ExpectLogCount(ScenarioRun& run) {
  run.CheckEq("settings log entries", run.args[0], std::to_string(run.driver.SettingsLog().size()));
  return true;
}

bool ExpectResult(ScenarioRun& run) {
  run.CheckEq("result", run.args[0], std::to_string(run.result));
  return true;
}

bool ExpectClient(ScenarioRun& run) {
  Pixels p;
  if (!run.driver.CaptureClient(&p)) return run.Skip();
  run.CheckEq("client size", run.args[0] + "x" + run.args[1], std::to_string(p.width) + "x" + std::to_string(p.height));
  return true;
}

bool ExpectPixel(ScenarioRun& run) {
  uint32_t got = 0;
  if (ClientPixel(run, &got))
    CheckPixel(run, static_cast<uint32_t>(std::strtoul(run.args[2].c_str(), nullptr, 16)), got);
  return true;
}

bool ExpectBackground(ScenarioRun& run) {
  uint32_t got = 0;
  if (ClientPixel(run, &got)) CheckPixel(run, kViewBackgroundRgb, got);
  return true;
}

bool ExpectFramePixel(ScenarioRun& run) {
  uint32_t got = 0;
  if (!ClientPixel(run, &got)) return true;
  const long fx = run.Int(2);
  const long fy = run.Int(3);
  if (fx < 0 || fy < 0 || fx >= run.frame.width || fy >= run.frame.height)
    return run.Refuse("frame pixel outside the current frame");
  CheckPixel(run, run.frame.Pixel(static_cast<int>(fx), static_cast<int>(fy)), got);
  return true;
}

bool ExpectCaptionGlyphs(ScenarioRun& run) {
  std::vector<CaptionButton> buttons;
  if (!run.driver.CaptureCaptionButtons(&buttons)) return run.Skip();
  for (const CaptionButton& button : buttons)
    for (const GlyphShape& shape : kGlyphShapes) {
      if (shape.kind != button.kind) continue;
      const Extent ink = InkExtent(button.pixels);
      if (ink.width >= shape.minWidth && ink.height >= shape.minHeight && ink.height <= shape.maxHeight) {
        run.Pass();
        continue;
      }
      run.Fail(std::string("caption button ") + shape.name + ": ink " + std::to_string(ink.width) + " by " +
               std::to_string(ink.height) + " pixels, a fallback letter (is the Marlett font missing?)");
    }
  return true;
}

bool ExpectTextGlyphs(ScenarioRun& run) {
  std::vector<std::string> boxed;
  if (!run.driver.BoxedCharacters(&boxed)) return run.Skip(), true;
  if (boxed.empty()) run.Pass();
  for (const std::string& where : boxed)
    run.Fail(where + " is drawn as an empty box (no font with its glyph behind the title or menu font?)");
  return true;
}

bool ExpectGdiAdded(ScenarioRun& run) {
  long count = 0;
  if (!run.driver.CountGdiObjects(&count)) return run.Skip();
  run.CheckEq("GDI objects added since gdi mark", run.args[0], std::to_string(count - run.gdiMark));
  return true;
}

// clang-format off
constexpr StepForm kForms[] = {
    {"screenshot client", "w", "NAME", kStarted, ScreenshotClient, "the client area as a PNG in the output folder"},
    {"screenshot client", "ww", "NAME MODE", kStarted, ScreenshotClient,
     "the same; MODE exact or image: how the pictures of both platforms compare"},
    {"screenshot window", "w", "NAME", kStarted, ScreenshotWindow, "the whole window as a PNG"},
    {"dump title", "", "", kStarted, DumpTitle, "print the window text"},
    {"dump menu", "", "", kStarted, DumpMenu, "print the menu bar and its items"},
    {"dump log", "", "", kAnyTime, DumpLog, "print the settings log"},
    {"expect title", "h", "HEX", kStarted, ExpectTitle, "window text bytes (GetWindowTextA)"},
    {"expect title-wide", "w", "\"TEXT\"", kStarted, ExpectTitleWide,
     "window text as UTF-16 (GetWindowTextW), TEXT in UTF-8"},
    {"expect menu none", "", "", kStarted, ExpectMenuNone, "the window has no menu bar"},
    {"expect menu bar", "ih", "POS HEX", kStarted, ExpectMenuBar, "text bytes of the menu bar's item at POS"},
    {"expect menu item", "imhi", "POS CMD HEX CHECKED", kStarted, ExpectMenuItem, "an item of the popups at POS"},
    {"expect stored", "ww", "KEY VALUE", kAnyTime, ExpectStored, "the stored setting; VALUE none: not stored"},
    {"expect log", "w", "\"ENTRY\"", kAnyTime, ExpectLog,
     "the settings log holds \"load KEY DEFAULT -> VALUE\" or \"save KEY VALUE\""},
    {"expect log-count", "i", "N", kAnyTime, ExpectLogCount, "the settings log holds N entries"},
    {"expect result", "i", "N", kStarted, ExpectResult, "result of the last message or notification"},
    {"expect client", "ii", "W H", kStarted, ExpectClient, "client size of the plug-in window"},
    {"expect pixel", "iic", "X Y RRGGBB", kStarted, ExpectPixel, "colour of a client pixel"},
    {"expect background", "ii", "X Y", kStarted, ExpectBackground, "the pixel shows the empty view's background"},
    {"expect frame-pixel", "iiii", "X Y FX FY", kStarted, ExpectFramePixel,
     "the pixel shows the current frame's pixel (FX, FY)"},
    {"expect caption-glyphs", "", "", kStarted, ExpectCaptionGlyphs,
     "the caption buttons show their glyphs, not fallback letters"},
    {"expect text-glyphs", "", "", kStarted, ExpectTextGlyphs,
     "every character of the title and the menus is drawn with a glyph, none as an empty box"},
    {"expect gdi-added", "i", "N", kAnyTime, ExpectGdiAdded, "the process holds N GDI objects more than at gdi mark"},
};
// clang-format on
static_assert(WellMade(kForms), "every argument named, every step with its help");

}  // namespace

const std::span<const StepForm> kCheckSteps = kForms;

}  // namespace refhost
