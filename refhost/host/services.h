// The host's service table as the editor lays it out (64 pointer slots, six of
// which the plug-in uses), and the edit handle of the one video this host edits.
#pragma once

#include "host/host_api.h"

namespace refhost {

// The table to hand the plug-in: its record's services field.
HostServices* HostServiceTable();
// Opaque to the plug-in; the services check that it passes this one.
void* HostEditHandle();

}  // namespace refhost
