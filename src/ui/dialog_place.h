#pragma once
// Where the program's dialogs open on the screen.

class QWidget;

namespace dravik::ui {

// Centred horizontally, `offsetAboveCentre` pixels above the vertical centre.
void PlaceAboveCentre(QWidget* dialog, int offsetAboveCentre);
// Centred horizontally, `top` pixels from the top of the screen.
void PlaceFromTop(QWidget* dialog, int top);

}  // namespace dravik::ui
