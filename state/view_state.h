// The plug-in's one module-wide state record.
#pragma once

#include "platform/platform.h"

// All numeric fields are signed 32-bit; flags hold 0 or 1. Frame pixels are
// positions in the captured frame; window pixels are client coordinates.
struct ViewState {
  int zoomLevel = 2;                 // zoom step, -9..24; stored as "nnn"
  int centreX = 16;                  // frame x shown at the centre of the view
  int centreY = 16;                  // frame y shown at the centre of the view
  int pendingDx = 0;                 // drag movement (window pixels) not yet folded into centreX
  int pendingDy = 0;                 // the same for centreY
  int lastMouseX = 0;                // window x of the previous drag position
  int lastMouseY = 0;                // window y of the previous drag position
  int frameWidth = 0;                // width of the last frame copied into the snapshot
  int frameHeight = 0;               // height of the last frame copied into the snapshot
  HDC snapshotDc = nullptr;          // memory DC holding the snapshot
  HBITMAP snapshotBitmap = nullptr;  // bitmap selected into snapshotDc
  int rulerOn = 1;                   // draw the pixel ruler; stored as "ruler"
  int gridMode = 0;                  // 0 none, 1 black, 2 white; other values as stored ("grid")
  int wheelReversed = 0;             // swap the wheel's zoom direction; stored as "reverse"
  int menuOn = 1;                    // build the menu bar at start; read from "menu", never stored
  int coordLocked = 0;               // pointer events and drags no longer move the view
  int dragging = 0;                  // a left-button drag inside our window is in progress
  int tracking = 0;                  // the view follows the pointer in the host's main window
};

// Constant-initialised: no code runs at module load.
extern ViewState viewState;
