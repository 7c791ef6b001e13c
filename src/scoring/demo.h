#pragma once

namespace morvast {

// One press of the demonstration mode.
enum class DemoAction { Left, Right, Rotate, Drop, Invert };

struct DemoPress {
    int intervalMs;  // until the next press
    DemoAction action;
};

// Chooses the next demonstration press from two fresh uniform draws in [0, 1): the first sets
// the interval, the second the press.
DemoPress chooseDemoPress(double rInterval, double rPress);

}  // namespace morvast
