#include "pictures/ui/meta_file_frm.h"

#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <system_error>

#include "editor/render/rgb_image_bridge.h"
#include "params/ui/settings_dialog_hooks.h"
#include "pictures/picture_operations.h"
#include "pictures/ui/bmp_extend_frm.h"
#include "platform/paths.h"
#include "ui/dialog_buttons.h"
#include "ui/dialog_place.h"
#include "ui/form_rows.h"

namespace dravik::pictures {

namespace fs = std::filesystem;

namespace {

constexpr int kIdColumnWidth = 50;
constexpr int kNameColumnWidth = 150;
constexpr int kPreviewMinimumWidth = 320;
constexpr int kPreviewMinimumHeight = 240;

const Bilingual kAddTitle = Both("Add a picture:");
const Bilingual kReplaceTitle{"添加图片:", "Add a picture:"};
const Bilingual kSaveTitle = Both("Save picture as:");
const Bilingual kReplaceExisting{"文件已经存在，要替换它吗 ？\r\r",
                                 "The file already exists. Replace it?\r\r"};
const Bilingual kPaintFailed{"无法启动画图程序：", "The paint program cannot be started: "};
const Bilingual kCompacting{"正在压缩图库...", "Compressing the picture library ..."};
const Bilingual kConverting{"正在转换图片...", "Converting the picture ..."};
const Bilingual kStoring{"正在保存图片...", "Storing the picture ..."};

// The flip and rotate panel's edits of the preview.
struct FlipRotateEdit {
  const char* name;
  Bilingual caption;
  void (*apply)(RgbImage&);
};
const FlipRotateEdit kFlipRotateEdits[] = {
    {"HorizontalFlipButton", {"水平翻转", "Flip horizontally"}, &MirrorLeftRight},
    {"VerticalFlipButton", {"垂直翻转", "Flip vertically"}, &MirrorTopBottom},
    {"Rotate90Button", {"旋转90度", "Rotate 90°"}, &RotateClockwise90},
};
const Bilingual kFlipOkCaption{"确定", "OK"};
const Bilingual kFlipCancelCaption{"取消", "Cancel"};

const QString kAddFilter =
    QStringLiteral("All (*.jpg *.bmp);;JPEG Image File (*.jpg);;Bitmaps (*.bmp)");

fs::path PathOf(const QString& file) {
  return fs::path(QFile::encodeName(file).toStdString());
}
QString TextOf(const fs::path& path) {
  return QFile::decodeName(QByteArray::fromStdString(path.string()));
}
QString Utf8(const std::string& text) {
  return QString::fromStdString(text);
}

bool EndsWithNoCase(const std::string& text, const std::string& tail) {
  return QString::fromStdString(text).endsWith(QString::fromStdString(tail), Qt::CaseInsensitive);
}

// The hourglass and a progress text in the status bar while the window works; what the
// window shows (a button's "请等待...") is painted before the work starts.
class BusyScope {
 public:
  BusyScope(const ui::DesktopHooks& hooks, const Bilingual& progress)
      : hooks_(hooks), before_(hooks.StatusText(0)) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    hooks_.ShowStatus(0, hooks_.Text(progress));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }
  ~BusyScope() {
    hooks_.ShowStatus(0, before_);
    QApplication::restoreOverrideCursor();
  }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  const ui::DesktopHooks& hooks_;
  QString before_;
};

QPushButton* CommandButton(QWidget* parent, const char* name, const char* caption) {
  auto* button =
      ui::Named(new QPushButton(QString::fromUtf8(caption), parent), QString::fromLatin1(name));
  button->setAutoDefault(false);
  return button;
}

}  // namespace

