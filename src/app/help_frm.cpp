#include "app/help_frm.h"

#include <QAction>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/bilingual.h"

namespace dravik::app {

namespace {

QString In(const Bilingual& text, bool chinese) { return QString::fromStdString(text.In(chinese)); }

const Bilingual kTitle{"Dravik 帮助", "Dravik Help"};
const Bilingual kContents{"目录", "Contents"};
const Bilingual kBack{"后退", "Back"};
const Bilingual kForward{"前进", "Forward"};
const Bilingual kFind{"查找:", "Find:"};
const Bilingual kNotFound{"找不到", "Not found"};

}  // namespace

THelpFrm::THelpFrm(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("THelpFrm"));
  resize(900, 700);

  bar_ = new QToolBar(this);
  contents_ = bar_->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), QString());
  contents_->setObjectName(QStringLiteral("HelpContents"));
  contents_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Home));
  back_ = bar_->addAction(style()->standardIcon(QStyle::SP_ArrowBack), QString());
  back_->setObjectName(QStringLiteral("HelpBack"));
  back_->setShortcut(QKeySequence::Back);
  back_->setEnabled(false);
  forward_ = bar_->addAction(style()->standardIcon(QStyle::SP_ArrowForward), QString());
  forward_->setObjectName(QStringLiteral("HelpForward"));
  forward_->setShortcut(QKeySequence::Forward);
  forward_->setEnabled(false);
  bar_->addSeparator();
  findLabel_ = new QLabel(bar_);
  bar_->addWidget(findLabel_);
  findField_ = new QLineEdit(bar_);
  findField_->setObjectName(QStringLiteral("HelpFind"));
  findField_->setClearButtonEnabled(true);
  findField_->setMaximumWidth(260);
  findLabel_->setBuddy(findField_);
  bar_->addWidget(findField_);
  findResult_ = new QLabel(bar_);
  bar_->addWidget(findResult_);

  browser_ = new QTextBrowser(this);
  browser_->setObjectName(QStringLiteral("HelpBrowser"));
  browser_->setOpenLinks(true);
  // Links out of the guide (web sites) go to the desktop's browser when there is one.
  browser_->setOpenExternalLinks(true);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(bar_);
  layout->addWidget(browser_);

  connect(contents_, &QAction::triggered, this, [this] {
    if (!contentsPage_.empty()) browser_->setSource(QUrl::fromLocalFile(QString::fromStdString(contentsPage_.string())));
  });
  connect(back_, &QAction::triggered, browser_, &QTextBrowser::backward);
  connect(forward_, &QAction::triggered, browser_, &QTextBrowser::forward);
  connect(browser_, &QTextBrowser::backwardAvailable, back_, &QAction::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QAction::setEnabled);
  connect(browser_, &QTextBrowser::sourceChanged, this, [this] {
    const QString title = browser_->documentTitle();
    setWindowTitle(title.isEmpty() ? In(kTitle, chinese_) : title);
    findResult_->clear();
  });
  connect(findField_, &QLineEdit::returnPressed, this, [this] { FindNext(false); });
  connect(findField_, &QLineEdit::textEdited, this, [this] {
    // Searching as the user types starts again from the top of the page.
    browser_->moveCursor(QTextCursor::Start);
    FindNext(false);
  });
  const auto addShortcut = [this](QKeySequence::StandardKey key, auto&& run) {
    auto* action = new QAction(this);
    action->setShortcut(key);
    connect(action, &QAction::triggered, this, run);
    addAction(action);
  };
  addShortcut(QKeySequence::Find, [this] {
    findField_->setFocus();
    findField_->selectAll();
  });
  addShortcut(QKeySequence::FindNext, [this] { FindNext(false); });
  addShortcut(QKeySequence::FindPrevious, [this] { FindNext(true); });

  SetLanguage(chinese_);
}

void THelpFrm::SetLanguage(bool chinese) {
  chinese_ = chinese;
  setWindowTitle(In(kTitle, chinese));
  contents_->setText(In(kContents, chinese));
  contents_->setToolTip(In(kContents, chinese));
  back_->setText(In(kBack, chinese));
  back_->setToolTip(In(kBack, chinese) + QStringLiteral(" (Alt+←)"));
  forward_->setText(In(kForward, chinese));
  forward_->setToolTip(In(kForward, chinese) + QStringLiteral(" (Alt+→)"));
  findLabel_->setText(In(kFind, chinese) + QLatin1Char(' '));
  findField_->setAccessibleName(In(kFind, chinese));
  browser_->setAccessibleName(In(kTitle, chinese));
}

void THelpFrm::ShowPage(const std::filesystem::path& page, bool chinese) {
  SetLanguage(chinese);
  contentsPage_ = page.parent_path() / "index.html";
  browser_->setSearchPaths({QString::fromStdString(page.parent_path().string())});
  browser_->setSource(QUrl::fromLocalFile(QString::fromStdString(page.string())));
  show();
  raise();
  activateWindow();
}

bool THelpFrm::FindInPage(const QString& text, bool backwards) {
  if (text.isEmpty()) return false;
  const QTextDocument::FindFlags flags = backwards ? QTextDocument::FindBackward : QTextDocument::FindFlags();
  if (browser_->find(text, flags)) return true;
  // Once at the end (or the start), go round and search the whole page once more.
  browser_->moveCursor(backwards ? QTextCursor::End : QTextCursor::Start);
  return browser_->find(text, flags);
}

void THelpFrm::FindNext(bool backwards) {
  const bool found = FindInPage(findField_->text(), backwards);
  findResult_->setText(found || findField_->text().isEmpty() ? QString() : QLatin1Char(' ') + In(kNotFound, chinese_));
}

}  // namespace dravik::app
