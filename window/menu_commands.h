// Menu command identifiers of the menu bar's popup: what WM_COMMAND and the
// host's command notification carry in wParam's low word. The reference host
// names them in its scenarios, so they stand apart from the window's internals.
#pragma once

#include "platform/platform.h"

enum : UINT {
  CmdWheelReverse = 101,
  CmdRuler = 102,
  CmdGridNone = 103,
  CmdGridBlack = 104,
  CmdGridWhite = 105,
};
