#include "params/ui/settings_dialog_hooks.h"

#include <QColorDialog>
#include <QDialog>
#include <QScreen>
#include <QVariant>

#include "editor/render/system_colour_table.h"
#include "platform/gbk.h"

namespace dravik::params {

bool IsChinese(const SettingsDialogHooks& hooks) {
  return !hooks.isChinese || hooks.isChinese();
}

void ShowMessage(const SettingsDialogHooks& hooks, QWidget* parent, const Bilingual& text,
                 QMessageBox::Icon icon) {
  const QString shown = LineText(text.In(IsChinese(hooks)));
  if (hooks.message) {
    hooks.message(shown, icon);
    return;
  }
  QMessageBox box(icon, QString::fromUtf8(kMessageCaption), shown, QMessageBox::Ok, parent);
  box.exec();
}

bool AskYesNo(const SettingsDialogHooks& hooks, QWidget* parent, const Bilingual& text) {
  const QString shown = LineText(text.In(IsChinese(hooks)));
  if (hooks.question) return hooks.question(shown);
  QMessageBox box(QMessageBox::Question, QString::fromUtf8(kMessageCaption), shown,
                  QMessageBox::Yes | QMessageBox::No, parent);
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

std::optional<std::uint32_t> ChooseColour(const SettingsDialogHooks& hooks, std::uint32_t current,
                                          QWidget* anchor) {
  if (hooks.chooseColour) return hooks.chooseColour(current, anchor);
  const QColor picked = QColorDialog::getColor(editor::ResolveQColor(current), anchor);
  if (!picked.isValid()) return std::nullopt;
  return editor::ToStoredRgb(picked.rgb());
}

int ExecDialog(const SettingsDialogHooks& hooks, QDialog* dialog) {
  return hooks.execDialog ? hooks.execDialog(dialog) : dialog->exec();
}

QString LineText(std::string_view text) {
  QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return shown;
}

QString FromGbk(std::string_view gbk) {
  return QString::fromStdString(platform::GbkToUtf8(gbk));
}

std::string ToGbk(const QString& text) {
  return platform::Utf8ToGbk(text.toStdString());
}

QString ColourPanelStyle(std::uint32_t colour) {
  return QStringLiteral("background-color: %1; border: 1px solid gray;")
      .arg(editor::ResolveQColor(colour).name());
}

void PlaceAboveMiddle(QWidget* dialog, int pixels) {
  if (const QScreen* shown = dialog->screen()) {
    const QRect area = shown->availableGeometry();
    dialog->move(area.center().x() - dialog->width() / 2,
                 area.center().y() - dialog->height() / 2 - pixels);
  }
}

void MarkRuntimeText(QObject* object) {
  object->setProperty("dravikRuntimeText", true);
}

}  // namespace dravik::params
