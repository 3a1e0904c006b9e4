// The Tab order of a window in the order its layout places the controls: a box layout's items
// in their order, a grid's row by row and left to right within a row, a group box's controls
// where the box stands. Controls are created in whatever order is convenient; the order the
// keyboard walks is the one the eye reads.
#pragma once

class QWidget;

namespace kestrova {

// Sets the Tab order of every control the window's layout holds that takes focus by Tab.
void SetLayoutTabOrder(QWidget& window);

}  // namespace kestrova
