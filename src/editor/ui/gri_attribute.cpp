#include "editor/ui/gri_attribute.h"

#include <QColorDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "editor/render/system_colour_table.h"
#include "ui/dialog_buttons.h"

namespace dravik::editor {

TGriAttribute::TGriAttribute(QWidget* parent) : QDialog(parent) {
  // Object names are what the language files address.
  setObjectName(QStringLiteral("GriAttribute"));
  setWindowTitle(QStringLiteral("格栅属性"));

  auto* spacing = new QLabel(QStringLiteral("格栅间隔:"), this);
  spacing->setObjectName(QStringLiteral("Label1"));
  auto* labelX = new QLabel(QStringLiteral("X:"), this);
  labelX->setObjectName(QStringLiteral("Label2"));
  auto* labelY = new QLabel(QStringLiteral("Y:"), this);
  labelY->setObjectName(QStringLiteral("Label3"));
  auto* colourLabel = new QLabel(QStringLiteral("格栅颜色:"), this);
  colourLabel->setObjectName(QStringLiteral("Label4"));

  spinX_ = new QSpinBox(this);
  spinX_->setObjectName(QStringLiteral("SpinEdit1"));
  spinX_->setRange(kGridStepMin, kGridStepMax);
  spinY_ = new QSpinBox(this);
  spinY_->setObjectName(QStringLiteral("SpinEdit2"));
  spinY_->setRange(kGridStepMin, kGridStepMax);

  colourPanel_ = new QPushButton(this);
  colourPanel_->setObjectName(QStringLiteral("Panel1"));
  colourPanel_->setFixedSize(48, 20);
  connect(colourPanel_, &QPushButton::clicked, this, &TGriAttribute::ChooseColour);

  auto* grid = new QGridLayout;
  grid->addWidget(spacing, 0, 0, 1, 4);
  grid->addWidget(labelX, 1, 0);
  grid->addWidget(spinX_, 1, 1);
  grid->addWidget(labelY, 1, 2);
  grid->addWidget(spinY_, 1, 3);
  grid->addWidget(colourLabel, 2, 0, 1, 2);
  grid->addWidget(colourPanel_, 2, 2, 1, 2);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  const ui::DialogButtons buttons =
      ui::AddDialogButtons(*this, *layout, QStringLiteral("确定(&Y)"), {"BitBtn1", "BitBtn2"});
  connect(buttons.ok, &QPushButton::clicked, this, &QDialog::accept);
  SetColour(SystemColour(kSysInactiveBorder));
}

void TGriAttribute::SetColour(std::uint32_t colour) {
  colour_ = colour;
  colourPanel_->setStyleSheet(
      QStringLiteral("background-color: %1; border: 1px solid gray;").arg(ResolveQColor(colour).name()));
}

void TGriAttribute::Load(const EditorState& state) {
  spinX_->setValue(std::clamp(state.GriX, kGridStepMin, kGridStepMax));
  spinY_->setValue(std::clamp(state.GriY, kGridStepMin, kGridStepMax));
  SetColour(state.GriddingColor);
}

void TGriAttribute::Store(EditorState& state) const {
  state.GriX = spinX_->value();
  state.GriY = spinY_->value();
  state.GriddingColor = colour_;
}

bool TGriAttribute::ShowFor(EditorState& state) {
  Load(state);
  if (exec() != QDialog::Accepted) return false;
  Store(state);
  return true;
}

void TGriAttribute::ChooseColour() {
  if (chooser_) {
    if (auto chosen = chooser_(colour_, colourPanel_)) SetColour(*chosen);
    return;
  }
  const QColor chosen = QColorDialog::getColor(ResolveQColor(colour_), this);
  if (chosen.isValid()) SetColour(ToStoredRgb(chosen.rgb()));
}

}  // namespace dravik::editor
