// What a real-input test reads of the interactive host (--report FILE): where
// its two windows and their client areas lie on the screen, the frames shown,
// the GDI and USER objects in use, the settings stored and their list
// (state/stored_settings.h: key, initial value, lowest, highest). The host
// rewrites the file whole (never half-written) at start, on the R key in the
// main window and after the plug-in has stored its settings at exit.
#pragma once

namespace refhost {

// Writes the report of the session into hostConfig.reportPath (nothing when it
// is empty); "when" names the moment (start, asked, exit).
void WriteReport(const char* when);

}  // namespace refhost
