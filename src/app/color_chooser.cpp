#include "app/color_chooser.h"

#include <QColorDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "editor/render/system_colour_table.h"

namespace dravik::app {

namespace {

// The colours of the grid, as stored (0x00BBGGRR): eight columns, light to dark.
constexpr std::uint32_t kGridColours[] = {
    0xFFFFFF, 0xC0C0C0, 0x808080, 0x404040, 0x000000, 0x0000FF, 0x00FF00, 0xFF0000,
    0x00FFFF, 0xFFFF00, 0xFF00FF, 0x000080, 0x008000, 0x800000, 0x008080, 0x808000,
    0x800080, 0x80FFFF, 0x80FF80, 0xFF8080, 0x8080FF, 0xFFFF80, 0xFF80FF, 0x0080FF,
    0xD8E9EC, 0x1EFF1E, 0x3A3A3A, 0x6C6C6C, 0x4080FF, 0xFF8000, 0x80FF00, 0x004080,
};

QColor ToQColor(std::uint32_t stored) { return editor::ResolveQColor(stored); }

}  // namespace

TColorChooser::TColorChooser(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("ColorChooserFrm"));
  setWindowTitle(QStringLiteral("颜色"));
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  grid->setSpacing(2);
  int index = 0;
  for (std::uint32_t colour : kGridColours) {
    auto* cell = new QToolButton(this);
    cell->setFixedSize(22, 22);
    cell->setAutoRaise(false);
    cell->setStyleSheet(QStringLiteral("QToolButton { background: %1; border: 1px solid #606060; }")
                            .arg(ToQColor(colour).name()));
    connect(cell, &QToolButton::clicked, this, [this, colour] { Pick(colour); });
    grid->addWidget(cell, index / 8, index % 8);
    ++index;
  }
  layout->addLayout(grid);
  auto* buttons = new QHBoxLayout;
  otherButton_ = new QPushButton(QStringLiteral("其它颜色..."), this);
  otherButton_->setObjectName(QStringLiteral("OtherColourButton"));
  cancelButton_ = new QPushButton(QStringLiteral("取消(&N)"), this);
  cancelButton_->setObjectName(QStringLiteral("CancelButton"));
  buttons->addWidget(otherButton_);
  buttons->addWidget(cancelButton_);
  layout->addLayout(buttons);
  connect(otherButton_, &QPushButton::clicked, this, &TColorChooser::OtherColour);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

void TColorChooser::Pick(std::uint32_t colour) {
  chosen_ = colour;
  accept();
}

void TColorChooser::OtherColour() {
  const QColor picked = QColorDialog::getColor(ToQColor(chosen_), this);
  // The desktop dialog cancelled still counts as a choice: the old colour comes back.
  if (picked.isValid()) chosen_ = editor::ToStoredRgb(picked.rgb());
  accept();
}

std::optional<std::uint32_t> TColorChooser::Choose(std::uint32_t current, QWidget* anchor) {
  chosen_ = current;
  adjustSize();
  if (anchor != nullptr) move(anchor->mapToGlobal(QPoint(0, anchor->height())));
  if (exec() != QDialog::Accepted) return std::nullopt;
  return chosen_;
}

}  // namespace dravik::app
