#pragma once
// Where the device dialogs open on the screen.

class QWidget;

namespace dravik::comm {

// Centred horizontally, `offsetAboveCentre` pixels above the vertical centre.
void PlaceAboveCentre(QWidget* dialog, int offsetAboveCentre);
// Centred horizontally, `top` pixels from the top of the screen.
void PlaceFromTop(QWidget* dialog, int top);

}  // namespace dravik::comm
