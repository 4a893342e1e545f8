#pragma once
// The common frame of the element dialogs: position and size of the element, its move
// lock and its two colour panels, in one group. Positions show page pixels; the ranges
// follow the page being edited.

#include <QGroupBox>
#include <array>

#include "elements/element_frame.h"
#include "elements/format_word.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QSpinBox;

namespace dravik::ui {
struct DesktopHooks;
}

namespace dravik::elements {

class ColourPanel;

struct ColourCaptions {
  const char* back = "背景:";  // nullptr: the element has one colour, the foreground
  const char* fore = "前景:";  // nullptr as well: the dialog edits no colour
};

class FrameFields : public QGroupBox {
  Q_OBJECT

 public:
  FrameFields(QWidget* parent, ColourCaptions captions = {});

  void SetHooks(const ui::DesktopHooks* hooks);
  // The ranges first, so the values are shown as stored wherever the page allows them.
  void Load(const FrameValues& frame, const FrameRanges& ranges);
  FrameValues Values() const;

  ColourPanel* BackColour() const { return back_; }  // OrganBackCol; null with one colour
  ColourPanel* ForeColour() const { return fore_; }  // OrganFrontCol; null without colours
  QSpinBox* LeftSpin() const { return left_; }       // SpinEdit1
  QSpinBox* TopSpin() const { return top_; }         // SpinEdit2
  QSpinBox* WidthSpin() const { return width_; }     // SpinEdit4
  QSpinBox* HeightSpin() const { return height_; }   // SpinEdit9
  QCheckBox* MoveLock() const { return moveLock_; }
  // The labels of the four fields, left, top, width and height.
  const std::array<QLabel*, 4>& FieldLabels() const { return labels_; }

 private:
  QSpinBox* left_ = nullptr;
  QSpinBox* top_ = nullptr;
  QSpinBox* width_ = nullptr;
  QSpinBox* height_ = nullptr;
  QCheckBox* moveLock_ = nullptr;
  ColourPanel* back_ = nullptr;
  ColourPanel* fore_ = nullptr;
  std::array<QLabel*, 4> labels_{};
};

// The format word's lists a dialog shows; a list it does not show stays null and its
// field keeps the value it had.
struct FormatCombos {
  QComboBox* border = nullptr;
  QComboBox* font = nullptr;
  QComboBox* alignment = nullptr;
  QComboBox* level = nullptr;

  void Load(const FormatWord& format) const;
  // A list with nothing chosen (a stored code the list does not have) leaves its field.
  void Take(FormatWord& format) const;
};

// The group of the four format lists (ComboBox2, 4, 5, 6) of the dialogs that show the whole
// format word: border and font chosen, alignment and level shown as stored and kept.
// `pairsPerRow` label-list pairs stand side by side.
QGroupBox* FormatListsGroup(QWidget* parent, const char* title, FormatCombos& combos,
                            int pairsPerRow);

}  // namespace dravik::elements
