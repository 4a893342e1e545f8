#include "app/welcome_frm.h"

#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPropertyAnimation>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/configuration.h"
#include "app/language_file.h"
#include "ui/desktop_hooks.h"
#include "app/shell_texts.h"

namespace dravik::app {

namespace {

// The picture of a welcome button: a rounded tile with one character.
QIcon Tile(const QString& glyph, const QColor& colour) {
  QPixmap pixmap(48, 48);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(colour.darker(130));
  painter.setBrush(colour);
  painter.drawRoundedRect(QRectF(2.5, 2.5, 43, 43), 8, 8);
  QFont font = painter.font();
  font.setPixelSize(26);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QRect(0, 0, 48, 48), Qt::AlignCenter, glyph);
  return QIcon(pixmap);
}

}  // namespace

const char kMakerText[] = "Dravik";
const char kMailText[] = "mailto:dravik@example.org";
const char kWebText[] = "https://dravik.example.org";

TWelcomeFrm::TWelcomeFrm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("WelcomeFrm"));
  setWindowTitle(QStringLiteral("欢迎来到 Dravik "));
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  newButton_ = AddButton("NewFileButton", QStringLiteral("新文件"), Tile(QStringLiteral("+"), QColor(60, 150, 80)));
  lastButton_ = AddButton("LastFileButton", QStringLiteral("打开最后一次编辑的文件"),
                          Tile(QStringLiteral("↺"), QColor(70, 110, 200)));
  openButton_ = AddButton("OpenFileButton", QStringLiteral("打开文件"), Tile(QStringLiteral("…"), QColor(220, 130, 40)));
  examplesButton_ = AddButton("ExamplesButton", QStringLiteral("打开例子库"), Tile(QStringLiteral("例"), QColor(140, 80, 170)));
  grid->addWidget(newButton_, 0, 0);
  grid->addWidget(lastButton_, 0, 1);
  grid->addWidget(openButton_, 1, 0);
  grid->addWidget(examplesButton_, 1, 1);
  layout->addLayout(grid);
  message_ = new QLabel(this);
  message_->setObjectName(QStringLiteral("MessageLabel"));
  message_->setProperty(kRuntimeTextProperty, true);
  message_->setMinimumHeight(48);
  message_->setWordWrap(true);
  layout->addWidget(message_);
  mail_ = new QLabel(QStringLiteral("<a href=\"%1\">%2</a>").arg(QString::fromLatin1(kMailText), QString::fromLatin1(kMailText).mid(7)), this);
  mail_->setObjectName(QStringLiteral("MailLabel"));
  mail_->setProperty(kRuntimeTextProperty, true);
  mail_->setOpenExternalLinks(true);
  web_ = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(QString::fromLatin1(kWebText)), this);
  web_->setObjectName(QStringLiteral("WebLabel"));
  web_->setProperty(kRuntimeTextProperty, true);
  web_->setOpenExternalLinks(true);
  layout->addWidget(mail_);
  layout->addWidget(web_);

  connect(newButton_, &QToolButton::clicked, this, [this] {
    emit NewRequested();
    accept();
  });
  connect(lastButton_, &QToolButton::clicked, this, [this] {
    emit LastFileRequested();
    accept();
  });
  connect(openButton_, &QToolButton::clicked, this, [this] {
    emit OpenRequested();
    accept();
  });
  connect(examplesButton_, &QToolButton::clicked, this, [this] {
    emit ExamplesRequested();
    accept();
  });
  setMouseTracking(true);
  installEventFilter(this);
  Describe(nullptr);
}

QToolButton* TWelcomeFrm::AddButton(const char* name, const QString& caption, const QIcon& icon) {
  auto* button = new QToolButton(this);
  button->setObjectName(QString::fromLatin1(name));
  button->setText(caption);
  button->setIcon(icon);
  button->setIconSize(QSize(48, 48));
  button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  button->setAutoRaise(true);
  button->setMinimumSize(190, 90);
  button->installEventFilter(this);
  return button;
}

void TWelcomeFrm::Prepare(bool isChinese, const std::string& recentCaption) {
  isChinese_ = isChinese;
  recentPath_ = RecentFilePath(recentCaption);
  lastButton_->setEnabled(HasRecentFile(recentCaption));
  Describe(nullptr);
}

QString TWelcomeFrm::Message() const { return message_->text(); }

void TWelcomeFrm::Describe(QToolButton* button) {
  Bilingual text = kWelcomeIdle;
  if (button == newButton_) text = kWelcomeNew;
  else if (button == lastButton_) text = WelcomeLastFile(recentPath_);
  else if (button == openButton_) text = kWelcomeOpen;
  else if (button == examplesButton_) text = kWelcomeExamples;
  message_->setText(ui::LineText(text.In(isChinese_)));
}

bool TWelcomeFrm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Enter) {
    Describe(qobject_cast<QToolButton*>(watched));
  } else if (event->type() == QEvent::Leave && watched != this) {
    Describe(nullptr);
  }
  return QDialog::eventFilter(watched, event);
}

void TWelcomeFrm::keyPressEvent(QKeyEvent* event) {
  // Enter carries on where the user left off; Escape just closes.
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && lastButton_->isEnabled()) {
    lastButton_->click();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TWelcomeFrm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Grows from its centre to its full size.
  const QRect full = geometry();
  auto* animation = new QPropertyAnimation(this, "geometry", this);
  animation->setDuration(500);
  animation->setStartValue(QRect(full.center(), QSize(1, 1)));
  animation->setEndValue(full);
  animation->start(QAbstractAnimation::DeleteWhenStopped);
}

}  // namespace dravik::app
