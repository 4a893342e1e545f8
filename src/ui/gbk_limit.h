#pragma once
// Edits whose text is stored as a short string: the limit counts GBK bytes, so a Chinese
// character takes two of them and is never cut in half.

#include <QString>
#include <string>
#include <string_view>

class QLineEdit;

namespace dravik::ui {

// Keeps the edit's text within `bytes` GBK bytes while the user types.
void LimitGbkBytes(QLineEdit* edit, int bytes);

// The model keeps GBK bytes; widgets hold Unicode.
std::string ToGbk(const QString& text);
QString FromGbk(std::string_view gbk);

}  // namespace dravik::ui
