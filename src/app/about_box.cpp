#include "app/about_box.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "app/language_file.h"
#include "app/shell_texts.h"
#include "app/welcome_frm.h"

namespace dravik::app {

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QStringLiteral("About Dravik "));
  auto* layout = new QVBoxLayout(this);
  auto* head = new QHBoxLayout;
  auto* icon = new QLabel(this);
  icon->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(48, 48));
  head->addWidget(icon);
  auto* texts = new QVBoxLayout;
  auto* product = new QLabel(QStringLiteral("<b>Dravik</b>"), this);
  product->setObjectName(QStringLiteral("ProductLabel"));
  product->setProperty(kRuntimeTextProperty, true);
  version_ = new QLabel(QString::fromStdString(AboutVersionText()), this);
  version_->setObjectName(QStringLiteral("VersionLabel"));
  version_->setProperty(kRuntimeTextProperty, true);
  auto* comment = new QLabel(QStringLiteral("人机界面组态软件"), this);
  comment->setObjectName(QStringLiteral("CommentLabel"));
  texts->addWidget(product);
  texts->addWidget(version_);
  texts->addWidget(comment);
  head->addLayout(texts);
  head->addStretch();
  layout->addLayout(head);

  auto* maker = new QLabel(QString::fromLatin1(kMakerText), this);
  maker->setObjectName(QStringLiteral("MakerLabel"));
  maker->setProperty(kRuntimeTextProperty, true);
  auto* mail = new QLabel(QStringLiteral("<a href=\"%1\">%2</a>")
                              .arg(QString::fromLatin1(kMailText), QString::fromLatin1(kMailText).mid(7)),
                          this);
  mail->setObjectName(QStringLiteral("MailLabel"));
  mail->setProperty(kRuntimeTextProperty, true);
  mail->setOpenExternalLinks(true);
  auto* web = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(QString::fromLatin1(kWebText)), this);
  web->setObjectName(QStringLiteral("WebLabel"));
  web->setProperty(kRuntimeTextProperty, true);
  web->setOpenExternalLinks(true);
  layout->addWidget(maker);
  layout->addWidget(mail);
  layout->addWidget(web);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  auto* ok = new QPushButton(QStringLiteral("确定(&Y)"), this);
  ok->setObjectName(QStringLiteral("OkButton"));
  ok->setDefault(true);
  buttons->addWidget(ok);
  layout->addLayout(buttons);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

QString TAboutBox::VersionText() const { return version_->text(); }

}  // namespace dravik::app
