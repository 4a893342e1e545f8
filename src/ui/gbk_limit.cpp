#include "ui/gbk_limit.h"

#include <QLineEdit>

#include "platform/gbk.h"

namespace dravik::ui {

std::string ToGbk(const QString& text) { return platform::Utf8ToGbk(text.toStdString()); }

QString FromGbk(std::string_view gbk) { return QString::fromStdString(platform::GbkToUtf8(gbk)); }

void LimitGbkBytes(QLineEdit* edit, int bytes) {
  QObject::connect(edit, &QLineEdit::textChanged, edit, [edit, bytes](const QString& text) {
    if (static_cast<int>(ToGbk(text).size()) <= bytes) return;
    QString cut = text;
    while (!cut.isEmpty() && static_cast<int>(ToGbk(cut).size()) > bytes) cut.chop(1);
    const int cursor = std::min(edit->cursorPosition(), static_cast<int>(cut.size()));
    edit->setText(cut);
    edit->setCursorPosition(cursor);
  });
}

}  // namespace dravik::ui
