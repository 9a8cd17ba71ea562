// The bench's timer: one row of the table, the plug-in's paints timed beside
// the required work's (bench_required.h) and compared with it pixel for pixel.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "refhost/measure/bench_required.h"
#include "refhost/scenario/frames.h"

namespace refhost {

// Warm-up and timed iterations of a row.
struct Counts {
  int warmup, iterations;
};

// 0 for no values.
double Median(std::vector<double> v);

// One row of the table. Times are medians; a ratio is the median of the
// iterations' own ratios, so that a burst of load on the machine, which slows
// the paints of one iteration together, does not shift it. On frame rows the
// required work is the picture's, so picture equals required.
struct Row {
  std::string name;
  double plugin, required, picture, baseline, floor;
  double ratio, pictureRatio, lineLessRatio;
  long pixelsDiffering;  // -1: could not be read
  bool pictureCompared = true;
};

// What a row times the plug-in against: per frame or per drag step.
enum class Step { Frame, Drag };

// Times paintPlugin (given the iteration's number) beside the required work,
// the picture alone (drag steps), the line-less baseline and (frame steps) a
// plain copy of the frame, taking turns, and checks that the required work
// draws the plug-in's picture. On a drag step the frame is copied into the
// memory bitmap once, untimed, as the plug-in holds it, and the required work
// ends with the drag cursor.
Row TimeBeside(const std::string& name, const std::function<void(int)>& paintPlugin, const Frame& shown, Step step,
               const Picture& p, Counts n, const Baseline& base);

}  // namespace refhost
