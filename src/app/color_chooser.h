#pragma once
// The small colour chooser every colour field of the program uses: a grid of colours
// where one click picks and closes, "其它颜色..." for the desktop's full colour dialog,
// and "取消(&N)" (or Escape) to leave the colour as it was.

#include <QDialog>
#include <cstdint>
#include <optional>

class QPushButton;

namespace dravik::app {

class TColorChooser : public QDialog {
  Q_OBJECT

 public:
  explicit TColorChooser(QWidget* parent = nullptr);

  // Shows the chooser just below `anchor` (when given) and returns the colour picked
  // (0x00BBGGRR); nothing when cancelled.
  std::optional<std::uint32_t> Choose(std::uint32_t current, QWidget* anchor);

  std::uint32_t Chosen() const { return chosen_; }

  // Picking a colour of the grid (what a click does).
  void Pick(std::uint32_t colour);

 private:
  void OtherColour();

  std::uint32_t chosen_ = 0;
  QPushButton* otherButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
};

}  // namespace dravik::app
