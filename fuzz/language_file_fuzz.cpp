// Language files ("apchs.ini", "apeng.ini") applied to real forms: a dialog with every
// kind of component a path can reach (captions, texts, hints, string lists, collection
// items, "Class(n)" children, tab pages) and a main window with tool bars and a menu.
// Whatever the lines say, the import ends cleanly (every line applied, or the line that
// ended it named with its reason), a string list grows by no more pieces than the line
// holds, and what the forms then show dumps to lines that apply again without a failure.

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "app/language_file.h"
#include "fuzz_check.h"

using namespace dravik;

// Fontconfig keeps font patterns it never frees once the first widget measures text; they
// belong to the font library, not to the language files.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}

namespace {

QApplication& Application() {
  static int argc = 1;
  static char name[] = "dravik-fuzz-language_file";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return new QApplication(argc, argv);
  }();
  return *app;
}

template <typename T>
T* Named(QWidget* parent, const char* name) {
  auto* widget = new T(parent);
  widget->setObjectName(QString::fromLatin1(name));
  parent->layout()->addWidget(widget);
  return widget;
}

std::unique_ptr<QWidget> Dialog() {
  auto form = std::make_unique<QWidget>();
  form->setObjectName(QStringLiteral("TFuzzFrm"));
  form->setWindowTitle(QStringLiteral("Fuzz"));
  new QVBoxLayout(form.get());
  Named<QLabel>(form.get(), "Label1")->setText(QStringLiteral("label"));
  Named<QPushButton>(form.get(), "Button1")->setText(QStringLiteral("&OK"));
  Named<QComboBox>(form.get(), "Combo1")->addItems({QStringLiteral("a"), QStringLiteral("b")});
  Named<QListWidget>(form.get(), "List1")->addItems({QStringLiteral("one")});
  Named<QTreeWidget>(form.get(), "Tree1")->addTopLevelItem(new QTreeWidgetItem({QStringLiteral("root")}));
  Named<QPlainTextEdit>(form.get(), "Memo1")->setPlainText(QStringLiteral("first\nsecond"));
  auto* group = Named<QGroupBox>(form.get(), "Group1");
  new QVBoxLayout(group);
  Named<QLineEdit>(group, "Edit1")->setText(QStringLiteral("edit"));
  auto* tabs = Named<QTabWidget>(form.get(), "Tabs1");
  for (const char* page : {"Page1", "Page2"}) {
    auto* widget = new QWidget;
    widget->setObjectName(QString::fromLatin1(page));
    tabs->addTab(widget, QString::fromLatin1(page));
  }
  auto* unnamed = new QLabel(QStringLiteral("unnamed"), form.get());
  form->layout()->addWidget(unnamed);
  return form;
}

std::unique_ptr<QMainWindow> MainWindow() {
  auto window = std::make_unique<QMainWindow>();
  window->setObjectName(QStringLiteral("TMainFrm"));
  window->addToolBar(QStringLiteral("Standard"))->setObjectName(QStringLiteral("Bar1"));
  window->addToolBar(QStringLiteral("Pages"))->setObjectName(QStringLiteral("Bar2"));
  QMenu* menu = window->menuBar()->addMenu(QStringLiteral("&File"));
  menu->setObjectName(QStringLiteral("FileMenu"));
  menu->addAction(QStringLiteral("&Open..."))->setObjectName(QStringLiteral("OpenAction"));
  return window;
}

int ItemCount(QObject* form) {
  int count = 0;
  for (auto* combo : form->findChildren<QComboBox*>()) count += combo->count();
  for (auto* list : form->findChildren<QListWidget*>()) count += list->count();
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Application();
  const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const qsizetype lineCount = text.count(QLatin1Char('\n')) + 1;
  auto dialog = Dialog();
  auto window = MainWindow();
  const QList<QObject*> forms{dialog.get(), window.get()};
  const int itemsBefore = ItemCount(dialog.get());

  const app::LanguageImport imported = app::ApplyLanguageText(text, forms);
  FUZZ_CHECK(imported.applied >= 0 && imported.applied <= lineCount);
  FUZZ_CHECK(imported.ok() == imported.error.isEmpty());
  if (!imported.ok()) FUZZ_CHECK(imported.failedLine >= 1 && imported.failedLine <= lineCount);
  FUZZ_CHECK(ItemCount(dialog.get()) <= itemsBefore + text.count(QStringLiteral("\\n")) + imported.applied);

  for (QObject* form : forms) {
    const QStringList dumped = app::DumpLanguageLines(form);
    const app::LanguageImport again = app::ApplyLanguageText(dumped.join(QLatin1Char('\n')), forms);
    FUZZ_CHECK(again.ok());
  }
  return 0;
}
