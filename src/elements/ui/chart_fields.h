#pragma once
// What the trend chart and bar graph dialogs share beyond the common frame: the hidden
// lists they carry a stored code through, and scale fields whose range follows the data
// type.

#include "elements/element_frame.h"

class QComboBox;
class QSpinBox;

namespace dravik::elements {

// Shows a stored code in a hidden list: its item, or none for a code the list lacks.
void ShowHiddenSelection(QComboBox* combo, int stored);
// The selection as the slot keeps it: the item, or kNoItem when none is shown.
int HiddenSelection(const QComboBox* combo);

// A scale field over `range`, its hint "0 ~ " + maximum; a larger value is lowered.
void SetScaleRange(QSpinBox* spin, const SpinRange& range);

}  // namespace dravik::elements
