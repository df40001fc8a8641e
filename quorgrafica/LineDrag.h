#pragma once
// Dragging a line box. A line's frame is its two end points in drawing
// order, in any direction, so the bands along a rectangle's edges mean
// nothing for it: a press near an end point drags that end, a press on the
// line moves it whole, and its frame is never put in order.

#include "quorgrafica/QuorFlowChart.h"

namespace quorgrafica {

// Whether box is a line box (of the library's kind or one derived from it).
bool IsLineBox(const clsBox* box);
// What a press at (x, y) does to the line: qfcResizeNW drags its first end
// (Frame left, top), qfcResizeSE its second (right, bottom), qfcMoveBox
// moves it; qfcNothing when the point is neither near an end (closer than
// band on both axes) nor on the line. The nearer end wins; on a line of no
// length the second, so that it can be drawn out again.
InputStates LineMargin(clsBox& line, int x, int y, int band);
// The end of the line a drag in state moves goes to (x, y); the other end
// stays, whatever the direction and also at zero length.
void DragLineEnd(clsBox& line, InputStates state, int x, int y);

} // namespace quorgrafica