TMetaFileFrm::TMetaFileFrm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("MetaFileFrm"));
  setWindowTitle(QStringLiteral("图形库"));
  setSizeGripEnabled(true);

  CreateList();
  CreatePreview();
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(list_);
  auto* previewColumn = new QVBoxLayout;
  previewColumn->addWidget(namePanel_);
  previewColumn->addWidget(sizePanel_);
  previewColumn->addWidget(previewArea_, 1);
  layout->addLayout(previewColumn, 1);
  auto* buttonColumn = new QVBoxLayout;
  layout->addLayout(buttonColumn);
  CreateButtons();
  for (const char* name : std::initializer_list<const char*>{
           "AddButton", "AddGalleryButton", "ReplaceButton", "ExportButton", "ExportGalleryButton",
           "DeleteButton", nullptr, "ConvertButton", "InvertButton", "FlipRotateButton",
           "StretchButton", "PaintButton", nullptr, "CompactButton"}) {
    if (name == nullptr)
      buttonColumn->addSpacing(12);
    else
      buttonColumn->addWidget(Button(name));
  }
  buttonColumn->addStretch(1);
  auto* confirm = new QVBoxLayout;
  const ui::DialogButtons buttons =
      ui::AddDialogButtons(*this, *confirm, QStringLiteral("确定(&Y)"));
  buttonColumn->addLayout(confirm);
  connect(buttons.ok, &QPushButton::clicked, this, &QDialog::accept);
  CreateFlipRotatePanel();

  // The list's keys: Insert adds, Delete deletes, Enter (the default button) confirms.
  auto* insert = new QShortcut(QKeySequence(Qt::Key_Insert), this);
  connect(insert, &QShortcut::activated, this, &TMetaFileFrm::AddClick);
  auto* remove = new QShortcut(QKeySequence::Delete, this);
  connect(remove, &QShortcut::activated, this, &TMetaFileFrm::DeleteClick);
  ShowTexts();
  ClearPreview();
}

// ---------------------------------------------------------------------------------------
// Construction

void TMetaFileFrm::CreateList() {
  list_ = ui::Named(new QTreeWidget(this), QStringLiteral("PictureList"));
  list_->setAccessibleName(QStringLiteral("图形库"));
  list_->setColumnCount(2);
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->header()->setStretchLastSection(false);
  list_->header()->setSectionsMovable(false);
  list_->setColumnWidth(0, kIdColumnWidth);
  list_->setColumnWidth(1, kNameColumnWidth);
  list_->setMinimumWidth(kIdColumnWidth + kNameColumnWidth + 24);
  connect(list_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    SelectRow(item != nullptr ? list_->indexOfTopLevelItem(item) : -1);
  });
  // A double click chooses the picture, as selecting it and confirming would.
  connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] {
    if (selectedId_ != kNoSelection) accept();
  });
}

void TMetaFileFrm::CreatePreview() {
  namePanel_ = ui::Named(new QLabel(this), QStringLiteral("NamePanel"));
  sizePanel_ = ui::Named(new QLabel(this), QStringLiteral("SizePanel"));
  for (QLabel* panel : {namePanel_, sizePanel_}) {
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    params::MarkRuntimeText(panel);
  }
  previewArea_ = ui::Named(new QScrollArea(this), QStringLiteral("PreviewArea"));
  previewArea_->setMinimumSize(kPreviewMinimumWidth, kPreviewMinimumHeight);
  previewArea_->setAlignment(Qt::AlignCenter);
  previewLabel_ = ui::Named(new QLabel(previewArea_), QStringLiteral("PreviewImage"));
  previewLabel_->setAccessibleName(QStringLiteral("预览"));
  previewArea_->setWidget(previewLabel_);
}

