#include "app/page_attribute_frm.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/dialog_buttons.h"
#include "ui/gbk_limit.h"
#include "app/language_file.h"
#include "app/page_commands.h"
#include "editor/render/system_colour_table.h"
#include "model/project_image.h"
#include "model/settings_page.h"

namespace dravik::app {

namespace {

QLabel* NamedLabel(const char* name, const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  return label;
}

void ShowColour(QPushButton* panel, std::int32_t colour) {
  panel->setStyleSheet(QStringLiteral("QPushButton { background: %1; border: 1px solid #606060; }")
                           .arg(editor::ResolveQColor(static_cast<std::uint32_t>(colour)).name()));
}

}  // namespace

TPageAttributeFrm::TPageAttributeFrm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("PageAttributeFrm"));
  setWindowTitle(QStringLiteral("画面属性"));
  auto* layout = new QVBoxLayout(this);

  auto* top = new QGridLayout;
  number_ = new QSpinBox(this);
  number_->setObjectName(QStringLiteral("PageNumberEdit"));
  number_->setRange(1, model::kMaxPage);
  colourPanel_ = new QPushButton(this);
  colourPanel_->setObjectName(QStringLiteral("BackColourPanel"));
  colourPanel_->setFixedSize(60, 22);
  name_ = new QLineEdit(this);
  name_->setObjectName(QStringLiteral("PageNameEdit"));
  ui::LimitGbkBytes(name_, 20);
  top->addWidget(NamedLabel("PageNumberLabel", QStringLiteral("画面编号:"), this), 0, 0);
  top->addWidget(number_, 0, 1);
  top->addWidget(NamedLabel("BackColourLabel", QStringLiteral("背景颜色:"), this), 0, 2);
  top->addWidget(colourPanel_, 0, 3);
  top->addWidget(NamedLabel("PageNameLabel", QStringLiteral("画面描述:"), this), 1, 0);
  top->addWidget(name_, 1, 1, 1, 3);
  layout->addLayout(top);

  keyGroup_ = new QGroupBox(QStringLiteral(" 当前画面按键设置 "), this);
  keyGroup_->setObjectName(QStringLiteral("KeyGroup"));
  auto* keyLayout = new QHBoxLayout(keyGroup_);
  keyGrid_ = new QTableWidget(0, 1, keyGroup_);
  keyGrid_->setObjectName(QStringLiteral("KeyGrid"));
  keyGrid_->horizontalHeader()->hide();
  keyGrid_->verticalHeader()->hide();
  keyGrid_->horizontalHeader()->setStretchLastSection(true);
  keyGrid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  keyGrid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  keyGrid_->setSelectionMode(QAbstractItemView::SingleSelection);
  keyGrid_->setFixedWidth(120);
  keyLayout->addWidget(keyGrid_);
  auto* jumpColumn = new QVBoxLayout;
  jumpLabel_ = NamedLabel("JumpLabel", QString(), keyGroup_);
  jumpLabel_->setProperty(kRuntimeTextProperty, true);
  jumpList_ = new QListWidget(keyGroup_);
  jumpList_->setObjectName(QStringLiteral("JumpList"));
  jumpList_->setProperty(kRuntimeTextProperty, true);
  jumpSpin_ = new QSpinBox(keyGroup_);
  jumpSpin_->setObjectName(QStringLiteral("JumpEdit"));
  jumpSpin_->setRange(0, kJumpTargetCount - 1);
  jumpColumn->addWidget(jumpLabel_);
  jumpColumn->addWidget(jumpList_);
  jumpColumn->addWidget(jumpSpin_);
  keyLayout->addLayout(jumpColumn);
  layout->addWidget(keyGroup_);

  offsetRow_ = new QWidget(this);
  offsetRow_->setObjectName(QStringLiteral("OffsetRow"));
  auto* offsetLayout = new QHBoxLayout(offsetRow_);
  offsetLayout->setContentsMargins(0, 0, 0, 0);
  offset_ = new QSpinBox(offsetRow_);
  offset_->setObjectName(QStringLiteral("RegisterOffsetEdit"));
  offset_->setRange(0, 60000);
  offsetLayout->addWidget(NamedLabel("RegisterOffsetLabel", QStringLiteral("当前画面寄存器地址偏移"), offsetRow_));
  offsetLayout->addWidget(offset_);
  offsetLayout->addStretch();
  layout->addWidget(offsetRow_);

  passwordRow_ = new QWidget(this);
  passwordRow_->setObjectName(QStringLiteral("PasswordRow"));
  auto* passwordLayout = new QHBoxLayout(passwordRow_);
  passwordLayout->setContentsMargins(0, 0, 0, 0);
  passwordPage_ = new QSpinBox(passwordRow_);
  passwordPage_->setObjectName(QStringLiteral("PasswordPageEdit"));
  passwordPage_->setRange(1, 255);
  passwordLayout->addWidget(NamedLabel("PasswordLabel", QStringLiteral("密码输入正确,登录到"), passwordRow_));
  passwordLayout->addWidget(passwordPage_);
  passwordLayout->addWidget(NamedLabel("PasswordPageLabel", QStringLiteral("号画面"), passwordRow_));
  passwordLayout->addStretch();
  layout->addWidget(passwordRow_);

  const ui::DialogButtons buttons = ui::AddDialogButtons(*this, *layout, QStringLiteral("确定(&Y)"));
  okButton_ = buttons.ok;
  cancelButton_ = buttons.cancel;

  connect(okButton_, &QPushButton::clicked, this, &TPageAttributeFrm::Confirm);
  connect(keyGrid_, &QTableWidget::currentCellChanged, this,
          [this](int row, int, int, int) { ShowRowTarget(row); });
  connect(jumpList_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row >= 0) WriteJump(row);
  });
  connect(jumpSpin_, &QSpinBox::valueChanged, this, &TPageAttributeFrm::WriteJump);
  connect(colourPanel_, &QPushButton::clicked, this, [this] {
    if (!chooseColour) return;
    if (auto colour = chooseColour(static_cast<std::uint32_t>(backColor_), colourPanel_)) {
      SetBackColor(static_cast<std::int32_t>(*colour));
    }
  });
}

