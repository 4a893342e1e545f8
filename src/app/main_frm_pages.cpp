// The page list (tree, jump-target list, tab caption), the page commands and the page
// channel of the clipboard.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <QTabWidget>
#include <QTreeWidget>

#include "app/main_frm.h"
#include "app/new_page_frm.h"
#include "app/page_attribute_frm.h"
#include "app/page_clipboard.h"
#include "app/page_commands.h"
#include "app/paste_page_frm.h"
#include "app/shell_texts.h"
#include "editor/ui/structure_page.h"

namespace dravik::app {

namespace {

QIcon TreeIcon(int picture) {
  QStyle* style = QApplication::style();
  switch (picture) {
    case kPictureRoot: return style->standardIcon(QStyle::SP_ComputerIcon);
    case kPictureSettings: return style->standardIcon(QStyle::SP_FileDialogDetailedView);
    case kPictureAlarms: return style->standardIcon(QStyle::SP_MessageBoxWarning);
    case kPictureMacros: return style->standardIcon(QStyle::SP_BrowserReload);
    case kPicturePageGroup: return style->standardIcon(QStyle::SP_DirIcon);
    default: {
      // A page shows picture 43, and 41 while it is the selected node.
      QIcon icon = style->standardIcon(QStyle::SP_FileIcon);
      icon.addPixmap(style->standardIcon(QStyle::SP_DirOpenIcon).pixmap(16, 16), QIcon::Selected);
      return icon;
    }
  }
}

QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, QTreeWidget* tree, const std::string& text, int picture) {
  auto* item = parent != nullptr ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
  item->setText(0, QString::fromStdString(text));
  item->setIcon(0, TreeIcon(picture));
  item->setData(0, Qt::UserRole, picture);
  return item;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Page windows

editor::TStructureP* TMainFrm::ActivePageWindow() const {
  return mdi_ != nullptr ? editor::ActivePageWindow(*mdi_) : nullptr;
}

QWidget* TMainFrm::ActivePageWindowWidget() const { return ActivePageWindow(); }

editor::TStructureP* TMainFrm::PageWindowWithCaption(const QString& caption) const {
  for (QMdiSubWindow* sub : mdi_->subWindowList()) {
    auto* window = qobject_cast<editor::TStructureP*>(sub->widget());
    if (window != nullptr && window->Caption() == caption) return window;
  }
  return nullptr;
}

void TMainFrm::ActivatePageWindow(editor::TStructureP* window) {
  for (QMdiSubWindow* sub : mdi_->subWindowList()) {
    if (sub->widget() == window) {
      mdi_->setActiveSubWindow(sub);
      return;
    }
  }
}

editor::TStructureP* TMainFrm::OpenCurrentPageWindow() {
  Bilingual failure;
  editor::TStructureP* window = editor::OpenPageWindow(*mdi_, *image_, state_, &failure);
  if (window == nullptr) {
    Inform(failure);
    return nullptr;
  }
  connect(window, &editor::TStructureP::Activated, this, &TMainFrm::PageWindowActivated, Qt::UniqueConnection);
  ConnectPageWindow(window);
  return window;
}

void TMainFrm::PageWindowActivated(int pageNumber) {
  if (editor::TStructureP* window = ActivePageWindow()) {
    SelectTreeNode(window->Caption());
    // Entering another page window starts its own history; the same window activated
    // again keeps the one it has.
    if (window != snapshotWindow_) {
      snapshotWindow_ = window;
      undoRing_.ActivationSnapshot(image_->Page(pageNumber), pageNumber);
    }
  }
  UpdateCommandStates();
}

void TMainFrm::SelectTreeNode(const QString& text) {
  const QList<QTreeWidgetItem*> found = tree_->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
  for (QTreeWidgetItem* item : found) {
    if (item->data(0, Qt::UserRole).toInt() == kPicturePage) {
      tree_->setCurrentItem(item);
      return;
    }
  }
}

void TMainFrm::ClosePageWindow(int pageNumber) {
  editor::TStructureP* window = editor::FindPageWindow(*mdi_, pageNumber);
  if (window == nullptr) return;
  if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget())) {
    mdi_->removeSubWindow(sub);
    sub->deleteLater();
  }
}

