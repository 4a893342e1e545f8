#include "editor/render/font_tables.h"

#include <QString>
#include <QStringList>

namespace dravik::editor {

void InstallSongSubstitution() {
  const QString family = QString::fromUtf8(kSongFamily);
  const QString substitute = QString::fromUtf8(kSongSubstitute);
  if (!QFont::substitutes(family).contains(substitute)) {
    QFont::insertSubstitutions(family, {substitute, QStringLiteral("AR PL UMing TW")});
  }
}

QFont SongFont(int points, bool smooth) {
  QFont font(QString::fromUtf8(kSongFamily));
  // MulDiv(points, 96, 72) rounds to the nearest pixel.
  font.setPixelSize((points * 96 + 36) / 72);
  font.setStyleStrategy(smooth ? QFont::PreferAntialias : QFont::NoAntialias);
  font.setHintingPreference(QFont::PreferFullHinting);
  return font;
}

}  // namespace dravik::editor