void TMetaFileFrm::CreateButtons() {
  struct Command {
    const char* name;
    const char* caption;
    void (TMetaFileFrm::*run)();
  };
  const Command commands[] = {
      {"AddButton", " 添加...   ", &TMetaFileFrm::AddClick},
      {"AddGalleryButton", "由图库添加...", &TMetaFileFrm::AddFromGalleryClick},
      {"ReplaceButton", "替换...", &TMetaFileFrm::ReplaceClick},
      {"ExportButton", "导出...", &TMetaFileFrm::ExportClick},
      {"ExportGalleryButton", "导出到图库...", &TMetaFileFrm::ExportToGalleryClick},
      {"DeleteButton", "删除...", &TMetaFileFrm::DeleteClick},
      {"ConvertButton", "BMP<=>JPG ...", &TMetaFileFrm::ConvertClick},
      {"InvertButton", " 色彩对换  ", &TMetaFileFrm::InvertClick},
      {"FlipRotateButton", "翻转/旋转", &TMetaFileFrm::FlipRotateClick},
      {"StretchButton", "拉伸...", &TMetaFileFrm::StretchClick},
      {"PaintButton", "画图", &TMetaFileFrm::PaintClick},
      {"CompactButton", "压缩图库", &TMetaFileFrm::CompactClick},
  };
  for (const Command& command : commands) {
    QPushButton* button = CommandButton(this, command.name, command.caption);
    connect(button, &QPushButton::clicked, this, command.run);
  }
  compactButton_ = Button("CompactButton");
  params::MarkRuntimeText(compactButton_);  // its caption says whether it is working
  paintButton_ = Button("PaintButton");
  paintButton_->hide();
}

void TMetaFileFrm::CreateFlipRotatePanel() {
  // A window of its own, which the language files do not reach: its texts are the
  // program's, shown in the interface language.
  flipPanel_ = ui::Named(new QDialog(this), QStringLiteral("FlipRotatePanel"));
  auto* layout = new QVBoxLayout(flipPanel_);
  for (const FlipRotateEdit& edit : kFlipRotateEdits) {
    QPushButton* button = CommandButton(flipPanel_, edit.name, edit.caption.chinese.c_str());
    layout->addWidget(button);
    connect(button, &QPushButton::clicked, this, [this, apply = edit.apply] {
      apply(preview_);
      ShowPreviewImage();
    });
  }
  QPushButton* ok = CommandButton(flipPanel_, "FlipOkButton", kFlipOkCaption.chinese.c_str());
  QPushButton* cancel =
      CommandButton(flipPanel_, "FlipCancelButton", kFlipCancelCaption.chinese.c_str());
  layout->addLayout(ui::ButtonRow({ok, cancel}));
  connect(ok, &QPushButton::clicked, flipPanel_, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, flipPanel_, &QDialog::reject);
}

QPushButton* TMetaFileFrm::Button(const char* objectName) const {
  return findChild<QPushButton*>(QString::fromLatin1(objectName));
}

void TMetaFileFrm::SetPaintProgram(const QString& program) {
  paintProgram_ = program;
  paintButton_->setVisible(!program.isEmpty());
}

TBmpExtendFrm* TMetaFileFrm::StretchForm() {
  if (stretchForm_ == nullptr) stretchForm_ = new TBmpExtendFrm(this);
  return stretchForm_;
}

// ---------------------------------------------------------------------------------------
// Showing and the list

int TMetaFileFrm::ChoosePicture(int chosenId) {
  FormShow(chosenId);
  const int result = hooks_.Exec(this);
  return result == QDialog::Accepted ? ChosenId() : chosenId;
}

void TMetaFileFrm::FormShow(int chosenId) {
  passedId_ = chosenId;
  ShowTexts();
  if (gallery_.empty()) gallery_ = platform::ProgramDir() / kGalleryFolderName;
  RefillAndSelect(chosenId);
  ui::PlaceAboveCentre(this, params::kDialogAboveMiddle);
  list_->setFocus();
}

int TMetaFileFrm::ChosenId() const {
  return selectedId_ != kNoSelection ? selectedId_ : passedId_;
}

QString TMetaFileFrm::NameText() const {
  return namePanel_->text();
}
QString TMetaFileFrm::SizeText() const {
  return sizePanel_->text();
}

PictureLibrary& TMetaFileFrm::Library() {
  library_->SetChinese(Chinese());
  return *library_;
}

void TMetaFileFrm::ShowTexts() {
  list_->setHeaderLabels({QStringLiteral("  ID"), hooks_.Text(kNameColumnCaption)});
  compactButton_->setText(hooks_.Text(kCompactButtonCaption));
  flipPanel_->setWindowTitle(Button("FlipRotateButton")->text());
  for (const FlipRotateEdit& edit : kFlipRotateEdits) {
    flipPanel_->findChild<QPushButton*>(QString::fromLatin1(edit.name))
        ->setText(hooks_.Text(edit.caption));
  }
  flipPanel_->findChild<QPushButton*>(QStringLiteral("FlipOkButton"))
      ->setText(hooks_.Text(kFlipOkCaption));
  flipPanel_->findChild<QPushButton*>(QStringLiteral("FlipCancelButton"))
      ->setText(hooks_.Text(kFlipCancelCaption));
}

