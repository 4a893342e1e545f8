#pragma once
// The grid dialog "格栅属性": the dot spacing in both directions and the dot colour. It
// is created once and shown modally; the caller redraws the active page window's grid
// when it returns true.

#include <QDialog>
#include <cstdint>
#include <functional>
#include <optional>

#include "editor/editor_state.h"

class QSpinBox;
class QPushButton;
class QLabel;

namespace dravik::editor {

inline constexpr int kGridStepMin = 2;
inline constexpr int kGridStepMax = 72;

class TGriAttribute : public QDialog {
  Q_OBJECT

 public:
  // Picks a colour starting from `current`; nothing when cancelled. The main window
  // hands in its colour chooser; without one Qt's colour dialog is used.
  using ColourChooser =
      std::function<std::optional<std::uint32_t>(std::uint32_t current, QWidget* anchor)>;

  explicit TGriAttribute(QWidget* parent = nullptr);

  void SetColourChooser(ColourChooser chooser) { chooser_ = std::move(chooser); }

  // Shows the dialog with the state's grid values; on OK writes GriX, GriY and
  // GriddingColor back and returns true. Cancel writes nothing.
  bool ShowFor(EditorState& state);

  // The values the dialog holds (for tests and for ShowFor).
  void Load(const EditorState& state);
  void Store(EditorState& state) const;
  QSpinBox* SpinX() const { return spinX_; }
  QSpinBox* SpinY() const { return spinY_; }
  std::uint32_t Colour() const { return colour_; }
  void SetColour(std::uint32_t colour);

 private:
  void ChooseColour();

  QSpinBox* spinX_ = nullptr;
  QSpinBox* spinY_ = nullptr;
  QPushButton* colourPanel_ = nullptr;
  std::uint32_t colour_ = 0;
  ColourChooser chooser_;
};

}  // namespace dravik::editor
