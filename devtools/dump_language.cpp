// dravik-dump-language: prints the "path=value" lines of every form of the main window
// with the texts it holds now (the built-in Chinese ones, or those of a language file
// given as the argument, applied first). Used to write and check "apchs.ini" and
// "apeng.ini"; not installed.

#include <QApplication>
#include <QTextStream>

#include "app/language_file.h"
#include "app/main_frm.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  dravik::app::TMainFrm window;
  const QList<QObject*> forms = window.Forms();
  if (argc > 1) {
    const dravik::app::LanguageImport result = dravik::app::ApplyLanguageFile(QString::fromLocal8Bit(argv[1]), forms);
    if (!result.ok()) {
      QTextStream(stderr) << result.error << '\n';
      return 1;
    }
  }
  QTextStream out(stdout);
  for (QObject* form : forms) {
    for (const QString& line : dravik::app::DumpLanguageLines(form)) out << line << '\n';
  }
  return 0;
}
