#include "host/filter_table.h"

#include "host/version.h"

namespace {
constexpr char kFilterName[] = TAVIMO_NAME;
constexpr char kFilterInformation[] = TAVIMO_INFORMATION;
}  // namespace

FilterTable filterTable = {
    .flags = kFilterFlags,
    .windowWidth = kInitialClientWidth,
    .windowHeight = kInitialClientHeight,
    .name = kFilterName,
    .declared0 = {},
    .filterProc = FilterProc,
    .callbacks0 = {},
    .filterWndProc = FilterWndProc,
    .hostWords0 = {},
    .declared1 = {},
    .information = kFilterInformation,
    .callbacks1 = {},
    .services = nullptr,
    .window = nullptr,
    .hostWord104 = nullptr,
    .declared2 = nullptr,
    .callbacks2 = {},
    .hostWord128 = nullptr,
    .reserved = {},
};

extern "C" FilterTable* HOSTAPI GetFilterTable() { return &filterTable; }

// The host asks for a YUY2-capable table by this name; ours is the same record.
extern "C" FilterTable* HOSTAPI GetFilterTableYUY2() { return &filterTable; }
