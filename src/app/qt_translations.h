#pragma once
// Qt's own texts (the standard buttons Yes/No/Cancel, the file and print dialogs) in the
// interface language, from the translations Qt ships (qt6-translations-l10n).

namespace dravik::app {

// Installs Qt's Chinese translations when `chinese`, removes them otherwise. False when
// Chinese was asked for and the translations are not installed (Qt then stays English).
bool UseQtTranslations(bool chinese);

}  // namespace dravik::app
