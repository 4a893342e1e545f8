#pragma once
// For the screenshot tools, which make a few forms of the program and not the main window:
// the lines of the program folder's language file that name those forms, applied to them.
// The file's other lines name forms the tool does not have, which would end the import.

#include <QFile>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include "app/language_file.h"
#include "platform/paths.h"

namespace dravik::devtools {

// Applies "apchs.ini" (`chinese`) or "apeng.ini" to `forms`; an empty text when done, else
// why not.
inline QString ApplyLanguageToForms(bool chinese, const QList<QObject*>& forms) {
  const char* name = chinese ? "apchs.ini" : "apeng.ini";
  QFile file(QString::fromStdString((platform::ProgramDir() / "lang" / name).string()));
  if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("cannot read ") + file.fileName();
  QStringList formPrefixes;
  for (const QObject* form : forms) formPrefixes << form->objectName() + QLatin1Char('.');
  QStringList lines;
  for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
    for (const QString& prefix : formPrefixes) {
      if (line.startsWith(prefix)) {
        lines << line;
        break;
      }
    }
  }
  const app::LanguageImport applied = app::ApplyLanguageText(lines.join(QLatin1Char('\n')), forms);
  return applied.ok() ? QString() : applied.error;
}

}  // namespace dravik::devtools
