// The services the host hands the plug-in, each checking what the plug-in
// passes it: a wrong record or edit handle, or a call of a service the plug-in
// has no business with, is a fault of the session.
#include "refhost/host/services.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

#include "refhost/host/session.h"

namespace refhost {
namespace {

// The service table as the host lays it out: 64 pointer slots, of which the
// plug-in uses six; every other slot reports its own number when called.
constexpr int kServiceSlots = 64;
struct ServiceTable {
  void* slot[kServiceSlots];
};
static_assert(offsetof(HostServices, IsEditing) / 4 == 4, "IsEditing slot");
static_assert(offsetof(HostServices, IsFilterWindowVisible) / 4 == 22, "IsFilterWindowVisible slot");
static_assert(offsetof(HostServices, LoadIntSetting) / 4 == 34, "LoadIntSetting slot");
static_assert(offsetof(HostServices, SaveIntSetting) / 4 == 35, "SaveIntSetting slot");
static_assert(offsetof(HostServices, GetHostInfo) / 4 == 40, "GetHostInfo slot");
static_assert(offsetof(HostServices, GetDisplayImage) / 4 == 47, "GetDisplayImage slot");

// The edit handle of the one video this host edits: opaque to the plug-in.
void* const kEditHandle = reinterpret_cast<void*>(static_cast<uintptr_t>(0x00ED17ED));

// The services (cdecl: the caller removes the arguments).

BOOL __cdecl IsEditing(void* editHandle) {
  if (editHandle != kEditHandle) Fault("IsEditing given an edit handle that is not the host's");
  return session.editing ? 1 : 0;
}

BOOL __cdecl IsFilterWindowVisible(FilterTable* table) {
  if (table != session.table) Fault("IsFilterWindowVisible given a record that is not the plug-in's");
  return session.pluginWindow != nullptr && IsWindowVisible(session.pluginWindow) ? 1 : 0;
}

int __cdecl LoadIntSetting(FilterTable* table, LPCSTR key, int defaultValue) {
  if (table != session.table) Fault("LoadIntSetting given a record that is not the plug-in's");
  if (key == nullptr) {
    Fault("LoadIntSetting given no key");
    return defaultValue;
  }
  const int value = static_cast<int>(
      GetPrivateProfileIntA(hostConfig.section.c_str(), key, defaultValue, hostConfig.iniPath.c_str()));
  session.settingsLog.push_back("load " + std::string(key) + " " + std::to_string(defaultValue) + " -> " +
                                std::to_string(value));
  return value;
}

BOOL __cdecl SaveIntSetting(FilterTable* table, LPCSTR key, int value) {
  if (table != session.table) Fault("SaveIntSetting given a record that is not the plug-in's");
  if (key == nullptr) {
    Fault("SaveIntSetting given no key");
    return 0;
  }
  session.settingsLog.push_back("save " + std::string(key) + " " + std::to_string(value));
  return WritePrivateProfileStringA(hostConfig.section.c_str(), key, std::to_string(value).c_str(),
                                    hostConfig.iniPath.c_str());
}

BOOL __cdecl GetHostInfo(void* editHandle, HostInfo* info) {
  if (editHandle != nullptr) Fault("GetHostInfo given an edit handle (the plug-in passes 0)");
  // The host fills its whole 84-byte record.
  std::memset(info, 0, sizeof *info);
  info->maxWidth = session.largestWidth;
  info->maxHeight = session.largestHeight;
  return 1;
}

void* __cdecl GetDisplayImage(void* editHandle, int flags) {
  if (editHandle != kEditHandle) Fault("GetDisplayImage given an edit handle that is not the host's");
  if (flags != 0) Fault("GetDisplayImage given flags " + std::to_string(flags));
  return session.frame.dib.empty() ? nullptr : session.frame.dib.data();
}

template <int N>
int __cdecl UnexpectedService() {
  Fault("unexpected service " + std::to_string(N) + " (byte offset " + std::to_string(N * 4) + ")");
  return 0;
}

template <int... N>
ServiceTable UnexpectedServices(std::integer_sequence<int, N...>) {
  return {{reinterpret_cast<void*>(&UnexpectedService<N>)...}};
}

ServiceTable MakeServices() {
  ServiceTable t = UnexpectedServices(std::make_integer_sequence<int, kServiceSlots>());
  t.slot[offsetof(HostServices, IsEditing) / 4] = reinterpret_cast<void*>(&IsEditing);
  t.slot[offsetof(HostServices, IsFilterWindowVisible) / 4] = reinterpret_cast<void*>(&IsFilterWindowVisible);
  t.slot[offsetof(HostServices, LoadIntSetting) / 4] = reinterpret_cast<void*>(&LoadIntSetting);
  t.slot[offsetof(HostServices, SaveIntSetting) / 4] = reinterpret_cast<void*>(&SaveIntSetting);
  t.slot[offsetof(HostServices, GetHostInfo) / 4] = reinterpret_cast<void*>(&GetHostInfo);
  t.slot[offsetof(HostServices, GetDisplayImage) / 4] = reinterpret_cast<void*>(&GetDisplayImage);
  return t;
}

ServiceTable services = MakeServices();

}  // namespace

void* HostEditHandle() { return kEditHandle; }
HostServices* HostServiceTable() { return reinterpret_cast<HostServices*>(&services); }

}  // namespace refhost