void TMetaFileFrm::RefillAndSelect(int id, int fallbackRow) {
  int row = -1;
  {
    const QSignalBlocker quiet(list_);
    list_->clear();
    if (Ready()) {
      for (const PictureEntry& entry : library_->Entries()) {
        if (entry.id == id) row = list_->topLevelItemCount();
        list_->addTopLevelItem(new QTreeWidgetItem({QString::number(entry.id), Utf8(entry.name)}));
      }
    }
  }
  if (row < 0 && fallbackRow >= 0) row = std::min(fallbackRow, list_->topLevelItemCount() - 1);
  SelectRow(row);
}

void TMetaFileFrm::SelectRow(int row) {
  QTreeWidgetItem* item = row >= 0 ? list_->topLevelItem(row) : nullptr;
  {
    const QSignalBlocker quiet(list_);
    list_->setCurrentItem(item);
    if (item == nullptr) list_->clearSelection();
  }
  const QString idText = item != nullptr ? item->text(0).trimmed() : QString();
  if (idText.isEmpty() || !Ready()) {
    selectedId_ = kNoSelection;
    namePanel_->clear();
    ClearPreview();
    return;
  }
  selectedId_ = idText.toInt();
  list_->scrollToItem(item);
  showPic(selectedId_);
}

// ---------------------------------------------------------------------------------------
// The preview

void TMetaFileFrm::showPic(int id) {
  Result<Preview> preview = Library().showPic(id);
  if (!preview) {
    ShowFailure(preview.error());
    return;
  }
  namePanel_->setText(Utf8(preview->note));
  if (!preview->hasPicture) {
    ClearPreview();
    if (preview->error) hooks_.Show(this, *preview->error, QMessageBox::Critical);
    return;
  }
  preview_ = std::move(preview->image);
  ShowPreviewImage();
  sizePanel_->setText(Utf8(preview->sizeText));
}

void TMetaFileFrm::ClearPreview() {
  preview_ = {};
  ShowPreviewImage();
  sizePanel_->clear();
}

void TMetaFileFrm::ShowPreviewImage() {
  if (preview_.empty())
    previewLabel_->clear();
  else
    previewLabel_->setPixmap(QPixmap::fromImage(editor::ToQImage(preview_)));
  previewLabel_->adjustSize();
  const bool picture = !preview_.empty();
  for (const char* name : {"ConvertButton", "InvertButton", "FlipRotateButton", "StretchButton"}) {
    Button(name)->setEnabled(picture);
  }
  for (const char* name : {"ExportButton", "ExportGalleryButton"}) {
    Button(name)->setEnabled(selectedId_ != kNoSelection);
  }
}

// ---------------------------------------------------------------------------------------
// Boxes

void TMetaFileFrm::Warn(const Bilingual& message) {
  hooks_.Show(this, message, QMessageBox::Warning);
}

void TMetaFileFrm::Inform(const Bilingual& message) {
  hooks_.Show(this, message, QMessageBox::Information);
}

void TMetaFileFrm::ShowFailure(const Status& status, QMessageBox::Icon icon) {
  hooks_.Show(this, QString::fromUtf8(ui::kProgramCaption), icon, ui::LineText(status.message()));
}

QString TMetaFileFrm::AskPictureFile(const Bilingual& title, const QString& preset) {
  return hooks_.OpenFile(this, hooks_.Text(title), kAddFilter, preset);
}

// ---------------------------------------------------------------------------------------
// Adding, replacing, exporting, deleting

void TMetaFileFrm::AddClick() {
  AddFrom(TextOf(gallery_));
}

void TMetaFileFrm::AddFromGalleryClick() {
  AddFrom(TextOf(gallery_ / kGalleryProposal));
}

