// The language-file lines of the three settings dialogs: the Chinese lines must reproduce
// the texts the forms are built with (so switching back to Chinese restores them), the
// English lines must name the same components and properties, and every named component
// with a fixed text must have its line.

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QStackedWidget>
#include <QTabWidget>
#include <map>
#include <memory>
#include <set>

#include "params/ui/alarm_set_frm.h"
#include "params/ui/key_led_frm.h"
#include "params/ui/system_set_for.h"
#include "params/ui/params_ui_support.h"

namespace dravik::params {
namespace {

using Lines = std::map<QString, QString>;  // path -> value, as written in the file

const QStringList kForms{"SystemSetFor", "AlarmSetFrm", "KeyLedFrm"};

// The lines of our forms in the shipped language file and in the part still to be merged
// into it.
Lines ReadLines(const QString& language) {
  Lines lines;
  const QString folder = QStringLiteral(DRAVIK_TEST_SOURCE_DIR "/data/lang/");
  for (const QString& name : {language + ".ini", "params_" + language + ".ini.part"}) {
    QFile file(folder + name);
    if (!file.open(QIODevice::ReadOnly)) continue;
    for (QString line : QString::fromUtf8(file.readAll()).split('\n')) {
      if (line.endsWith('\r')) line.chop(1);
      const int equals = line.indexOf('=');
      if (line.startsWith(';') || equals < 0) continue;
      const QString path = line.left(equals);
      if (kForms.contains(path.section('.', 0, 0))) lines[path] = line.mid(equals + 1);
    }
  }
  return lines;
}

QString Escaped(QString text) {
  return text.replace('\n', QStringLiteral("\\n"));
}

// What the forms show now, in the files' form: captions, hints and fixed item lists of
// every named component whose texts the program does not set while running.
Lines FormLines(QWidget* form) {
  Lines lines;
  const QString name = form->objectName();
  lines[name + ".Caption"] = form->windowTitle();
  for (QWidget* w : form->findChildren<QWidget*>()) {
    if (w->objectName().isEmpty() || w->objectName().startsWith("qt_") ||
        w->property("dravikRuntimeText").toBool()) {
      continue;
    }
    const QString path = name + '.' + w->objectName() + '.';
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
      if (!button->text().isEmpty()) lines[path + "Caption"] = button->text();
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
      lines[path + "Caption"] = label->text();
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
      lines[path + "Caption"] = group->title();
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
      QStringList items;
      for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
      lines[path + "Items.Text"] = items.join("\\n") + "\\n";
    } else if (auto* stack = qobject_cast<QStackedWidget*>(w->parentWidget())) {
      if (auto* tabs = qobject_cast<QTabWidget*>(stack->parentWidget())) {
        lines[path + "Caption"] = tabs->tabText(tabs->indexOf(w));
      }
    }
    if (!w->toolTip().isEmpty()) lines[path + "Hint"] = Escaped(w->toolTip());
  }
  return lines;
}

TEST(LanguageLinesTest, ChineseLinesAreTheBuiltInTextsAndEnglishNamesTheSame) {
  test::EnsureApplication();
  TSystemSetFor work;
  TAlarmSetFrm alarms;
  TKeyLedFrm keys;
  Lines built;
  for (QWidget* form : std::initializer_list<QWidget*>{&work, &alarms, &keys})
    built.merge(FormLines(form));

  const Lines chinese = ReadLines("apchs");
  const Lines english = ReadLines("apeng");
  ASSERT_FALSE(chinese.empty());
  for (const auto& [path, text] : built) {
    auto found = chinese.find(path);
    if (found == chinese.end()) {
      ADD_FAILURE() << "apchs has no line " << path.toStdString();
      continue;
    }
    EXPECT_EQ(found->second, text) << path.toStdString();
  }
  for (const auto& [path, value] : chinese) {
    EXPECT_TRUE(built.count(path)) << "apchs names what the forms lack: " << path.toStdString();
    EXPECT_TRUE(english.count(path)) << "apeng has no line " << path.toStdString();
  }
  for (const auto& [path, value] : english) {
    EXPECT_TRUE(chinese.count(path)) << "apeng names what apchs lacks: " << path.toStdString();
    if (path.endsWith("Items.Text") && chinese.count(path)) {
      EXPECT_EQ(value.count("\\n"), chinese.at(path).count("\\n")) << path.toStdString();
    }
    for (QChar c : value) {
      EXPECT_FALSE(c.unicode() >= 0x3000 && c.unicode() < 0xA000)
          << "Chinese in apeng: " << path.toStdString();
    }
  }
}

}  // namespace
}  // namespace dravik::params
