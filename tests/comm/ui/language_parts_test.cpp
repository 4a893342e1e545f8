// The language-file lines of the compile check window and the device dialogs must name
// components these forms really have, and both languages must carry the same lines.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QFile>
#include <QPlainTextEdit>
#include <QStringList>
#include <map>
#include <memory>

#include "comm/ui/download_form.h"
#include "comm/ui/firmware_frm.h"
#include "comm/ui/set_com_pro.h"
#include "compiler/ui/compile_check_frm.h"
#include "comm/ui/device_dialog_fixture.h"

namespace dravik::comm {
namespace {

// The lines of these forms in a shipped language file.
std::map<QString, QString> ReadLines(const char* name) {
  static const QStringList kForms{"CompileCheckFrm", "setCOMpro", "DownloadForm", "FirmwareFrm"};
  QFile file(QStringLiteral(DRAVIK_TEST_SOURCE_DIR "/data/lang/") + QString::fromUtf8(name));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
  std::map<QString, QString> lines;
  for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
    if (line.isEmpty() || line.startsWith(';')) continue;
    const int equals = line.indexOf('=');
    EXPECT_GT(equals, 0) << line.toStdString();
    if (kForms.contains(line.left(equals).section('.', 0, 0))) lines[line.left(equals)] = line.mid(equals + 1);
  }
  return lines;
}

TEST(LanguageParts, EveryLineNamesAComponentOfTheForms) {
  test::EnsureApplication();
  compiler::TCompileCheckFrm check;
  TsetCOMpro port;
  TDownloadForm download;
  TFirmwareFrm firmware;
  const QList<QObject*> forms = {&check, &port, &download, &firmware};

  const auto chinese = ReadLines("apchs.ini");
  const auto english = ReadLines("apeng.ini");
  ASSERT_FALSE(chinese.empty());
  for (const auto& [path, value] : chinese) EXPECT_TRUE(english.count(path)) << path.toStdString();
  EXPECT_EQ(chinese.size(), english.size());

  for (const auto& [path, value] : chinese) {
    SCOPED_TRACE(path.toStdString());
    QStringList parts = path.split('.');
    QObject* form = nullptr;
    for (QObject* candidate : forms)
      if (candidate->objectName() == parts.first()) form = candidate;
    ASSERT_NE(form, nullptr);
    QObject* target = form;
    if (parts.size() > 2) {
      target = form->findChild<QObject*>(parts[1]);
      ASSERT_NE(target, nullptr);
    }
    const QString property = parts.mid(parts.size() > 2 ? 2 : 1).join('.');
    if (property == QLatin1String("Lines.Text")) {
      auto* memo = qobject_cast<QPlainTextEdit*>(target);
      ASSERT_NE(memo, nullptr);
      // The built-in lines are the Chinese file's lines.
      EXPECT_EQ(memo->toPlainText() + "\n", QString(value).replace(QStringLiteral("\\n"), "\n"));
    } else if (property == QLatin1String("Caption")) {
      QString text = target == form ? qobject_cast<QWidget*>(target)->windowTitle()
                                    : target->property("text").toString();
      EXPECT_EQ(text, value) << "the built-in text is the Chinese file's";
    } else {
      ASSERT_EQ(property, QLatin1String("Hint"));
      EXPECT_EQ(qobject_cast<QWidget*>(target)->toolTip(), value);
    }
  }
}

}  // namespace
}  // namespace dravik::comm
