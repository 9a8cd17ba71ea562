// Reads the plug-in's version resource back the way Explorer's Properties
// (Details) does: GetFileVersionInfoA, then VerQueryValueA for the fixed part,
// the translation list and every string of both language blocks. Under code
// page 932 the ANSI calls hand the Japanese texts back as Shift_JIS bytes.
// Usage: versioncheck [path-to-quorvex.auf]; a Unix path is read through drive Z:.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "refhost/windows_path.h"
#include "tests/hex.h"
#include "tests/win32/checks.h"

namespace {

struct Entry {
  const char* block;  // language and code page, as the StringFileInfo block names them
  const char* key;
  const char* expected;  // bytes as VerQueryValueA returns them (code page 932)
};

constexpr char kCopyright[] = "Copyright (c) 2026 The Tavimo developers";
// clang-format off
const Entry kEntries[] = {
    // "Tavimo 表示中のフレームを拡大して見るフィルタ": 表 is 0x95 0x5C, a trail byte that is '\'.
    {.block = "041103A4", .key = "FileDescription",
     .expected = "Tavimo \x95\x5c\x8e\xa6\x92\x86\x82\xcc\x83\x74\x83\x8c\x81\x5b\x83\x80\x82\xf0\x8a\x67\x91\xe5"
                 "\x82\xb5\x82\xc4\x8c\xa9\x82\xe9\x83\x74\x83\x42\x83\x8b\x83\x5e"},
    {.block = "041103A4", .key = "FileVersion", .expected = "r10"},
    {.block = "041103A4", .key = "ProductName", .expected = "Tavimo"},
    {.block = "041103A4", .key = "ProductVersion", .expected = "r10"},
    {.block = "041103A4", .key = "OriginalFilename", .expected = "quorvex.auf"},
    {.block = "041103A4", .key = "InternalName", .expected = "quorvex.auf"},
    {.block = "041103A4", .key = "LegalCopyright", .expected = kCopyright},
    {.block = "040904E4", .key = "FileDescription", .expected = "Tavimo pixel magnifier for the displayed frame"},
    {.block = "040904E4", .key = "FileVersion", .expected = "r10"},
    {.block = "040904E4", .key = "ProductName", .expected = "Tavimo"},
    {.block = "040904E4", .key = "ProductVersion", .expected = "r10"},
    {.block = "040904E4", .key = "OriginalFilename", .expected = "quorvex.auf"},
    {.block = "040904E4", .key = "InternalName", .expected = "quorvex.auf"},
    {.block = "040904E4", .key = "LegalCopyright", .expected = kCopyright},
};
// clang-format on

}  // namespace

int main(int argc, char** argv) {
  const std::string path = WindowsPath(argc > 1 ? argv[1] : "quorvex.auf");
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
  if (size == 0) {
    std::printf("FAIL GetFileVersionInfoSizeA(%s): error %lu\n0 passed, 1 failed\n", path.c_str(), GetLastError());
    return 1;
  }
  std::vector<char> info(size);
  if (!GetFileVersionInfoA(path.c_str(), 0, size, info.data())) {
    std::printf("FAIL GetFileVersionInfoA(%s): error %lu\n0 passed, 1 failed\n", path.c_str(), GetLastError());
    return 1;
  }

  void* value = nullptr;
  UINT length = 0;
  const bool haveFixed = VerQueryValueA(info.data(), "\\", &value, &length) && length >= sizeof(VS_FIXEDFILEINFO);
  Check(haveFixed, "fixed file information");
  if (haveFixed) {
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    Check(fixed->dwSignature == 0xFEEF04BDu, "fixed information signature");
    // Release 10 is version 10.0.0.0, file and product alike.
    Check(fixed->dwFileVersionMS == 0x000A0000u && fixed->dwFileVersionLS == 0, "file version 10.0.0.0");
    Check(fixed->dwProductVersionMS == 0x000A0000u && fixed->dwProductVersionLS == 0, "product version 10.0.0.0");
    Check(fixed->dwFileType == VFT_DLL, "file type DLL");
  }

  // Japanese first: Explorer on a Japanese Windows picks the first matching pair.
  const bool haveTranslation = VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", &value, &length);
  Check(haveTranslation && length == 8, "translation list of two pairs", std::to_string(length) + " bytes");
  if (haveTranslation && length == 8) {
    WORD pairs[4];
    std::memcpy(pairs, value, sizeof pairs);
    Check(pairs[0] == 0x0411 && pairs[1] == 932 && pairs[2] == 0x0409 && pairs[3] == 1252,
          "translations 0x0411/932 and 0x0409/1252");
  }

  for (const Entry& e : kEntries) {
    const std::string query = std::string("\\StringFileInfo\\") + e.block + "\\" + e.key;
    char* text = nullptr;
    UINT chars = 0;
    const bool found = VerQueryValueA(info.data(), query.c_str(), reinterpret_cast<void**>(&text), &chars);
    Check(found && text != nullptr, query, "missing");
    if (!found || text == nullptr) continue;
    const std::string got(text, std::strlen(text));
    Check(got == e.expected, query, "expected " + hex::Bytes(e.expected) + ", got " + hex::Bytes(got));
  }

  return ChecksDone();
}
