#include "compiler/ui/message_sink.h"

namespace dravik::compiler {

QString BoxText(const std::string& text) {
  QString shown = QString::fromStdString(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return shown;
}

QMessageBox::Icon BoxIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::Warning:
      return QMessageBox::Warning;
    case MessageIcon::Error:
      return QMessageBox::Critical;
  }
  return QMessageBox::Warning;
}

QString MessageSink::Text(const Bilingual& text) const {
  return BoxText(text.In(Chinese()));
}

void MessageSink::Show(QWidget* parent, const QString& caption, QMessageBox::Icon icon,
                       const QString& text) const {
  if (message) {
    message(caption, icon, text);
    return;
  }
  QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
  box.exec();
}

void MessageSink::Show(QWidget* parent, const CompilerMessage& shown) const {
  Show(parent, QString::fromStdString(shown.caption), BoxIcon(shown.icon), Text(shown.text));
}

QMessageBox::StandardButton MessageSink::Ask(QWidget* parent, const QString& caption,
                                             const QString& text,
                                             QMessageBox::StandardButtons buttons) const {
  if (question) return question(caption, text, buttons);
  QMessageBox box(QMessageBox::Question, caption, text, buttons, parent);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace dravik::compiler
