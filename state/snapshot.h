// The off-screen copy of the displayed frame that every repaint stretches from.
#pragma once

#include "host/filter_table.h"

// Makes the memory DC and a bitmap of the host's largest frame size.
void CreateSnapshot(FilterTable* table);
// CreateSnapshot only when no snapshot exists.
void EnsureSnapshot(FilterTable* table);
// Deletes the snapshot's DC and bitmap if present; DeleteObject's result or 0.
BOOL ReleaseSnapshot();
