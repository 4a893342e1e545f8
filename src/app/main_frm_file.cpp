// The main window's file commands over the project session: New, Open, Save, Save As,
// Open example, the recent file, the save and backup dialog, and what follows a load
// (device lists, picture library, page list).

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QMdiArea>

#include "app/main_frm.h"
#include "app/save_backup_frm.h"
#include "app/shell_texts.h"
#include "editor/ui/structure_page.h"
#include "model/settings_page.h"
#include "params/work_parameters.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace dravik::app {

void TMainFrm::NewProject() {
  const model::CommandResult result = session_.New();
  if (!result.done()) {
    if (result.warning) Warn(*result.warning);
    return;
  }
  editor::CloseAllPageWindows(*mdi_);
  ForgetUndoHistory();
  ForgetBatchUndo();
  state_.CurrentPage = result.currentPage;
  ToolbarInitialize();
  // What confirming the work parameters does: the lists of the (default) protocol.
  ProInitialize();
  PageCountRefresh();
}

void TMainFrm::OpenProject() {
  std::string path;
  if (session_.OpenPending.empty()) {
    const QString preset = openPreset_;
    openPreset_.clear();
    const QString chosen = hooks_.desktop.OpenFile(this, QString::fromStdString(kOpenDialogTitle.In(IsChinese())),
                                                   QString::fromStdString(kOpenDialogFilter.In(IsChinese())), preset);
    if (chosen.isEmpty()) return;
    session_.PreviousFileName = session_.ProjectFileName;
    path = chosen.toStdString();
  } else {
    path = session_.ProjectFileName;
  }
  session_.OpenPending = "Open";

  const model::CommandResult result = session_.Open(path);
  CleanWorkFiles(false);
  switch (result.outcome) {
    case model::CommandOutcome::HandedOver:
      session_.ProjectFileName = session_.PreviousFileName;
      return;
    case model::CommandOutcome::Failed:
    case model::CommandOutcome::Cancelled:
      if (result.warning) Warn(*result.warning);
      UpdateCommandStates();
      return;
    case model::CommandOutcome::Done:
      break;
  }
  ToolbarInitialize();
  ProInitialize();
  editor::CloseAllPageWindows(*mdi_);
  ForgetUndoHistory();
  ForgetBatchUndo();
  if (result.currentPage != 0) state_.CurrentPage = result.currentPage;
  PageCountRefresh();
  if (editor::TStructureP* window = ActivePageWindow()) window->Deselect();
}

void TMainFrm::SaveProject() {
  const model::CommandResult result = session_.Save();
  if (result.warning) Warn(*result.warning);
  CleanWorkFiles(false);
  UpdateCommandStates();
}

void TMainFrm::SaveProjectAs() {
  const model::CommandResult result = session_.SaveAs();
  if (result.warning) Warn(*result.warning);
  CleanWorkFiles(false);
  UpdateCommandStates();
}

void TMainFrm::OpenExample() {
  // The shipped examples may sit in a read-only folder and must stay as shipped: the user
  // opens (and saves) a copy of their own, made once and never replaced.
  Result<std::filesystem::path> folder = platform::CopyExamplesForUser(platform::ProgramDir() / "examples");
  if (!folder) {
    Warn({kExamplesCopyFailed.chinese + folder.message(), kExamplesCopyFailed.english + folder.message()});
    return;
  }
  QDir::setCurrent(QString::fromStdString(folder->string()));
  openPreset_ = QString::fromStdString((*folder / kExampleProjectName).string());
  OpenProject();
}

void TMainFrm::OpenRecent() {
  if (!commandLinePath_.empty()) {
    commandLineTimer_.start(10);
    return;
  }
  const std::string caption = Command("LastFileOpenItem")->text().toStdString();
  if (!HasRecentFile(caption)) return;  // the built-in caption names no file
  session_.PreviousFileName = session_.ProjectFileName;
  session_.ProjectFileName = RecentFilePath(caption);
  session_.OpenPending = "Open";
  OpenProject();
}

void TMainFrm::ShowSaveBackup() {
  TSaveBackupFrm* form = Dialog<TSaveBackupFrm>();
  form->Load(session_.backup);
  if (ExecDialog(form) != QDialog::Accepted) return;
  session_.backup = form->Settings();
  RestartAutoSave();
}

void TMainFrm::HandOver(const std::string& command) {
  QGuiApplication::clipboard()->setText(QString::fromStdString(command));
  QString error;
  if (!hooks_.StartInstance(&error)) {
    Warn({kSecondInstanceFailed.chinese + error.toStdString(), kSecondInstanceFailed.english + error.toStdString()});
  }
}

void TMainFrm::AttachPictureLibrary() {
  pictureLibrary_.SetChinese(IsChinese());
  const Status attached = pictureLibrary_.ADOConnected(session_.ProjectFileName);
  if (!attached) {
    Warn({kPictureLibraryFailed.chinese + attached.message(), kPictureLibraryFailed.english + attached.message()});
  }
}

void TMainFrm::ProInitialize() {
  const params::ProInitializeResult initialized =
      params::ProInitialize(image_->Settings(), deviceLists_, protocolNames_, IsChinese());
  if (!initialized.loaded) {
    Warn(Explained(kDeviceResourcesFailed, initialized.loaded.error()).Text());
    return;
  }
  ShowStatus(1, QString::fromStdString(initialized.status.model));
  ShowStatus(2, QString::fromStdString(initialized.status.link));
}

}  // namespace dravik::app
