#include "elements/ui/chart_fields.h"

#include <QComboBox>
#include <QSpinBox>

#include "elements/chart_properties.h"

namespace dravik::elements {

void ShowHiddenSelection(QComboBox* combo, int stored) {
  combo->setCurrentIndex(HiddenListItem(stored, combo->count()));
}

int HiddenSelection(const QComboBox* combo) {
  return combo->currentIndex() >= 0 ? combo->currentIndex() : kNoItem;
}

void SetScaleRange(QSpinBox* spin, const SpinRange& range) {
  spin->setRange(range.min, range.max);
  spin->setToolTip(QString::fromStdString(ScaleHint(range)));
}

}  // namespace dravik::elements
