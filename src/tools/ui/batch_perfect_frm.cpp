#include "tools/ui/batch_perfect_frm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <string>

#include "editor/render/system_colour_table.h"
#include "params/ui/settings_dialog_hooks.h"
#include "ui/desktop_hooks.h"
#include "ui/dialog_buttons.h"
#include "ui/dialog_place.h"
#include "ui/form_rows.h"

namespace dravik::tools {

namespace {

constexpr int kOffsetAboveCentre = 100;

constexpr std::array<const char*, kBatchModeCount> kModeCaptions{"画面", "文本", "寄存器",
                                                                 "动态文本", "长方形元素"};
constexpr std::array kFrameItems{"无", "普通", "三维"};
constexpr std::array kFontItems{"16X16", "24X24", "32X32"};
constexpr std::array kAlignmentItems{"左边", "中间", "右边"};
constexpr std::array kSwitchItems{"关", "开"};
constexpr std::array kLevelItems{"普通", "管理", "系统", "中级", "高级", "超级"};

// The first two boxes' captions, which follow the mode and the interface language.
struct ColourCaptions {
  Bilingual back;
  Bilingual front;
};
const ColourCaptions kElementColours{{"背景:", "Back:"}, {"前景:", "Front:"}};
const ColourCaptions kRectangleColours{{"边线:", "Edge:"}, {"填充:", "Fill:"}};

void Paint(QWidget* widget, std::uint32_t colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, editor::ResolveQColor(colour));
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

QString PlainCaption(const QAbstractButton* button) {
  return button->text().remove(QLatin1Char('&'));
}

}  // namespace

TBatchPerfectFrm::TBatchPerfectFrm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("BatchPerfectFrm"));
  setWindowTitle(QStringLiteral("批量修改"));

  QGroupBox* modes = ui::Group(this, QStringLiteral("GroupBox2"), "修改项目");
  auto* modeLayout = new QVBoxLayout(modes);
  for (int m = 0; m < kBatchModeCount; ++m) {
    auto* button = ui::Named(
        new QRadioButton(QString::fromUtf8(kModeCaptions[static_cast<std::size_t>(m)]), modes),
        QStringLiteral("RadioButton%1").arg(m + 1));
    const auto mode = static_cast<BatchMode>(m + 1);
    connect(button, &QRadioButton::clicked, this, [this, mode] { SetMode(mode); });
    modeLayout->addWidget(button);
    modes_[static_cast<std::size_t>(m)] = button;
  }
  modeLayout->addStretch();

  QGroupBox* attributes = ui::Group(this, QStringLiteral("GroupBox1"), "修改属性");
  backPanel_ = ColourPanel("OrganBackCol", backColour_);
  frontPanel_ = ColourPanel("OrganFrontCol", frontColour_);
  width_ = ui::Spin(this, QStringLiteral("SpinEdit3"), kBatchSizeMin, kBatchWidthMax);
  width_->setValue(kBatchWidthMax);
  height_ = ui::Spin(this, QStringLiteral("SpinEdit4"), kBatchSizeMin, kBatchHeightMax);
  height_->setValue(kBatchHeightMax);
  frame_ = ui::Combo(this, QStringLiteral("ComboBox2"), kFrameItems);
  font_ = ui::Combo(this, QStringLiteral("ComboBox7"), kFontItems);
  alignment_ = ui::Combo(this, QStringLiteral("ComboBox8"), kAlignmentItems);
  transparent_ = ui::Combo(this, QStringLiteral("ComboBox1"), kSwitchItems);
  password_ = ui::Combo(this, QStringLiteral("ComboBox3"), kSwitchItems);
  level_ = ui::Combo(this, QStringLiteral("ComboBox6"), kLevelItems);
  auto* attributeLayout = new QGridLayout(attributes);
  const std::array<std::pair<const char*, QWidget*>, kBatchAttributeCount> rows{{
      {"背景:", backPanel_},
      {"前景:", frontPanel_},
      {"宽度:", width_},
      {"高度:", height_},
      {"边框:", frame_},
      {"字体:", font_},
      {"对齐:", alignment_},
      {"背景透明:", transparent_},
      {"口令保护:", password_},
      {"等级:", level_},
  }};
  for (int n = 0; n < kBatchAttributeCount; ++n) {
    QWidget* panel = AttributePanel(n, rows[static_cast<std::size_t>(n)].first,
                                    rows[static_cast<std::size_t>(n)].second);
    attributeLayout->addWidget(panel, n % 5, n / 5);
  }
  // The first two captions change with the mode and the language, not by language files.
  params::MarkRuntimeText(use_[kBatchBack]);
  params::MarkRuntimeText(use_[kBatchFront]);

  auto* range = ui::Named(new QWidget(this), QStringLiteral("Panel5"));
  firstPage_ = ui::Spin(range, QStringLiteral("SpinEditS"), 1, model::kMaxPage);
  firstPage_->setValue(kBatchFirstPageDefault);
  lastPage_ = ui::Spin(range, QStringLiteral("SpinEditE"), 1, model::kMaxPage);
  lastPage_->setValue(kBatchLastPageDefault);
  auto* current = ui::Named(new QPushButton(QStringLiteral("当前画面"), range),
                            QStringLiteral("CurrentPageButton"));
  connect(current, &QPushButton::clicked, this, [this] {
    if (project_ == nullptr) return;
    firstPage_->setValue(project_->currentPage);
    lastPage_->setValue(project_->currentPage);
  });
  auto* rangeLayout = new QHBoxLayout(range);
  QLabel* rangeLabel = ui::Label(range, QStringLiteral("Label1"), "画面范围:");
  rangeLabel->setBuddy(firstPage_);
  QLabel* arrow = ui::Label(range, QStringLiteral("Label2"), "-->");
  arrow->setBuddy(lastPage_);
  firstPage_->setAccessibleName(QStringLiteral("画面范围: 开始"));
  lastPage_->setAccessibleName(QStringLiteral("画面范围: 结束"));
  rangeLayout->addWidget(rangeLabel);
  rangeLayout->addWidget(firstPage_);
  rangeLayout->addWidget(arrow);
  rangeLayout->addWidget(lastPage_);
  rangeLayout->addWidget(current);

  auto* run = ui::Named(new QPushButton(QStringLiteral("执行"), this), QStringLiteral("BitBtn1"));
  run->setDefault(true);
  auto* close = ui::Named(new QPushButton(QStringLiteral("关闭"), this), QStringLiteral("BitBtn2"));
  undoButton_ = ui::Named(new QPushButton(QStringLiteral("撤消批量修改(&U)"), this),
                          QStringLiteral("UndoBatch"));
  undoButton_->setToolTip(QStringLiteral("恢复最近一次批量修改之前的画面"));
  connect(run, &QPushButton::clicked, this, &TBatchPerfectFrm::RunClick);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  connect(undoButton_, &QPushButton::clicked, this, &TBatchPerfectFrm::UndoClick);

  auto* top = new QHBoxLayout;
  top->addWidget(modes);
  top->addWidget(attributes, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(range);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(undoButton_);
  buttons->addStretch();
  buttons->addLayout(ui::ButtonRow({run, close}));
  layout->addLayout(buttons);
  Paint(this, kPlainColour);
}

