#pragma once
// Edits whose text is stored as a short string: the limit counts GBK bytes, so a Chinese
// character takes two of them and is never cut in half.

#include <QString>
#include <string>

class QLineEdit;

namespace dravik::app {

// Keeps the edit's text within `bytes` GBK bytes while the user types.
void LimitGbkBytes(QLineEdit* edit, int bytes);

std::string ToGbk(const QString& text);
QString FromGbk(const std::string& gbk);

}  // namespace dravik::app
