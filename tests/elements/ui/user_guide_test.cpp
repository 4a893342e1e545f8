// The user guide's element chapter keeps up with the dialogs: every kind a command places
// and a dialog edits has its section (id "kind-<code>") in data/help/elements.html, and
// that section shows its dialog in both languages with pictures that exist in
// docs/screenshots/dialogs (made by scripts/screenshots.sh dialogs). The guide as a whole:
// every chapter is listed in the contents, and every picture a chapter shows exists in
// docs/screenshots (the help folder's "<folder>/" is docs/screenshots/<folder>/).

#include <QFile>
#include <QRegularExpression>
#include <QWidget>
#include <filesystem>

#include "elements/element_kinds.h"
#include "elements/ui/property_dialogs.h"
#include "support/qt_app.h"

namespace dravik::elements {
namespace {

const std::filesystem::path kSourceDir = DRAVIK_TEST_SOURCE_DIR;

QString ReadText(const std::filesystem::path& path) {
  QFile file(QString::fromStdString(path.string()));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll());
}

// The part of the chapter from the kind's section id up to the next kind's section.
QString SectionOf(const QString& chapter, int kind) {
  const QString id = QStringLiteral("id=\"kind-%1\"").arg(kind);
  const qsizetype start = chapter.indexOf(id);
  if (start < 0) return {};
  const qsizetype next = chapter.indexOf(QStringLiteral("id=\"kind-"), start + id.size());
  return chapter.mid(start, next < 0 ? -1 : next - start);
}

class UserGuideTest : public test::QtTest {
 protected:
  QWidget owner;
  PropertyDialogs dialogs{&owner};
};

TEST_F(UserGuideTest, EveryDialogHasItsSectionAndPicturesInBothLanguages) {
  const QString chapter = ReadText(kSourceDir / "data" / "help" / "elements.html");
  ASSERT_FALSE(chapter.isEmpty());
  const std::filesystem::path pictures = kSourceDir / "docs" / "screenshots" / "dialogs";
  for (const KindDescriptor& kind : AllKinds()) {
    const TElementDialog* dialog = dialogs.DialogFor(kind.code);
    if (dialog == nullptr || !kind.HasName()) continue;
    SCOPED_TRACE(testing::Message() << "kind " << kind.code << ", " << dialog->objectName().toStdString());
    const QString section = SectionOf(chapter, kind.code);
    ASSERT_FALSE(section.isEmpty()) << "no section id=\"kind-" << kind.code << "\"";
    for (const char* language : {"zh", "en"}) {
      // The picture is named after the dialog, and after the kind where one dialog shows
      // several kinds under different captions.
      const QRegularExpression picture(QStringLiteral("src=\"dialogs/(%1(_[a-z_]+)?_%2\\.png)\"")
                                           .arg(dialog->objectName(), QLatin1String(language)));
      const QRegularExpressionMatch shown = picture.match(section);
      ASSERT_TRUE(shown.hasMatch()) << "no " << language << " picture";
      EXPECT_TRUE(std::filesystem::exists(pictures / shown.captured(1).toStdString()))
          << shown.captured(1).toStdString() << " is missing: run scripts/screenshots.sh dialogs";
    }
  }
}

TEST(UserGuide, EveryChapterIsListedAndEveryPictureItShowsExists) {
  const std::filesystem::path help = kSourceDir / "data" / "help";
  const QString contents = ReadText(help / "index.html");
  ASSERT_FALSE(contents.isEmpty());
  const QRegularExpression picture(QStringLiteral("<img[^>]*\\ssrc=\"([a-z]+/[^\"]+\\.png)\""));
  int chapters = 0;
  for (const auto& entry : std::filesystem::directory_iterator(help)) {
    const std::string name = entry.path().filename().string();
    if (entry.path().extension() != ".html" || name == "index.html") continue;
    SCOPED_TRACE(name);
    ++chapters;
    EXPECT_TRUE(contents.contains(QStringLiteral("href=\"%1\"").arg(QString::fromStdString(name))))
        << "not listed in index.html";
    const QString chapter = ReadText(entry.path());
    for (auto shown = picture.globalMatch(chapter); shown.hasNext();) {
      const std::string file = shown.next().captured(1).toStdString();
      EXPECT_TRUE(std::filesystem::exists(kSourceDir / "docs" / "screenshots" / file))
          << file << " is missing: run scripts/screenshots.sh";
    }
  }
  EXPECT_GE(chapters, 10);
}

}  // namespace
}  // namespace dravik::elements