void TMetaFileFrm::AddFrom(const QString& preset) {
  if (!Ready()) return;
  const QString file = AskPictureFile(kAddTitle, preset);
  if (file.isEmpty()) return;
  Result<int> added = [&] {
    BusyScope busy(hooks_, kStoring);
    return Library().AddPicture(PathOf(file));
  }();
  if (!added) {
    ShowFailure(added.error());
    return;
  }
  RefillAndSelect(*added);
}

void TMetaFileFrm::ReplaceClick() {
  if (!Ready()) return;
  if (selectedId_ <= kReservedId) {
    Inform(kReservedReplaceMessage);
    return;
  }
  const QString file = AskPictureFile(kReplaceTitle, TextOf(gallery_));
  if (file.isEmpty()) return;
  const int id = selectedId_;
  Status replaced = [&] {
    BusyScope busy(hooks_, kStoring);
    return Library().ModifyPic(id, PathOf(file));
  }();
  if (!replaced) ShowFailure(replaced);
  RefillAndSelect(id);
}

void TMetaFileFrm::ExportClick() {
  ExportWithPreset(TextOf(gallery_));
}

void TMetaFileFrm::ExportToGalleryClick() {
  if (!Ready() || selectedId_ == kNoSelection) return;
  // Only the name's last part: a stored name never reaches outside the gallery.
  const fs::path name = PathOf(NameText()).filename();
  ExportWithPreset(TextOf(gallery_ / name));
}

void TMetaFileFrm::ExportWithPreset(const QString& preset) {
  if (!Ready() || selectedId_ == kNoSelection) return;
  const int id = selectedId_;
  Result<PictureRecord> record = Library().Read(id);
  if (!record) {
    ShowFailure(record.error());
    return;
  }
  const QString ext = Utf8(record->ext);
  const QString file =
      hooks_.SaveFile(this, hooks_.Text(kSaveTitle), QStringLiteral("*%1 (*%1)").arg(ext), preset);
  if (file.isEmpty()) return;
  // The dialog asked about the name as typed; the extension added to it may name another
  // file that is there already.
  if (!file.endsWith(ext, Qt::CaseInsensitive) && QFile::exists(file + ext)) {
    const Bilingual question{kReplaceExisting.chinese + (file + ext).toStdString(),
                             kReplaceExisting.english + (file + ext).toStdString()};
    if (!hooks_.AskYesNo(this, question)) return;
  }
  Result<fs::path> written = Library().ExportPicture(id, PathOf(file));
  if (!written) ShowFailure(written.error());
}

void TMetaFileFrm::DeleteClick() {
  if (!Ready()) return;
  if (selectedId_ <= kReservedId) {
    Inform(kReservedDeleteMessage);
    return;
  }
  if (!hooks_.AskYesNo(this, kDeleteQuestion)) return;
  const int row = list_->indexOfTopLevelItem(list_->currentItem());
  Status deleted = Library().DeletePicture(selectedId_);
  if (!deleted) {
    ShowFailure(deleted);
    RefillAndSelect(selectedId_, row);
    return;
  }
  CompactLibrary();
  // The row below the deleted one takes its place, as in any list.
  RefillAndSelect(kNoSelection, row);
}

// ---------------------------------------------------------------------------------------
// Conversion and the edits of the preview

void TMetaFileFrm::ConvertClick() {
  if (!Ready() || selectedId_ == kNoSelection || preview_.empty()) return;
  const int id = selectedId_;
  Result<PictureRecord> record = Library().Read(id);
  if (!record) {
    ShowFailure(record.error());
    return;
  }
  const ConversionPlan plan = PlanConversion(record->note, record->ext);
  if (!hooks_.AskYesNo(this, plan.question)) return;
  if (plan.warning && !hooks_.AskYesNo(this, *plan.warning)) return;
  Result<std::string> converted = [&] {
    BusyScope busy(hooks_, kConverting);
    return Library().ConvertPicture(id);
  }();
  if (!converted) ShowFailure(converted.error());
  RefillAndSelect(id);
}

