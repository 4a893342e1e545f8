#include "tools/ui/mulriple_copy_frm.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "model/project_image.h"
#include "ui/desktop_hooks.h"
#include "ui/dialog_buttons.h"
#include "ui/dialog_place.h"
#include "ui/form_rows.h"

namespace dravik::tools {

namespace {

constexpr int kOffsetAboveCentre = 100;

}  // namespace

TMulripleCopyFrm::TMulripleCopyFrm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("MulripleCopyFrm"));
  setWindowTitle(QStringLiteral("多重复制"));
  const MultipleCopyOptions defaults;

  QGroupBox* count = ui::Group(this, QStringLiteral("GroupBox1"), "复制数量");
  perRow_ = ui::Spin(count, QStringLiteral("SpinEdit1"), kCopyCountMin, kCopyCountMax);
  perRow_->setValue(defaults.perRow);
  perColumn_ = ui::Spin(count, QStringLiteral("SpinEdit2"), kCopyCountMin, kCopyCountMax);
  perColumn_->setValue(defaults.perColumn);
  auto* countGrid = new QGridLayout(count);
  ui::Row(countGrid, 0, ui::Label(count, QStringLiteral("Label1"), "水平方向个数"), perRow_);
  ui::Row(countGrid, 1, ui::Label(count, QStringLiteral("Label2"), "垂直方向个数"), perColumn_);

  QGroupBox* gap = ui::Group(this, QStringLiteral("GroupBox2"), "间隔");
  horizontalGap_ = ui::Spin(gap, QStringLiteral("SpinEdit3"), kCopyGapMin, kCopyGapMax);
  horizontalGap_->setValue(defaults.horizontalGap);
  verticalGap_ = ui::Spin(gap, QStringLiteral("SpinEdit4"), kCopyGapMin, kCopyGapMax);
  verticalGap_->setValue(defaults.verticalGap);
  auto* gapGrid = new QGridLayout(gap);
  ui::Row(gapGrid, 0, ui::Label(gap, QStringLiteral("Label3"), "水平距离点数"), horizontalGap_);
  ui::Row(gapGrid, 1, ui::Label(gap, QStringLiteral("Label4"), "垂直距离点数"), verticalGap_);

  QGroupBox* address = ui::Group(this, QStringLiteral("GroupBox3"), "递增地址");
  increase_ =
      ui::Named(new QCheckBox(QStringLiteral("使用"), address), QStringLiteral("CheckBox3"));
  increase_->setChecked(defaults.increaseAddress);
  rows_ = ui::Named(new QRadioButton(QStringLiteral("水平方向"), address),
                    QStringLiteral("RadioButton1"));
  rows_->setChecked(defaults.rowOrder);
  columns_ = ui::Named(new QRadioButton(QStringLiteral("垂直方向"), address),
                       QStringLiteral("RadioButton2"));
  auto* addressLayout = new QVBoxLayout(address);
  addressLayout->addWidget(increase_);
  addressLayout->addWidget(rows_);
  addressLayout->addWidget(columns_);
  connect(increase_, &QCheckBox::clicked, this, &TMulripleCopyFrm::FollowIncrement);

  progress_ = ui::Named(new QProgressBar(this), QStringLiteral("ProgressBar1"));
  progress_->setAccessibleName(QStringLiteral("ProgressBar1"));
  progress_->setTextVisible(false);

  auto* columnsRow = new QHBoxLayout;
  auto* left = new QVBoxLayout;
  left->addWidget(count);
  left->addWidget(gap);
  columnsRow->addLayout(left);
  columnsRow->addWidget(address);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columnsRow);
  layout->addWidget(progress_);
  const ui::DialogButtons buttons =
      ui::AddDialogButtons(*this, *layout, QStringLiteral("确认(&Y)"), {"BitBtn1", "BitBtn3"});
  connect(buttons.ok, &QPushButton::clicked, this, &TMulripleCopyFrm::Run);
}

MultipleCopyOptions TMulripleCopyFrm::Options() const {
  MultipleCopyOptions options;
  options.perRow = perRow_->value();
  options.perColumn = perColumn_->value();
  options.horizontalGap = horizontalGap_->value();
  options.verticalGap = verticalGap_->value();
  options.increaseAddress = increase_->isChecked();
  // The order follows the first button even while both are disabled.
  options.rowOrder = rows_->isChecked();
  return options;
}

void TMulripleCopyFrm::FollowIncrement() {
  rows_->setEnabled(increase_->isChecked());
  columns_->setEnabled(increase_->isChecked());
  progress_->setValue(0);
}

void TMulripleCopyFrm::Prepare() {
  outcome_.reset();
  progress_->setMaximum(1);
  FollowIncrement();
}

std::optional<MultipleCopyOutcome> TMulripleCopyFrm::ShowFor(const Target& target) {
  target_ = &target;
  Prepare();
  ui::PlaceAboveCentre(this, kOffsetAboveCentre);
  hooks_.Exec(this);
  target_ = nullptr;
  return std::move(outcome_);
}

void TMulripleCopyFrm::Run() {
  if (target_ == nullptr || target_->page == nullptr || !target_->copySelected) return;
  model::PageRecord* clipboardPage = target_->copySelected();
  if (clipboardPage == nullptr) {
    reject();
    return;
  }
  const MultipleCopyOutcome outcome =
      RunMultipleCopy(Options(), target_->rules, *clipboardPage, target_->sourceSlot,
                      *target_->page, target_->pageSize, [this](int done, int total) {
                        progress_->setMaximum(std::max(total, 1));
                        progress_->setValue(done);
                      });
  if (target_->elementCreated) {
    for (int slot : outcome.created) target_->elementCreated(slot);
  }
  if (outcome.PasteFailed) hooks_.Show(this, model::kNoFreeSlotMessage, QMessageBox::Warning);
  if (target_->snapshot) target_->snapshot();
  outcome_ = outcome;
  accept();
}

}  // namespace dravik::tools
