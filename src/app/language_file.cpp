#include "app/language_file.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolBar>
#include <QTreeWidget>
#include <QWidget>

namespace dravik::app {

namespace {

// Where a path has arrived: a component, one of its string lists, or an item of one of
// its collections.
struct Target {
  enum Kind { Object, StringList, Item } kind = Object;
  QObject* object = nullptr;
  QString list;  // "Items", "Lines", "Pages", "ActionBars"
  int index = 0;
};

QString Unescape(QString value) {
  value.replace(QStringLiteral("\\r\\n"), QStringLiteral("\n"));
  value.replace(QStringLiteral("\\r"), QStringLiteral("\n"));
  value.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
  return value;
}

QString Escape(QString value) {
  value.replace(QStringLiteral("\r\n"), QStringLiteral("\\n"));
  value.replace(QLatin1Char('\r'), QStringLiteral("\\n"));
  value.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
  return value;
}

// The tab widget a page widget sits in (pages live in the tab widget's stacked widget).
QTabWidget* TabOfPage(QWidget* widget) {
  if (widget == nullptr) return nullptr;
  auto* stack = qobject_cast<QStackedWidget*>(widget->parentWidget());
  if (stack == nullptr) return nullptr;
  return qobject_cast<QTabWidget*>(stack->parentWidget());
}

QList<QToolBar*> ToolBarsOf(QMainWindow* window) {
  return window->findChildren<QToolBar*>(QString(), Qt::FindDirectChildrenOnly);
}

// A dialog owned by a form is a form of its own: its components are not the owner's. So is
// a window docked in the form that the language files name on its own.
bool IsOtherForm(QObject* object) {
  auto* widget = qobject_cast<QWidget*>(object);
  if (widget == nullptr) return false;
  if (widget->property(kOwnFormProperty).toBool()) return true;
  return widget->isWindow() && qobject_cast<QMenu*>(widget) == nullptr;
}

QObject* FindDescendant(QObject* current, const QString& name) {
  for (QObject* child : current->children()) {
    if (IsOtherForm(child)) continue;
    if (child->objectName() == name) return child;
  }
  for (QObject* child : current->children()) {
    if (IsOtherForm(child)) continue;
    if (QObject* found = FindDescendant(child, name)) return found;
  }
  return nullptr;
}

// Every component of `form`, nested ones included, but not those of the forms it owns.
void CollectComponents(QObject* current, QList<QObject*>& out) {
  for (QObject* child : current->children()) {
    if (IsOtherForm(child)) continue;
    out << child;
    CollectComponents(child, out);
  }
}

// The component a path part names under `current`: a direct child first, then any
// descendant (the form owns every named component, whatever the nesting).
QObject* NamedChild(QObject* current, const QString& name) { return FindDescendant(current, name); }

bool SetObjectText(QObject* object, const QString& property, const QString& value) {
  auto* widget = qobject_cast<QWidget*>(object);
  if (property == QLatin1String("Hint")) {
    if (auto* action = qobject_cast<QAction*>(object)) {
      action->setToolTip(value);
      return true;
    }
    if (widget != nullptr) {
      widget->setToolTip(value);
      return true;
    }
    return false;
  }
  const bool caption = property == QLatin1String("Caption");
  if (!caption && property != QLatin1String("Text")) return false;

  if (auto* action = qobject_cast<QAction*>(object)) {
    action->setText(value);
    return true;
  }
  if (auto* menu = qobject_cast<QMenu*>(object)) {
    menu->setTitle(value);
    return true;
  }
  if (auto* button = qobject_cast<QAbstractButton*>(object)) {
    button->setText(value);
    return true;
  }
  if (auto* label = qobject_cast<QLabel*>(object)) {
    label->setText(value);
    return true;
  }
  if (auto* group = qobject_cast<QGroupBox*>(object)) {
    group->setTitle(value);
    return true;
  }
  if (auto* edit = qobject_cast<QLineEdit*>(object)) {
    edit->setText(value);
    return true;
  }
  if (!caption) {
    if (auto* plain = qobject_cast<QPlainTextEdit*>(object)) {
      plain->setPlainText(value);
      return true;
    }
    if (auto* rich = qobject_cast<QTextEdit*>(object)) {
      rich->setPlainText(value);
      return true;
    }
    return false;
  }
  if (QTabWidget* tabs = TabOfPage(widget)) {
    tabs->setTabText(tabs->indexOf(widget), value);
    return true;
  }
  if (widget != nullptr && (widget->isWindow() || qobject_cast<QDockWidget*>(widget) ||
                            qobject_cast<QToolBar*>(widget))) {
    widget->setWindowTitle(value);
    return true;
  }
  return false;
}

int ListSize(const Target& t) {
  if (auto* combo = qobject_cast<QComboBox*>(t.object)) return combo->count();
  if (auto* list = qobject_cast<QListWidget*>(t.object)) return list->count();
  if (auto* tree = qobject_cast<QTreeWidget*>(t.object)) return tree->topLevelItemCount();
  if (auto* tabs = qobject_cast<QTabWidget*>(t.object)) return tabs->count();
  if (auto* window = qobject_cast<QMainWindow*>(t.object)) return ToolBarsOf(window).size();
  return -1;
}

// Sets the text of item `index` of the target's list; false when there is no such item.
bool SetItemText(const Target& t, int index, const QString& property, const QString& value) {
  const bool hint = property == QLatin1String("Hint");
  if (!hint && property != QLatin1String("Caption") && property != QLatin1String("Text")) return false;
  if (index < 0 || index >= ListSize(t)) return false;
  if (auto* combo = qobject_cast<QComboBox*>(t.object)) {
    if (hint) combo->setItemData(index, value, Qt::ToolTipRole);
    else combo->setItemText(index, value);
    return true;
  }
  if (auto* list = qobject_cast<QListWidget*>(t.object)) {
    if (hint) list->item(index)->setToolTip(value);
    else list->item(index)->setText(value);
    return true;
  }
  if (auto* tree = qobject_cast<QTreeWidget*>(t.object)) {
    if (hint) tree->topLevelItem(index)->setToolTip(0, value);
    else tree->topLevelItem(index)->setText(0, value);
    return true;
  }
  if (auto* tabs = qobject_cast<QTabWidget*>(t.object)) {
    if (hint) tabs->setTabToolTip(index, value);
    else tabs->setTabText(index, value);
    return true;
  }
  if (auto* window = qobject_cast<QMainWindow*>(t.object)) {
    QToolBar* bar = ToolBarsOf(window).at(index);
    if (hint) bar->setToolTip(value);
    else bar->setWindowTitle(value);
    return true;
  }
  return false;
}

bool HasList(QObject* object, const QString& name) {
  if (name == QLatin1String("Items")) {
    return qobject_cast<QComboBox*>(object) || qobject_cast<QListWidget*>(object) ||
           qobject_cast<QTreeWidget*>(object);
  }
  if (name == QLatin1String("Lines")) {
    return qobject_cast<QPlainTextEdit*>(object) || qobject_cast<QTextEdit*>(object);
  }
  if (name == QLatin1String("Pages")) return qobject_cast<QTabWidget*>(object) != nullptr;
  if (name == QLatin1String("ActionBars")) return qobject_cast<QMainWindow*>(object) != nullptr;
  return false;
}

// Replaces lines 0, 1, ... with the pieces before the last "\n".
bool SetListText(const Target& t, const QString& value) {
  QStringList pieces = value.split(QStringLiteral("\\n"));
  if (pieces.size() > 1) pieces.removeLast();
  if (t.list == QLatin1String("Lines")) {
    QStringList lines;
    if (auto* plain = qobject_cast<QPlainTextEdit*>(t.object)) lines = plain->toPlainText().split('\n');
    else if (auto* rich = qobject_cast<QTextEdit*>(t.object)) lines = rich->toPlainText().split('\n');
    for (int i = 0; i < pieces.size(); ++i) {
      if (i < lines.size()) lines[i] = pieces[i];
      else lines.append(pieces[i]);
    }
    if (auto* plain = qobject_cast<QPlainTextEdit*>(t.object)) plain->setPlainText(lines.join('\n'));
    else if (auto* rich = qobject_cast<QTextEdit*>(t.object)) rich->setPlainText(lines.join('\n'));
    return true;
  }
  const int size = ListSize(t);
  for (int i = 0; i < pieces.size(); ++i) {
    if (i < size) {
      SetItemText(t, i, QStringLiteral("Text"), pieces[i]);
    } else if (auto* combo = qobject_cast<QComboBox*>(t.object)) {
      combo->addItem(pieces[i]);
    } else if (auto* list = qobject_cast<QListWidget*>(t.object)) {
      list->addItem(pieces[i]);
    }
  }
  return true;
}

struct LineOutcome {
  bool ok = true;
  QString error;
};

LineOutcome ApplyLine(const QString& path, const QString& rawValue, const QList<QObject*>& forms) {
  const QStringList parts = path.split(QLatin1Char('.'));
  QObject* form = nullptr;
  for (QObject* candidate : forms) {
    if (candidate != nullptr && candidate->objectName() == parts.first()) {
      form = candidate;
      break;
    }
  }
  if (form == nullptr) return {false, QStringLiteral("no form named \"%1\"").arg(parts.first())};

  static const QRegularExpression indexed(QStringLiteral("^(\\w+)\\((\\d+)\\)$"));
  QObject* current = form;
  int at = 1;
  for (; at < parts.size(); ++at) {
    const QRegularExpressionMatch m = indexed.match(parts[at]);
    if (m.hasMatch()) {
      const QObjectList children = current->children();
      const int index = m.captured(2).toInt();
      if (index >= children.size() || !children[index]->inherits(m.captured(1).toLatin1().constData())) {
        return {false, QStringLiteral("\"%1\" has no component %2").arg(current->objectName(), parts[at])};
      }
      current = children[index];
      continue;
    }
    QObject* child = NamedChild(current, parts[at]);
    if (child == nullptr) break;
    current = child;
  }
  if (at >= parts.size()) {
    return {false, QStringLiteral("\"%1\" names no property").arg(path)};
  }

  static const QRegularExpression item(QStringLiteral("^(\\w+)\\[(\\d+)\\]$"));
  Target target{Target::Object, current, {}, 0};
  for (; at + 1 < parts.size(); ++at) {
    const QString& part = parts[at];
    const QRegularExpressionMatch m = item.match(part);
    if (target.kind == Target::Object && m.hasMatch() && HasList(current, m.captured(1))) {
      target = {Target::Item, current, m.captured(1), m.captured(2).toInt()};
    } else if (target.kind == Target::Object && HasList(current, part)) {
      target = {Target::StringList, current, part, 0};
    } else {
      return {false, QStringLiteral("\"%1\" has no property %2").arg(current->objectName(), part)};
    }
  }
  const QString& property = parts.last();
  bool done = false;
  switch (target.kind) {
    case Target::Object: done = SetObjectText(current, property, Unescape(rawValue)); break;
    case Target::StringList:
      done = property == QLatin1String("Text") && SetListText(target, rawValue);
      break;
    case Target::Item: done = SetItemText(target, target.index, property, Unescape(rawValue)); break;
  }
  if (!done) {
    return {false, QStringLiteral("\"%1\" has no property %2").arg(current->objectName(), property)};
  }
  return {};
}

bool IsRuntimeText(QObject* object) {
  return object->property(kRuntimeTextProperty).toBool();
}

}  // namespace

LanguageImport ApplyLanguageText(const QString& text, const QList<QObject*>& forms) {
  LanguageImport result;
  const QStringList lines = text.split(QLatin1Char('\n'));
  for (int i = 0; i < lines.size(); ++i) {
    QString line = lines[i];
    if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
    if (line.startsWith(QLatin1Char(';'))) continue;  // a comment
    const int equals = line.indexOf(QLatin1Char('='));
    if (equals < 0) continue;
    const QString value = line.mid(equals + 1);
    if (value.trimmed().isEmpty()) continue;
    const QString path = line.left(equals).trimmed();
    const LineOutcome outcome = ApplyLine(path, value, forms);
    if (!outcome.ok) {
      result.failedLine = i + 1;
      result.error = QStringLiteral("line %1: %2").arg(i + 1).arg(outcome.error);
      return result;
    }
    ++result.applied;
  }
  return result;
}

LanguageImport ApplyLanguageFile(const QString& path, const QList<QObject*>& forms) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    LanguageImport failed;
    failed.failedLine = -1;
    failed.error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
    return failed;
  }
  return ApplyLanguageText(QString::fromUtf8(file.readAll()), forms);
}

