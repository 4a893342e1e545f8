#pragma once
// The date and time dialog (kinds 10 and 11): one dialog whose caption and format choices
// follow the kind shown and the interface language; the format, whether the operator may
// set the clock, border and font, with the common frame.

#include <array>

#include "elements/clock_properties.h"
#include "elements/ui/element_dialog.h"
#include "elements/ui/frame_fields.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QRadioButton;

namespace dravik::elements {

class TGroupBoxDate : public TElementDialog {
  Q_OBJECT

 public:
  explicit TGroupBoxDate(QWidget* parent = nullptr);

  // RadioButton1..3, tags 0..2.
  QRadioButton* FormatRadio(int tag) const { return formats_[static_cast<std::size_t>(tag)]; }
  QCheckBox* InputAllowedCheck() const { return inputAllowed_; }  // CheckBox3
  const FormatCombos& Format() const { return format_; }

 protected:
  void Load(const model::PageRecord& page, int slot) override;
  bool Store(model::PageRecord& page, int slot) override;

 private:
  void ShowFormat(int format);

  std::array<QRadioButton*, kClockFormatCount> formats_{};
  QButtonGroup* formatGroup_ = nullptr;
  QCheckBox* inputAllowed_ = nullptr;
  FormatCombos format_;
};

}  // namespace dravik::elements