void TPageAttributeFrm::SetJumpTargets(const std::vector<std::string>& texts) {
  const QSignalBlocker blocker(jumpList_);
  jumpList_->clear();
  for (const std::string& text : texts) jumpList_->addItem(QString::fromStdString(text));
  jumpList_->setCurrentRow(0);
}

void TPageAttributeFrm::SetBackColor(std::int32_t colour) {
  backColor_ = colour;
  ShowColour(colourPanel_, colour);
}

void TPageAttributeFrm::Load(model::ProjectImage& image, int current, bool isChinese) {
  image_ = &image;
  current_ = current;
  isChinese_ = isChinese;
  newCurrentPage_ = current;
  const model::PageRecord& settings = image.Settings();
  const bool offsetShown = PageRegisterOffsetShown(settings);
  offsetRow_->setVisible(offsetShown);
  const int rows = PageKeyRowCount(settings);
  const auto names = PanelKeyNames(At(settings, model::settings::kPanelModel));
  {
    const QSignalBlocker blocker(keyGrid_);
    keyGrid_->clearContents();
    keyGrid_->setRowCount(rows);
    for (int row = 0; row < rows; ++row) {
      keyGrid_->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(
                                    KeyRowCaption(names[static_cast<std::size_t>(row)], isChinese))));
    }
  }

  const PageAttributes a = LoadPageAttributes(image, current);
  loadedNumber_ = a.number;
  name_->setText(ui::FromGbk(a.nameGbk));
  number_->setValue(a.number);
  SetBackColor(a.backColor);
  offset_->setValue(a.registerOffset);
  passwordPage_->setValue(a.pageAfterPassword);
  SelectKeyRow(0);
  name_->setFocus();
}

void TPageAttributeFrm::SelectKeyRow(int row) {
  keyGrid_->setCurrentCell(row, 0);
  ShowRowTarget(row);
}

void TPageAttributeFrm::ShowRowTarget(int row) {
  if (image_ == nullptr || row < 0) return;
  const int target = KeyJumpTarget(image_->Page(current_), row);
  ShowJumpTarget(target, target < jumpList_->count() ? target : 0);
  UpdateJumpCaption();
}

void TPageAttributeFrm::ChooseJumpTarget(int target) { jumpList_->setCurrentRow(target); }

void TPageAttributeFrm::WriteJump(int target) {
  const int row = keyGrid_->currentRow();
  if (image_ == nullptr || row < 0) return;
  SetKeyJumpTarget(image_->Page(current_), row, target);
  ShowJumpTarget(target, target < jumpList_->count() ? target : jumpList_->currentRow());
  if (modified) modified();
}

void TPageAttributeFrm::ShowJumpTarget(int target, int listRow) {
  // The password row shows or hides first: the room it takes from the list decides what
  // the list can show.
  passwordRow_->setVisible(target == kPasswordInputPage);
  if (QLayout* rows = layout()) rows->activate();
  {
    const QSignalBlocker listBlocker(jumpList_);
    const QSignalBlocker spinBlocker(jumpSpin_);
    jumpList_->setCurrentRow(listRow);
    jumpSpin_->setValue(target);
  }
  if (QListWidgetItem* item = jumpList_->currentItem()) jumpList_->scrollToItem(item);
}

void TPageAttributeFrm::UpdateJumpCaption() {
  const int row = keyGrid_->currentRow();
  const QString key = row >= 0 && keyGrid_->item(row, 0) ? keyGrid_->item(row, 0)->text() : QString();
  jumpLabel_->setText(isChinese_ ? QStringLiteral("按 ") + key + QStringLiteral(" 跳转至:")
                                 : QStringLiteral("Click") + key + QStringLiteral(" JumpTo:"));
}

bool TPageAttributeFrm::Confirm() {
  if (image_ == nullptr) return false;
  PageAttributes a;
  a.number = number_->value();
  a.nameGbk = ui::ToGbk(name_->text());
  a.backColor = backColor_;
  a.registerOffset = offset_->value();
  a.pageAfterPassword = passwordPage_->value();
  const std::optional<int> current = ConfirmPageAttributes(*image_, current_, a);
  if (modified) modified();
  if (!current) {
    if (warn) warn(PageExistsMessage(a.number));
    number_->setValue(loadedNumber_);
    return false;
  }
  newCurrentPage_ = *current;
  accept();
  return true;
}

}  // namespace dravik::app