QWidget* TBatchPerfectFrm::AttributePanel(int n, const char* caption, QWidget* input) {
  auto* panel = ui::Named(new QWidget(this), QStringLiteral("Attribute%1").arg(n + 1));
  auto* box = ui::Named(new QCheckBox(QString::fromUtf8(caption), panel),
                        QStringLiteral("Use%1").arg(n + 1));
  input->setParent(panel);
  input->setAccessibleName(QString::fromUtf8(caption));
  auto* layout = new QHBoxLayout(panel);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(box);
  layout->addWidget(input, 1);
  connect(box, &QCheckBox::toggled, this, &TBatchPerfectFrm::PaintChoices);
  use_[static_cast<std::size_t>(n)] = box;
  panels_[static_cast<std::size_t>(n)] = panel;
  return panel;
}

QPushButton* TBatchPerfectFrm::ColourPanel(const char* name, std::uint32_t& colour) {
  auto* panel = ui::Named(new QPushButton(this), QString::fromLatin1(name));
  panel->setToolTip(QStringLiteral("选择颜色"));
  panel->setFixedSize(48, 20);
  PaintColour(panel, colour);
  connect(panel, &QPushButton::clicked, this,
          [this, panel, &colour] { ChooseColour(panel, colour); });
  return panel;
}

void TBatchPerfectFrm::PaintColour(QPushButton* panel, std::uint32_t colour) {
  panel->setStyleSheet(params::ColourPanelStyle(colour));
}

void TBatchPerfectFrm::ChooseColour(QPushButton* panel, std::uint32_t& colour) {
  if (const std::optional<std::uint32_t> chosen = hooks_.ChooseColour(colour, panel)) {
    colour = *chosen;
    PaintColour(panel, colour);
  }
}

void TBatchPerfectFrm::PaintChoices() {
  for (int m = 0; m < kBatchModeCount; ++m) {
    Paint(modes_[static_cast<std::size_t>(m)],
          m + 1 == static_cast<int>(mode_) ? kChosenColour : kPlainColour);
  }
  for (QCheckBox* box : use_) Paint(box, box->isChecked() ? kChosenColour : kPlainColour);
}