// ---------------------------------------------------------------------------------------
// The page list

void TMainFrm::PageCountRefresh() {
  const bool chinese = IsChinese();
  jumpTargets_ = JumpTargetTexts(*image_, chinese);
  Dialog<TPageAttributeFrm>()->SetJumpTargets(jumpTargets_);

  const QSignalBlocker blocker(tree_);
  tree_->clear();
  const TreeNodeTexts texts = TreeTexts(chinese);
  QTreeWidgetItem* root = AddNode(nullptr, tree_, texts.root, kPictureRoot);
  AddNode(root, tree_, texts.settings, kPictureSettings);
  AddNode(root, tree_, texts.alarms, kPictureAlarms);
  AddNode(root, tree_, texts.macros, kPictureMacros);
  QTreeWidgetItem* pages = AddNode(root, tree_, texts.pageGroup, kPicturePageGroup);

  int count = 0;
  QString currentText;
  for (int n = 1; n <= model::kMaxPage; ++n) {
    if (!image_->IsPageUsed(n)) continue;
    ++count;
    const std::string text = PageNodeText(image_->Page(n));
    AddNode(pages, tree_, text, kPicturePage);
    if (n != state_.CurrentPage) continue;
    currentText = QString::fromStdString(text);
    if (editor::TStructureP* window = PageWindowWithCaption(currentText)) {
      ActivatePageWindow(window);
    } else {
      OpenCurrentPageWindow();
    }
  }
  tree_->expandAll();
  if (editor::TStructureP* window = ActivePageWindow()) {
    window->FormActivate();
    SelectTreeNode(window->Caption());
  } else if (!currentText.isEmpty()) {
    SelectTreeNode(currentText);
  }
  pageTabs_->setTabText(0, QString::fromStdString(PageTabCaption(count, chinese)));
  UpdateCommandStates();
}

void TMainFrm::TreeNodePressed(QTreeWidgetItem* item, bool /*rightButton*/) {
  if (item == nullptr) return;
  switch (item->data(0, Qt::UserRole).toInt()) {
    case kPictureSettings:
      ShowWorkParameters();
      return;
    case kPictureAlarms:
      ShowAlarmSettings();
      return;
    case kPictureMacros:
      Command("ClockMacro1")->trigger();
      return;
    case kPicturePage: {
      const QString text = item->text(0);
      if (editor::TStructureP* window = PageWindowWithCaption(text)) {
        ActivatePageWindow(window);
        return;
      }
      const std::optional<int> number = PageNumberOfNodeText(text.toStdString());
      if (!number) return;
      state_.CurrentPage = *number;
      if (editor::TStructureP* window = OpenCurrentPageWindow()) ActivatePageWindow(window);
      return;
    }
    default:
      return;
  }
}

void TMainFrm::OpenPageWindow(int pageNumber) {
  // The page's node does what a press on it does: the window that is open comes forward,
  // otherwise one is opened.
  const QList<QTreeWidgetItem*> pages =
      tree_->findItems(QStringLiteral("*"), Qt::MatchWildcard | Qt::MatchRecursive);
  for (QTreeWidgetItem* item : pages) {
    if (item->data(0, Qt::UserRole).toInt() != kPicturePage) continue;
    if (PageNumberOfNodeText(item->text(0).toStdString()) != pageNumber) continue;
    tree_->setCurrentItem(item);
    TreeNodePressed(item, false);
    return;
  }
}

// ---------------------------------------------------------------------------------------
// Page commands

