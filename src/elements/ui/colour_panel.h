#pragma once
// A colour field of the element dialogs: a panel painted in the colour it holds; a click
// opens the program's colour chooser just below it, and a colour chosen there becomes
// the panel's.

#include <QPushButton>
#include <cstdint>

namespace dravik::ui {
struct DesktopHooks;
}

namespace dravik::elements {

class ColourPanel : public QPushButton {
  Q_OBJECT

 public:
  ColourPanel(QWidget* parent, const char* objectName);

  // The desktop the chooser is reached through; null: the plain Qt colour dialog.
  void SetHooks(const ui::DesktopHooks* hooks) { hooks_ = hooks; }
  // 0x00BBGGRR, or a desktop system colour (top byte 0xFF).
  void SetColour(std::uint32_t colour);
  std::uint32_t Colour() const { return colour_; }
  // What a click does.
  void ChooseColour();

 private:
  const ui::DesktopHooks* hooks_ = nullptr;
  std::uint32_t colour_ = 0;
};

}  // namespace dravik::elements