void TBatchPerfectFrm::SetUseCaptions() {
  const ColourCaptions& captions =
      mode_ == BatchMode::kRectangle ? kRectangleColours : kElementColours;
  const bool chinese = hooks_.Chinese();
  use_[kBatchBack]->setText(QString::fromStdString(captions.back.In(chinese)));
  use_[kBatchFront]->setText(QString::fromStdString(captions.front.In(chinese)));
  backPanel_->setAccessibleName(use_[kBatchBack]->text());
  frontPanel_->setAccessibleName(use_[kBatchFront]->text());
}

void TBatchPerfectFrm::SetMode(BatchMode mode) {
  mode_ = mode;
  modes_[static_cast<std::size_t>(static_cast<int>(mode) - 1)]->setChecked(true);
  for (int n = 0; n < kBatchAttributeCount; ++n) {
    use_[static_cast<std::size_t>(n)]->setChecked(false);
    panels_[static_cast<std::size_t>(n)]->setVisible(BatchOffers(mode, n));
  }
  SetUseCaptions();
  PaintChoices();
}

BatchOptions TBatchPerfectFrm::Options() const {
  BatchOptions options;
  options.mode = mode_;
  for (int n = 0; n < kBatchAttributeCount; ++n) {
    options.use[static_cast<std::size_t>(n)] = use_[static_cast<std::size_t>(n)]->isChecked();
  }
  options.backColour = backColour_;
  options.frontColour = frontColour_;
  options.width = width_->value();
  options.height = height_->value();
  options.frame = frame_->currentIndex();
  options.font = font_->currentIndex();
  options.alignment = alignment_->currentIndex();
  options.transparent = transparent_->currentIndex();
  options.password = password_->currentIndex();
  options.level = level_->currentIndex();
  options.firstPage = firstPage_->value();
  options.lastPage = lastPage_->value();
  return options;
}

QString TBatchPerfectFrm::ModeCaption() const {
  return PlainCaption(modes_[static_cast<std::size_t>(static_cast<int>(mode_) - 1)]);
}

std::vector<std::string> TBatchPerfectFrm::CheckedCaptions() const {
  std::vector<std::string> captions;
  for (int n = 0; n < kBatchAttributeCount; ++n) {
    const QCheckBox* box = use_[static_cast<std::size_t>(n)];
    if (box->isChecked() && BatchOffers(mode_, n))
      captions.push_back(PlainCaption(box).toStdString());
  }
  return captions;
}

bool TBatchPerfectFrm::ShowFor(const Project& project) {
  project_ = &project;
  changed_ = false;
  SetMode(BatchMode::kPages);
  undoButton_->setEnabled(CanUndo());
  ui::PlaceAboveCentre(this, kOffsetAboveCentre);
  hooks_.Exec(this);
  project_ = nullptr;
  return changed_;
}

void TBatchPerfectFrm::RunClick() {
  if (project_ == nullptr || project_->image == nullptr) return;
  const BatchOptions options = Options();
  const bool chinese = hooks_.Chinese();
  const Bilingual question =
      BatchConfirmation(options.mode, ModeCaption().toStdString(), CheckedCaptions(),
                        CountBatchChanges(*project_->image, options));
  if (hooks_.Ask(this, QString::fromLatin1(kBatchQuestionCaption),
                 ui::LineText(question.In(chinese)), QMessageBox::Yes | QMessageBox::No,
                 QMessageBox::No) != QMessageBox::Yes) {
    return;
  }
  if (const std::optional<BatchRefusal> refusal = CheckBatch(options)) {
    hooks_.Show(this, QString::fromStdString(kBatchCaption.In(chinese)), QMessageBox::Warning,
                ui::LineText(refusal->message.In(chinese)));
    if (refusal->focusFirstPage) firstPage_->setFocus();
    return;
  }
  if (project_->closeAllPageWindows) project_->closeAllPageWindows();
  undo_ = RunBatchModify(*project_->image, options);
  changed_ = true;
  Finish();
}

void TBatchPerfectFrm::UndoClick() {
  if (project_ == nullptr || project_->image == nullptr || undo_.Empty()) return;
  const std::string pages = std::to_string(undo_.PageCount());
  if (!hooks_.AskYesNo(
          this, {"恢复最近一次批量修改之前的 " + pages + " 个画面 ？",
                 "Put the " + pages + " pages back as they were before the last batch change?"})) {
    return;
  }
  if (project_->closeAllPageWindows) project_->closeAllPageWindows();
  const Status restored = undo_.Restore(*project_->image);
  if (restored) changed_ = true;
  undoButton_->setEnabled(CanUndo());
  if (!restored) hooks_.Show(this, restored.error().Text(), QMessageBox::Warning);
  Finish();
}

void TBatchPerfectFrm::Finish() {
  if (project_->pageCountRefresh) project_->pageCountRefresh();
  accept();
}

}  // namespace dravik::tools