void TMainFrm::NewPage() {
  if (!session_.ProjectOpen) return;
  TNewPageFrm* form = Dialog<TNewPageFrm>();
  form->Prepare(state_.CurrentPage);
  if (ExecDialog(form) != QDialog::Accepted) return;
  const int number = form->Number();
  if (!CreatePage(*image_, number, form->NameGbk())) return;
  state_.CurrentPage = number;
  MarkModified();
  PageCountRefresh();
}

void TMainFrm::EditPageAttributes() {
  if (!session_.ProjectOpen || !image_->IsPageUsed(state_.CurrentPage)) return;
  const int old = state_.CurrentPage;
  TPageAttributeFrm* form = Dialog<TPageAttributeFrm>();
  form->SetJumpTargets(jumpTargets_);
  form->Load(*image_, old, IsChinese());
  if (ExecDialog(form) != QDialog::Accepted) return;
  const int current = form->NewCurrentPage();
  if (current != old) ForgetUndoHistory();
  state_.CurrentPage = current;
  editor::TStructureP* window = editor::FindPageWindow(*mdi_, old);
  if (window != nullptr) {
    window->RenumberPage(current);
    window->UpdateCaption();
    ActivatePageWindow(window);
  }
  MarkModified();
  PageCountRefresh();
  if (window != nullptr) {
    window->ApplyOwnSize();
    window->StructureGridding();
  }
}

void TMainFrm::DeletePage() {
  QTreeWidgetItem* item = tree_->currentItem();
  if (item == nullptr || item->data(0, Qt::UserRole).toInt() != kPicturePage) return;
  const std::optional<int> number = PageNumberOfNodeText(item->text(0).toStdString());
  if (!number) return;
  if (Ask(kDeletePageQuestion, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
    return;
  }
  app::DeletePage(*image_, *number);
  if (*number == undoRing_.SnapshotPage()) ForgetUndoHistory();
  ClosePageWindow(*number);
  state_.CurrentPage = 0;
  MarkModified();
  PageCountRefresh();
}

void TMainFrm::CutPage() {
  QTreeWidgetItem* item = tree_->currentItem();
  if (item == nullptr || item->data(0, Qt::UserRole).toInt() != kPicturePage) return;
  const std::optional<int> number = PageNumberOfNodeText(item->text(0).toStdString());
  if (!number) return;
  CopyPage();
  app::DeletePage(*image_, *number);
  if (*number == undoRing_.SnapshotPage()) ForgetUndoHistory();
  ClosePageWindow(*number);
  state_.CurrentPage = 0;
  MarkModified();
  PageCountRefresh();
}

void TMainFrm::CopyPage() {
  editor::TStructureP* window = ActivePageWindow();
  if (window == nullptr) return;
  window->Deselect();
  CopyPageRecordToTemp(state_.CurrentPage, kPageMarkerCode);
}

void TMainFrm::PastePageAs() {
  if (!ClipboardHoldsPage()) return;
  TPastePageFrm* form = Dialog<TPastePageFrm>();
  form->Prepare(state_.CurrentPage);
  if (ExecDialog(form) != QDialog::Accepted) return;
  const int number = form->Number();
  if (!app::PastePageAs(*image_, clipboard_.ClipboardPage(), number, IsChinese())) return;
  state_.CurrentPage = number;
  MarkModified();
  PageCountRefresh();
}

// ---------------------------------------------------------------------------------------
// The clipboard channel

void TMainFrm::ReceiveClipboardData() {
  const QString text = QGuiApplication::clipboard()->text();
  lastTextReceived_ = text.toStdString();
  // A marker whose work file cannot be read changes nothing.
  const std::optional<editor::PasteCommand> paste =
      clipboard_.Receive(lastTextReceived_, [this](model::PageRecord& page) {
        return ReadClipboardFile(workDir_, page);
      });
  if (!paste) return;
  pastePageEnabled_ = *paste == editor::PasteCommand::Page;
  UpdateCommandStates();
}

}  // namespace dravik::app
