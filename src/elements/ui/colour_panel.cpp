#include "elements/ui/colour_panel.h"

#include "params/ui/settings_dialog_hooks.h"
#include "ui/desktop_hooks.h"

namespace dravik::elements {

ColourPanel::ColourPanel(QWidget* parent, const char* objectName) : QPushButton(parent) {
  setObjectName(QString::fromLatin1(objectName));
  setFixedSize(64, 20);
  setToolTip(QStringLiteral("单击选择颜色"));
  SetColour(0);
  connect(this, &QPushButton::clicked, this, &ColourPanel::ChooseColour);
}

void ColourPanel::SetColour(std::uint32_t colour) {
  colour_ = colour;
  setStyleSheet(params::ColourPanelStyle(colour));
}

void ColourPanel::ChooseColour() {
  const ui::DesktopHooks plainDesktop;
  const ui::DesktopHooks& desktop = hooks_ != nullptr ? *hooks_ : plainDesktop;
  if (const auto chosen = desktop.ChooseColour(colour_, this)) SetColour(*chosen);
}

}  // namespace dravik::elements
