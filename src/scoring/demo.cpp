#include "scoring/demo.h"

#include "scoring/rounding.h"

namespace morvast {

DemoPress chooseDemoPress(double rInterval, double rPress) {
    const int interval = static_cast<int>(roundHalfEven(rInterval * 750 + 5));
    const int k = static_cast<int>(roundHalfEven(rPress * 23));
    DemoAction action = DemoAction::Invert;  // 0, 22 and 23
    if (k >= 1 && k <= 7)
        action = DemoAction::Left;
    else if (k >= 8 && k <= 15)
        action = DemoAction::Right;
    else if (k >= 16 && k <= 19)
        action = DemoAction::Rotate;
    else if (k == 20 || k == 21)
        action = DemoAction::Drop;
    return {interval, action};
}

}  // namespace morvast
