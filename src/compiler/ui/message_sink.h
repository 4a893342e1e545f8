#pragma once
// How the compile and device forms reach the user: message boxes, questions and the
// interface language. The main window hands in its own (tests read the texts instead of
// facing a modal box); an unset entry falls back to a real QMessageBox.

#include <QMessageBox>
#include <QString>
#include <functional>
#include <string>

#include "compiler/compiler_message.h"
#include "platform/bilingual.h"

class QWidget;

namespace dravik::compiler {

struct MessageSink {
  std::function<void(const QString& caption, QMessageBox::Icon icon, const QString& text)> message;
  std::function<QMessageBox::StandardButton(const QString& caption, const QString& text,
                                            QMessageBox::StandardButtons buttons)>
      question;
  // The interface language at the moment a text is shown; unset: Chinese.
  std::function<bool()> isChinese;

  bool Chinese() const { return !isChinese || isChinese(); }
  QString Text(const Bilingual& text) const;

  void Show(QWidget* parent, const QString& caption, QMessageBox::Icon icon,
            const QString& text) const;
  void Show(QWidget* parent, const CompilerMessage& message) const;
  QMessageBox::StandardButton Ask(QWidget* parent, const QString& caption, const QString& text,
                                  QMessageBox::StandardButtons buttons) const;
};

// A text as a box shows it: the system's texts separate lines with "\r".
QString BoxText(const std::string& text);
QMessageBox::Icon BoxIcon(MessageIcon icon);

}  // namespace dravik::compiler
