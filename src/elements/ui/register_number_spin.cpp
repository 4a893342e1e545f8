#include "elements/ui/register_number_spin.h"

#include "elements/operand_choice.h"

namespace dravik::elements {

RegisterNumberSpin::RegisterNumberSpin(QWidget* parent, const char* objectName) : QSpinBox(parent) {
  setObjectName(QString::fromLatin1(objectName));
  setRange(0, kRegisterFieldMax);
  setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
}

void RegisterNumberSpin::SetMode(bool hexadecimal, int maximum) {
  hexadecimal_ = hexadecimal;
  // A change of base shows the value again, in the new writing.
  setDisplayIntegerBase(hexadecimal ? 16 : 10);
  setRange(0, maximum);
  setToolTip(QString::fromStdString(RegisterRangeHint(maximum, hexadecimal)));
}

QValidator::State RegisterNumberSpin::validate(QString& text, int&) const {
  const std::string typed = text.toStdString();
  if (!RegisterTextAllowed(typed, hexadecimal_)) return QValidator::Invalid;
  const int number = TakeRegisterText(typed, hexadecimal_, kRegisterFieldMax + 1, -1);
  return number <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
}

void RegisterNumberSpin::fixup(QString& text) const {
  const int number = TakeRegisterText(text.toStdString(), hexadecimal_, maximum(), value());
  text = textFromValue(number);
}

int RegisterNumberSpin::valueFromText(const QString& text) const {
  return TakeRegisterText(text.toStdString(), hexadecimal_, maximum(), value());
}

QString RegisterNumberSpin::textFromValue(int value) const {
  return QString::fromStdString(RegisterNumberText(value, hexadecimal_));
}

}  // namespace dravik::elements