void TMetaFileFrm::InvertClick() {
  if (preview_.empty()) return;
  InvertColours(preview_);
  ShowPreviewImage();
  EditSavePic();
}

void TMetaFileFrm::FlipRotateClick() {
  if (preview_.empty()) return;
  flipPanel_->adjustSize();
  const QPoint beside = Button("FlipRotateButton")->mapToGlobal(QPoint(0, 0));
  flipPanel_->move(beside.x() - flipPanel_->frameSize().width(), beside.y());
  if (hooks_.Exec(flipPanel_) == QDialog::Accepted)
    EditSavePic();
  else
    showPic(selectedId_);
}

void TMetaFileFrm::StretchClick() {
  if (preview_.empty()) return;
  TBmpExtendFrm* form = StretchForm();
  form->FormShow(preview_);
  if (hooks_.Exec(form) != QDialog::Accepted || form->Stretched().empty()) return;
  preview_ = form->Stretched();
  ShowPreviewImage();
  EditSavePic();
}

void TMetaFileFrm::EditSavePic() {
  const int id = selectedId_;
  if (!Ready() || id == kNoSelection) return;
  if (!hooks_.AskYesNo(this, kKeepEditedQuestion)) {
    showPic(id);
    return;
  }
  Result<PictureRecord> record = Library().Read(id);
  if (!record) {
    ShowFailure(record.error());
    return;
  }
  const std::optional<std::string> name = AskNewName(record->note, record->ext);
  if (!name) {
    showPic(id);
    return;
  }
  Status stored = [&] {
    BusyScope busy(hooks_, kStoring);
    return Library().EditSavePic(id, preview_, *name);
  }();
  if (!stored) ShowFailure(stored);
  RefillAndSelect(id);
}

std::optional<std::string> TMetaFileFrm::AskNewName(const std::string& currentName,
                                                    const std::string& storedExt) {
  const std::string extension = PathOf(Utf8(currentName)).extension().string();
  const QString stem = Utf8(currentName.substr(0, currentName.size() - extension.size()));
  QInputDialog dialog(this);
  dialog.setObjectName(QStringLiteral("NewNameDialog"));
  dialog.setWindowTitle(hooks_.Text(kNewNameCaption));
  dialog.setLabelText(hooks_.Text(kNewNamePrompt));
  dialog.setTextValue(stem);
  // A picture's name is a file name: it may not lead into another folder.
  if (auto* edit = dialog.findChild<QLineEdit*>()) {
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^/\\\\]*")), edit));
  }
  if (hooks_.Exec(&dialog) != QDialog::Accepted) return std::nullopt;
  std::string answer = dialog.textValue().trimmed().toStdString();
  if (answer.empty()) answer = stem.toStdString();
  // The stored extension is appended to the answer; typed as well, it would be doubled.
  if (answer.size() > storedExt.size() && !storedExt.empty() && EndsWithNoCase(answer, storedExt)) {
    answer.resize(answer.size() - storedExt.size());
  }
  return answer;
}

void TMetaFileFrm::PaintClick() {
  if (paintProgram_.isEmpty()) return;
  QString error;
  if (!hooks_.StartProgram(paintProgram_, {}, {}, &error)) {
    Warn({kPaintFailed.chinese + error.toStdString(), kPaintFailed.english + error.toStdString()});
  }
}

// ---------------------------------------------------------------------------------------
// Compaction

void TMetaFileFrm::CompactClick() {
  if (!Ready()) return;
  const int id = selectedId_;
  CompactLibrary();
  RefillAndSelect(id);
}

void TMetaFileFrm::CompactLibrary() {
  compactButton_->setText(hooks_.Text(kCompactBusyCaption));
  compactButton_->setEnabled(false);
  Status compacted = [&] {
    BusyScope busy(hooks_, kCompacting);
    return Library().CompactLibrary();
  }();
  compactButton_->setText(hooks_.Text(kCompactButtonCaption));
  compactButton_->setEnabled(true);
  if (!compacted) {
    ShowFailure(compacted, QMessageBox::Critical);
    Inform(kCompactFailedNotice);
  }
}

}  // namespace dravik::pictures
