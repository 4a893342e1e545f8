#include "elements/ui/group_draw_picture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>
#include <limits>

#include "elements/element_kinds.h"
#include "elements/ui/colour_panel.h"
#include "elements/ui/operand_selector.h"
#include "elements/ui/register_number_spin.h"
#include "params/ui/settings_dialog_hooks.h"
#include "ui/form_rows.h"

namespace dravik::elements {

namespace {

struct RowNames {
  const char* check;
  const char* caption;
  const char* label;
  const char* number;
};
constexpr std::array<RowNames, 3> kRowNames{{
    {"CheckBox3", "水平移动 ------>", "RegisterLabel7", "SpinEdit7"},
    {"CheckBox5", "垂直移动 ------>", "RegisterLabel8", "SpinEdit8"},
    {"CheckBox2", "可见度   ------>", "RegisterLabel3", "SpinEdit3"},
}};

// The frame's labels: the end points for the line, else position and size.
constexpr std::array<const char*, 4> kLineLabels{"X1:", "Y1:", "X2:", "Y2:"};
constexpr std::array<const char*, 4> kFrameLabels{"左边:", "顶部:", "宽度:", "高度:"};
constexpr std::array<const char*, 4> kFrameLabelsEnglish{"Left:", "Top:", "Width:", "High:"};

QString Caption(int kind, bool chinese) {
  const KindDescriptor* descriptor = FindKind(kind);
  const KindName name = descriptor != nullptr ? descriptor->name : KindName{};
  return chinese
             ? QString::fromUtf8(name.chinese.data(), static_cast<qsizetype>(name.chinese.size())) +
                   QStringLiteral("元素属性")
             : QString::fromUtf8(name.english.data(), static_cast<qsizetype>(name.english.size())) +
                   QStringLiteral(" Element Attribute");
}

}  // namespace

TGroupDrawPicture::TGroupDrawPicture(QWidget* parent)
    : TElementDialog(parent, "GroupDrawPicture", "元素属性", {nullptr, "颜色:"}) {
  // The caption and the frame's labels follow the kind shown.
  params::MarkRuntimeText(this);
  for (QLabel* label : Frame()->FieldLabels()) params::MarkRuntimeText(label);

  // ---- rectangle and ellipse
  registerGroup_ = ui::Group(this, "RegisterGroup", "寄存器");
  operand_ = new OperandSelector(registerGroup_, {.category = AddressCategory::kWord,
                                                  .registerCaption = kLinkWordRegisterCaption,
                                                  .kindComboName = "ComboBox4",
                                                  .registerName = nullptr});
  QGridLayout* grid = operand_->Grid();
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    RegisterRow& row = rows_[i];
    row.check = ui::Named(new QCheckBox(QString::fromUtf8(kRowNames[i].caption), registerGroup_),
                          kRowNames[i].check);
    row.label = ui::Label(registerGroup_, kRowNames[i].label, "寄存器号:");
    params::MarkRuntimeText(row.label);
    row.number = new RegisterNumberSpin(registerGroup_, kRowNames[i].number);
    params::MarkRuntimeText(row.number);
    const int r = 2 + static_cast<int>(i);
    grid->addWidget(row.check, r, 0);
    ui::Pair(grid, r, 1, row.label, row.number);
    connect(row.check, &QCheckBox::toggled, this, &TGroupDrawPicture::UpdateEnabling);
  }
  outlineLabel_ = ui::Label(registerGroup_, "OutlineLabel", "外形:");
  outline_ = ui::Combo(registerGroup_, "ComboBox2", kOutlineNames);
  ui::Pair(grid, 5, 0, outlineLabel_, outline_);
  (new QVBoxLayout(registerGroup_))->addWidget(operand_);

  // ---- scale and line
  displayGroup_ = ui::Group(this, "DisplayGroup", "显示");
  direction_ = ui::Combo(displayGroup_, "ComboBox3", kScaleDirectionNames);
  major_ = ui::Spin(displayGroup_, "SpinEdit5", kMajorDivisionsRange.min, kMajorDivisionsRange.max);
  minor_ = ui::Spin(displayGroup_, "SpinEdit6", kMinorDivisionsRange.min, kMinorDivisionsRange.max);
  lineWidth_ = ui::Spin(displayGroup_, "SpinEdit10", kLineWidthRange.min, kLineWidthRange.max);
  auto* directionLabel = ui::Label(displayGroup_, "DirectionLabel", "种类:");
  auto* majorLabel = ui::Label(displayGroup_, "MajorLabel", "主要刻度数目:");
  auto* minorLabel = ui::Label(displayGroup_, "MinorLabel", "次要刻度数目:");
  auto* widthLabel = ui::Label(displayGroup_, "LineWidthLabel", "线宽:");
  scaleFields_ = {directionLabel, direction_, majorLabel, major_, minorLabel, minor_};
  lineFields_ = {widthLabel, lineWidth_};
  auto* displayGrid = new QGridLayout(displayGroup_);
  ui::Pair(displayGrid, 0, 0, directionLabel, direction_);
  ui::Pair(displayGrid, 1, 0, majorLabel, major_);
  ui::Pair(displayGrid, 2, 0, minorLabel, minor_);
  ui::Pair(displayGrid, 3, 0, widthLabel, lineWidth_);

  flag_ = ui::Named(new QCheckBox(this), "CheckBox1");
  params::MarkRuntimeText(flag_);

  Body()->addWidget(registerGroup_);
  Body()->addWidget(displayGroup_);
  Body()->addWidget(flag_);
  OfferDeviceHelp(operand_);
  connect(operand_, &OperandSelector::kindChanged, this, &TGroupDrawPicture::KindShown);
}