QStringList DumpLanguageLines(QObject* form) {
  QStringList lines;
  const QString formName = form->objectName();
  auto add = [&](const QString& path, const QString& value) {
    if (!value.trimmed().isEmpty()) lines << path + QLatin1Char('=') + Escape(value);
  };
  if (auto* window = qobject_cast<QWidget*>(form); window != nullptr && !IsRuntimeText(form)) {
    add(formName + QStringLiteral(".Caption"), window->windowTitle());
  }
  QList<QObject*> components;
  CollectComponents(form, components);
  for (QObject* object : components) {
    const QString name = object->objectName();
    if (name.isEmpty() || name.startsWith(QLatin1String(kQtInternalPrefix)) || IsRuntimeText(object)) continue;
    const QString path = formName + QLatin1Char('.') + name + QLatin1Char('.');
    if (auto* action = qobject_cast<QAction*>(object)) {
      add(path + "Caption", action->text());
      // A tool tip never set is the caption without "&" and "...": it follows the caption.
      const QString implicit = QString(action->text()).remove(QStringLiteral("...")).remove(QLatin1Char('&'));
      if (action->toolTip() != implicit && !action->toolTip().isEmpty()) {
        add(path + "Hint", action->toolTip());
      }
      continue;
    }
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr) continue;
    if (auto* menu = qobject_cast<QMenu*>(widget)) add(path + "Caption", menu->title());
    else if (auto* button = qobject_cast<QAbstractButton*>(widget)) add(path + "Caption", button->text());
    else if (auto* label = qobject_cast<QLabel*>(widget)) add(path + "Caption", label->text());
    else if (auto* group = qobject_cast<QGroupBox*>(widget)) add(path + "Caption", group->title());
    else if (qobject_cast<QDockWidget*>(widget) || qobject_cast<QToolBar*>(widget)) {
      add(path + "Caption", widget->windowTitle());
    } else if (QTabWidget* tabs = TabOfPage(widget)) {
      add(path + "Caption", tabs->tabText(tabs->indexOf(widget)));
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
      QStringList items;
      for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
      if (!items.isEmpty()) add(path + "Items.Text", items.join(QStringLiteral("\\n")) + "\\n");
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) {
      if (!plain->toPlainText().isEmpty()) add(path + "Lines.Text", plain->toPlainText() + "\n");
    }
    add(path + "Hint", widget->toolTip());
  }
  return lines;
}

}  // namespace dravik::app
