// Loads the plug-in the way the host does (LoadLibraryA, then the entry point
// by its plain or decorated name) and checks the registration record as bytes.
// Usage: loadcheck [path-to-quorvex.auf]; a Unix path is read through drive Z:.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "host/filter_table.h"
#include "refhost/windows_path.h"
#include "tests/hex.h"
#include "tests/win32/checks.h"

namespace {

using EntryPoint = void*(__cdecl*)();

}  // namespace

int main(int argc, char** argv) {
  const std::string path = WindowsPath(argc > 1 ? argv[1] : "quorvex.auf");
  HMODULE module = LoadLibraryA(path.c_str());
  if (module == nullptr) {
    std::printf("FAIL LoadLibraryA(%s): error %lu\n0 passed, 1 failed\n", path.c_str(), GetLastError());
    return 1;
  }

  // The module's image, to tell a pointer into it from a stray one.
  const auto* base = reinterpret_cast<const unsigned char*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
  const uintptr_t imageBegin = reinterpret_cast<uintptr_t>(base);
  const uintptr_t imageEnd = imageBegin + nt->OptionalHeader.SizeOfImage;
  auto inImage = [&](uint32_t p) { return p >= imageBegin && p < imageEnd; };

  const char* const names[] = {"GetFilterTable", "GetFilterTable@0", "GetFilterTableYUY2", "GetFilterTableYUY2@0"};
  void* records[4] = {};
  for (int i = 0; i < 4; ++i) {
    auto entry = reinterpret_cast<EntryPoint>(reinterpret_cast<void (*)()>(GetProcAddress(module, names[i])));
    Check(entry != nullptr, "export found", names[i]);
    if (entry != nullptr) records[i] = entry();
    Check(records[i] != nullptr, "entry point returns a record", names[i]);
  }
  for (int i = 1; i < 4; ++i) Check(records[i] == records[0], "same record from every entry point", names[i]);
  if (records[0] == nullptr) {
    std::printf("%d passed, %d failed\n", checksPassed, checksFailed + 1);
    return 1;
  }

  uint32_t words[35];
  std::memcpy(words, records[0], sizeof words);
  Check(inImage(reinterpret_cast<uintptr_t>(records[0])), "record lies in the module's image");
  // The flags word (offset 0): each declared bit, and no other.
  struct Bit {
    int32_t bit;
    const char* name;
  };
  const Bit bits[] = {{kFilterAlwaysActive, "always active"},          {kFilterResizable, "resizable frame"},
                      {kFilterWindowSize, "window size given"},        {kFilterDisplayOnly, "display filter"},
                      {kFilterInformationGiven, "information string"}, {kFilterMainMessages, "main-window messages"}};
  uint32_t declared = 0;
  for (const Bit& b : bits) {
    Check((words[0] & static_cast<uint32_t>(b.bit)) != 0, "flags word bit set", b.name);
    declared |= static_cast<uint32_t>(b.bit);
  }
  Check((words[0] & ~declared) == 0, "flags word has no other bit", hex::Word(words[0]));
  Check(words[1] == 288, "window width (offset 4)", std::to_string(words[1]));
  Check(words[2] == 288, "window height (offset 8)", std::to_string(words[2]));

  struct Text {
    int offset;
    const char* expected;
  };
  // "Tavimo" and "Tavimo r10 by Pemlo"
  const Text texts[] = {{12, "Tavimo"}, {84, "Tavimo r10 by Pemlo"}};
  for (const Text& t : texts) {
    const uint32_t p = words[t.offset / 4];
    const std::string what = "string at offset " + std::to_string(t.offset);
    Check(p != 0 && inImage(p), what, "pointer " + hex::Word(p));
    if (p != 0 && inImage(p)) {
      const char* got = reinterpret_cast<const char*>(static_cast<uintptr_t>(p));
      Check(std::strcmp(got, t.expected) == 0, what, std::string("got \"") + got + "\"");
    }
  }

  // The two registered callbacks: code of the module.
  const int callbacks[] = {48, 64};
  for (int offset : callbacks) {
    const uint32_t p = words[offset / 4];
    const std::string what = "callback at offset " + std::to_string(offset);
    Check(p != 0 && inImage(p), what, hex::Word(p));
  }

  // Every other word is zero before the host writes into the record.
  for (int offset = 0; offset < 140; offset += 4) {
    if (offset == 0 || offset == 4 || offset == 8 || offset == 12 || offset == 48 || offset == 64 || offset == 84)
      continue;
    const std::string what = "word at offset " + std::to_string(offset) + " is zero";
    Check(words[offset / 4] == 0, what, hex::Word(words[offset / 4]));
  }

  FreeLibrary(module);
  return ChecksDone();
}
