// The interactive host: the plug-in on an image, a folder of images or the
// test card, with the main window as a viewer. O opens an image, Right/Left
// show the next or previous picture of a folder, Space plays or pauses a
// folder, C closes or reopens the video, V shows or hides the plug-in window,
// R writes the report (--report, report.h).
#pragma once

#include <string>

namespace refhost {

// Runs until the main window is closed; 1 when the plug-in could not start or
// did something wrong.
int RunInteractive(const std::string& source);

}  // namespace refhost