void TGroupDrawPicture::Load(const model::PageRecord& page, int slot) {
  kind_ = page.ElemKind[static_cast<std::size_t>(slot)];
  const DrawingProperties drawing = ReadDrawingProperties(page, slot);
  const DrawingShape shape = DrawingShapeOf(kind_);
  const bool chinese = Chinese();
  setWindowTitle(Caption(kind_, chinese));
  Frame()->ForeColour()->SetColour(drawing.colour);
  ShowFieldsOf(shape);
  if (shape == DrawingShape::kLine) ShowLineEnds(LineEndPoints(page, slot));

  ui::SetIndex(direction_, drawing.direction);
  major_->setValue(drawing.majorDivisions);
  minor_->setValue(drawing.minorDivisions);
  lineWidth_->setValue(drawing.lineWidth);
  flag_->setText(shape == DrawingShape::kScale
                     ? (chinese ? QStringLiteral("显示坐标轴") : QStringLiteral("Axis display"))
                     : (chinese ? QStringLiteral("填充") : QStringLiteral("Fill")));
  flag_->setChecked(drawing.flag);

  rows_[kHorizontal].check->setChecked(drawing.movesHorizontally);
  rows_[kVertical].check->setChecked(drawing.movesVertically);
  rows_[kVisibility].check->setChecked(drawing.visibilityByRegister);
  // The kind's maximum first, so the stored numbers show within it.
  operand_->Load(Context().lists, drawing.link, drawing.kind, 0, 0, chinese);
  rows_[kHorizontal].number->setValue(drawing.horizontalRegister);
  rows_[kVertical].number->setValue(drawing.verticalRegister);
  rows_[kVisibility].number->setValue(drawing.visibilityRegister);
  ui::SetIndex(outline_, drawing.outline);
  UpdateEnabling();
}

void TGroupDrawPicture::ShowFieldsOf(DrawingShape shape) {
  const bool isShape = shape == DrawingShape::kShape;
  registerGroup_->setVisible(isShape);
  displayGroup_->setVisible(!isShape);
  outlineLabel_->setVisible(HasOutline(kind_));
  outline_->setVisible(HasOutline(kind_));
  for (QWidget* field : scaleFields_) field->setVisible(shape == DrawingShape::kScale);
  for (QWidget* field : lineFields_) field->setVisible(shape == DrawingShape::kLine);
  flag_->setVisible(shape != DrawingShape::kLine);

  const bool line = shape == DrawingShape::kLine;
  const bool chinese = Chinese();
  const std::array<QSpinBox*, 4> fields{Frame()->LeftSpin(), Frame()->TopSpin(),
                                        Frame()->WidthSpin(), Frame()->HeightSpin()};
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const char* label = line ? kLineLabels[i] : chinese ? kFrameLabels[i] : kFrameLabelsEnglish[i];
    Frame()->FieldLabels()[i]->setText(QString::fromUtf8(label));
    fields[i]->setEnabled(!line);
  }
}

void TGroupDrawPicture::ShowLineEnds(const LineEnds& ends) {
  // Read-only: the end points may lie anywhere the record puts them.
  const std::array<std::pair<QSpinBox*, int>, 4> fields{{{Frame()->LeftSpin(), ends.x1},
                                                         {Frame()->TopSpin(), ends.y1},
                                                         {Frame()->WidthSpin(), ends.x2},
                                                         {Frame()->HeightSpin(), ends.y2}}};
  for (const auto& [spin, value] : fields) {
    spin->setRange(std::numeric_limits<std::int16_t>::min(),
                   std::numeric_limits<std::uint16_t>::max());
    spin->setToolTip({});
    spin->setValue(value);
  }
}

void TGroupDrawPicture::KindShown() {
  const OperandView& view = operand_->View();
  const QString caption =
      QString::fromStdString(CaptionWithKind(kLinkWordRegisterCaption, view.kindName, Chinese()));
  for (RegisterRow& row : rows_) {
    row.label->setText(caption);
    row.number->SetMode(false, view.maximum);
  }
}

void TGroupDrawPicture::UpdateEnabling() {
  for (RegisterRow& row : rows_) {
    row.label->setEnabled(row.check->isChecked());
    row.number->setEnabled(row.check->isChecked());
  }
}

bool TGroupDrawPicture::Store(model::PageRecord& page, int slot) {
  DrawingProperties drawing = ReadDrawingProperties(page, slot);
  const DrawingShape shape = DrawingShapeOf(kind_);
  drawing.frame = FrameShown();
  drawing.colour = Frame()->ForeColour()->Colour();
  switch (shape) {
    case DrawingShape::kShape:
      drawing.link = operand_->Link();
      drawing.kind = operand_->Kind();
      drawing.flag = flag_->isChecked();
      drawing.movesHorizontally = rows_[kHorizontal].check->isChecked();
      drawing.movesVertically = rows_[kVertical].check->isChecked();
      drawing.visibilityByRegister = rows_[kVisibility].check->isChecked();
      drawing.horizontalRegister = rows_[kHorizontal].number->value();
      drawing.verticalRegister = rows_[kVertical].number->value();
      drawing.visibilityRegister = rows_[kVisibility].number->value();
      ui::TakeIndex(outline_, drawing.outline);
      break;
    case DrawingShape::kScale:
      drawing.flag = flag_->isChecked();
      ui::TakeIndex(direction_, drawing.direction);
      drawing.majorDivisions = major_->value();
      drawing.minorDivisions = minor_->value();
      break;
    case DrawingShape::kLine:
      drawing.lineWidth = lineWidth_->value();
      break;
  }
  WriteDrawingProperties(page, slot, drawing);
  return true;
}

}  // namespace dravik::elements
