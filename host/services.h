// Calls into the host's service table that survive a host which has not yet
// written the table (or left a slot empty): a missing service answers as
// "no video, window hidden, nothing stored".
#pragma once

#include "host/filter_table.h"

BOOL HostIsEditing(FilterTable* table, void* editHandle);
BOOL HostIsFilterWindowVisible(FilterTable* table);
int HostLoadIntSetting(FilterTable* table, LPCSTR key, int defaultValue);
void HostSaveIntSetting(FilterTable* table, LPCSTR key, int value);
// Fills info; leaves it untouched (zeros) when the host has no such service.
void HostGetHostInfo(FilterTable* table, HostInfo* info);
const void* HostGetDisplayImage(FilterTable* table, void* editHandle);
