// How the keyboard goes through a window: Tab follows the layout as the eye
// reads it, and Escape presses a window's Cancel. The windows place their
// controls by coordinates in the order that was easiest to build them, which
// is not always the order they are read in; the toolkit's Tab order is the
// order of building.
#pragma once

class QAbstractButton;
class QKeyEvent;
class QWidget;

namespace WindowKeys {

// Puts the controls inside `client` that take the focus by Tab into reading
// order: top to bottom, and left to right where controls stand side by side.
// A frame (any widget holding controls) is read as one block, in its place.
// Where a gap runs across all controls of a block, the block is cut there:
// into bands one above the other, or into columns side by side. Where both
// cuts exist, a grid (each band has controls in two columns or more) is read
// band by band, row by row; otherwise column by column, so that a column of
// buttons beside a column of frames is read after them, not interleaved with
// them. The order is a ring: Tab from the last control comes back to the
// first.
//   Frames A (left, top) and B (left, below A), buttons 1 and 2 (right):
//   A's controls, B's controls, 1, 2.
void OrderTabsByLayout(QWidget* client);

// Marks a control as one of a group that is a single stop of Tab (option
// buttons, the answers of a quiz): which one is the stop changes with the
// choice, so every one of them keeps its place in the reading order, also
// while it is not the stop.
void KeepTabPlace(QWidget* control);

// The step an arrow key takes within such a group, in reading order: 1 for
// Down and Right, -1 for Up and Left (without a modifier), 0 for any other
// key. The group goes round its ends.
int ArrowStep(const QKeyEvent& key);

// Escape with the focus anywhere inside `client` presses `button` (when it is
// shown and enabled), as a click would: the window's Cancel.
void PressOnEscape(QWidget* client, QAbstractButton* button);

}  // namespace WindowKeys
