#pragma once
// Language files ("apchs.ini", "apeng.ini"): one "path=value" line per text of a form.
// The path names a form, walks down its components by object name (or, for an unnamed
// one, by class name and index: "QLabel(3)"), and ends in a property: "Caption" (title or
// text), "Text", "Hint" (tool tip), a string list ("Items.Text", "Lines.Text",
// "Pages.Text", lines separated by the two characters "\n") or a collection item
// ("Items[2].Caption", "ActionBars[1].Caption", "Pages[0].Caption").
//
// Lines with a blank value are skipped. A line whose form, component or property does not
// exist ends the import there; the lines before it stay applied.

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

namespace dravik::app {

// Object names that begin with this are left out of the dump (Qt's own internals).
inline constexpr char kQtInternalPrefix[] = "qt_";
// A component whose texts are set by the program at run time, not by language files,
// carries this dynamic property set to true.
inline constexpr char kRuntimeTextProperty[] = "dravikRuntimeText";
// Marks a widget inside a form (a docked window) that is a form of its own: its lines
// begin with its own name, not with the name of the form it sits in.
inline constexpr char kOwnFormProperty[] = "dravikOwnForm";

struct LanguageImport {
  int applied = 0;      // lines applied
  int failedLine = 0;   // 1-based line that ended the import; 0 when none did
  QString error;        // why it ended (empty when the whole file was applied)
  bool ok() const { return failedLine == 0; }
};

// `forms` are the top-level forms the first part of a path may name (by object name).
LanguageImport ApplyLanguageText(const QString& text, const QList<QObject*>& forms);

// Reads the file (UTF-8) and applies it; a file that cannot be read is reported in
// `error` with failedLine -1.
LanguageImport ApplyLanguageFile(const QString& path, const QList<QObject*>& forms);

// Every "path=value" line a language file would need to reproduce the current texts of
// `form`: named components only, runtime texts left out. Used to write and to check the
// language files.
QStringList DumpLanguageLines(QObject* form);

}  // namespace dravik::app
