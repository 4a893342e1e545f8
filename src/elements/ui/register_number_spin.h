#pragma once
// The register number field of the element dialogs: a spin box over 0 .. the kind's
// maximum that writes numbers the way the kind does (decimal, or upper-case hexadecimal
// with at least three digits), takes at most five digits of that writing while typing,
// and, when left, reads an empty text as 0 and a number above the maximum as the maximum.

#include <QSpinBox>

namespace dravik::elements {

class RegisterNumberSpin : public QSpinBox {
  Q_OBJECT

 public:
  RegisterNumberSpin(QWidget* parent, const char* objectName);

  // The writing and the maximum of the chosen kind; the value is lowered to the maximum
  // and the hint reads "0 ~ " + maximum.
  void SetMode(bool hexadecimal, int maximum);
  bool Hexadecimal() const { return hexadecimal_; }

 protected:
  QValidator::State validate(QString& text, int& pos) const override;
  void fixup(QString& text) const override;
  int valueFromText(const QString& text) const override;
  QString textFromValue(int value) const override;

 private:
  bool hexadecimal_ = false;
};

}  // namespace dravik::elements
