#include "host/services.h"

namespace {
HostServices* Services(FilterTable* table) { return table != nullptr ? table->services : nullptr; }
}  // namespace

BOOL HostIsEditing(FilterTable* table, void* editHandle) {
  HostServices* s = Services(table);
  return s != nullptr && s->IsEditing != nullptr ? s->IsEditing(editHandle) : 0;
}

BOOL HostIsFilterWindowVisible(FilterTable* table) {
  HostServices* s = Services(table);
  return s != nullptr && s->IsFilterWindowVisible != nullptr ? s->IsFilterWindowVisible(table) : 0;
}

int HostLoadIntSetting(FilterTable* table, LPCSTR key, int defaultValue) {
  HostServices* s = Services(table);
  return s != nullptr && s->LoadIntSetting != nullptr ? s->LoadIntSetting(table, key, defaultValue) : defaultValue;
}

void HostSaveIntSetting(FilterTable* table, LPCSTR key, int value) {
  HostServices* s = Services(table);
  if (s != nullptr && s->SaveIntSetting != nullptr) s->SaveIntSetting(table, key, value);
}

void HostGetHostInfo(FilterTable* table, HostInfo* info) {
  HostServices* s = Services(table);
  if (s != nullptr && s->GetHostInfo != nullptr) s->GetHostInfo(nullptr, info);
}

const void* HostGetDisplayImage(FilterTable* table, void* editHandle) {
  HostServices* s = Services(table);
  return s != nullptr && s->GetDisplayImage != nullptr ? s->GetDisplayImage(editHandle, 0) : nullptr;
}
