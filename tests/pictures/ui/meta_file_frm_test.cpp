// The picture library window on real widgets over a real ".PIC" in a fresh folder: the
// list and preview, adding, replacing, exporting and deleting, the conversion questions,
// the edits of the preview with keep or discard, stretching, compaction, and the refusals
// that leave the library as it was.

#include "pictures/ui/meta_file_frm.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "pictures/picture_fixtures.h"
#include "pictures/picture_operations.h"
#include "pictures/ui/bmp_extend_frm.h"
#include "support/qt_app.h"
#include "support/temp_dir.h"

namespace dravik::pictures {
namespace {

namespace fs = std::filesystem;
using test::MakeBmp;
using test::MakeJpeg;
using test::PatternImage;

using DialogAnswer = std::function<int(QDialog*)>;

// The library of a saved project and its window, with hooks that record what a user would
// have been shown and answer questions, file dialogs and modal dialogs from queues.
class MetaFileFrmTest : public test::QtTest {
 protected:
  MetaFileFrmTest() {
    test::WriteText(project, "project");
    EXPECT_TRUE(library.ADOConnected(project).ok());
    fs::create_directory(gallery);
    ui::DesktopHooks hooks;
    hooks.isChinese = [this] { return chinese; };
    hooks.message = [this](const QString&, const QString& text, QMessageBox::Icon icon) {
      messages.push_back(text.toStdString());
      icons.push_back(icon);
    };
    hooks.question = [this](const QString&, const QString& text, QMessageBox::StandardButtons) {
      questions.push_back(text.toStdString());
      if (answers.empty()) return QMessageBox::No;
      const QMessageBox::StandardButton answer = answers.front();
      answers.pop_front();
      return answer;
    };
    hooks.openFile = [this](const QString& title, const QString& filter, const QString& preset) {
      fileDialogs.push_back({title, filter, preset});
      return Next(openPaths);
    };
    hooks.saveFile = [this](const QString& title, const QString& filter, const QString& preset) {
      fileDialogs.push_back({title, filter, preset});
      return Next(savePaths);
    };
    hooks.execDialog = [this](QDialog* dialog) {
      shownDialogs.push_back(dialog->objectName());
      if (dialogAnswers.empty()) return static_cast<int>(QDialog::Rejected);
      DialogAnswer answer = std::move(dialogAnswers.front());
      dialogAnswers.pop_front();
      return answer(dialog);
    };
    hooks.showStatus = [this](int panel, const QString& text) {
      if (panel == 0) status.push_back(text);
    };
    frm.SetHooks(hooks);
    frm.SetLibrary(&library);
    frm.SetGalleryFolder(gallery);
  }

  static QString Next(std::deque<fs::path>& paths) {
    if (paths.empty()) return {};
    const fs::path path = paths.front();
    paths.pop_front();
    return QString::fromStdString(path.string());
  }

  fs::path Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const fs::path file = dir / name;
    test::WriteAll(file, bytes);
    return file;
  }
  int Add(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    Result<int> id = library.AddPicture(Write(name, bytes));
    EXPECT_TRUE(id.ok()) << (id.ok() ? "" : id.message());
    return id.ok() ? *id : -1;
  }
  std::vector<int> Ids() const {
    std::vector<int> ids;
    for (const PictureEntry& entry : library.Entries()) ids.push_back(entry.id);
    return ids;
  }
  PictureRecord Stored(int id) {
    Result<PictureRecord> record = library.Read(id);
    EXPECT_TRUE(record.ok()) << (record.ok() ? "" : record.message());
    return record.ok() ? *record : PictureRecord{};
  }
  RgbImage StoredImage(int id) {
    const PictureRecord record = Stored(id);
    return DecodeStoredPicture(record.ext, record.pic, false).image;
  }
  void Click(const char* button) { frm.Button(button)->click(); }
  QString Row(int row, int column) const { return frm.List()->topLevelItem(row)->text(column); }

  // The keep-or-discard question answered Yes and the new name given.
  void KeepAs(const char* name) {
    answers.push_back(QMessageBox::Yes);
    dialogAnswers.push_back([name](QDialog* dialog) {
      auto* input = qobject_cast<QInputDialog*>(dialog);
      EXPECT_NE(input, nullptr);
      if (input == nullptr) return static_cast<int>(QDialog::Rejected);
      input->setTextValue(QString::fromUtf8(name));
      return static_cast<int>(QDialog::Accepted);
    });
  }

  struct FileDialog {
    QString title;
    QString filter;
    QString preset;
  };

  test::TempDir dir;
  fs::path project = dir / "demo.QX3";
  fs::path gallery = dir / "Gallery";
  PictureLibrary library;
  TMetaFileFrm frm;
  bool chinese = true;
  std::vector<std::string> messages;
  std::vector<QMessageBox::Icon> icons;
  std::vector<std::string> questions;
  std::deque<QMessageBox::StandardButton> answers;
  std::deque<fs::path> openPaths;
  std::deque<fs::path> savePaths;
  std::vector<FileDialog> fileDialogs;
  std::deque<DialogAnswer> dialogAnswers;
  std::vector<QString> shownDialogs;
  std::vector<QString> status;
};

TEST_F(MetaFileFrmTest, ShowsTheListAndPreviewsThePictureItWasOpenedWith) {
  Add("zero.bmp", MakeBmp({}, 4, 4));
  const std::vector<std::uint8_t> big =
      MakeBmp({.bits = 24, .trailingBytes = 1500 - 14 - 40 - 32 * 12 * 3}, 32, 12);
  ASSERT_EQ(big.size(), 1500u);
  Add("big.bmp", big);
  Add("photo.jpg", MakeJpeg(20, 10));

  frm.FormShow(1);
  EXPECT_EQ(frm.windowTitle(), "图形库");
  EXPECT_EQ(frm.List()->headerItem()->text(0), "  ID");
  EXPECT_EQ(frm.List()->headerItem()->text(1), "图片名称");
  EXPECT_EQ(frm.List()->columnWidth(0), 50);
  EXPECT_EQ(frm.List()->columnWidth(1), 150);
  ASSERT_EQ(frm.List()->topLevelItemCount(), 3);
  EXPECT_EQ(Row(2, 0), "2");
  EXPECT_EQ(Row(2, 1), "photo.jpg");
  EXPECT_EQ(frm.SelectedId(), 1);
  EXPECT_EQ(frm.NameText(), "big.bmp");
  EXPECT_EQ(frm.SizeText(), "32(W)*12(H)   1.476 KB");
  EXPECT_EQ(frm.PreviewImage(), PatternImage(32, 12));
  EXPECT_EQ(frm.PreviewLabel()->size(), QSize(32, 12));  // at its own size

  frm.SelectRow(2);
  EXPECT_EQ(frm.SelectedId(), 2);
  EXPECT_EQ(frm.PreviewImage().width, 20);
  EXPECT_EQ(frm.ChosenId(), 2);

  // Opened with a picture the library no longer has: nothing is selected, and what goes
  // back is what came in.
  frm.FormShow(7);
  EXPECT_EQ(frm.SelectedId(), kNoSelection);
  EXPECT_TRUE(frm.PreviewImage().empty());
  EXPECT_EQ(frm.ChosenId(), 7);
  EXPECT_TRUE(messages.empty());

  chinese = false;
  frm.FormShow(0);
  EXPECT_EQ(frm.List()->headerItem()->text(1), "Picture name");
  EXPECT_EQ(frm.Button("CompactButton")->text(), "Compression Library");
}

TEST_F(MetaFileFrmTest, ConfirmHandsBackTheSelectedIdAndCancelTheOneItCameWith) {
  Add("a.bmp", MakeBmp({}, 4, 4));
  Add("b.bmp", MakeBmp({}, 4, 4));
  dialogAnswers.push_back([this](QDialog* dialog) {
    EXPECT_EQ(dialog, &frm);
    frm.SelectRow(1);
    frm.findChild<QPushButton*>("OkButton")->click();
    return dialog->result();
  });
  EXPECT_EQ(frm.ChoosePicture(0), 1);
  dialogAnswers.push_back([this](QDialog* dialog) {
    frm.SelectRow(1);
    frm.findChild<QPushButton*>("CancelButton")->click();
    return dialog->result();
  });
  EXPECT_EQ(frm.ChoosePicture(0), 0);
}

TEST_F(MetaFileFrmTest, AddTakesTheSmallestFreeIdAndSelectsTheNewPicture) {
  for (const char* name : {"p0.bmp", "p1.bmp", "p2.bmp", "p3.bmp", "p4.bmp"})
    Add(name, MakeBmp({}, 4, 4));
  ASSERT_TRUE(library.DeletePicture(3).ok());
  frm.FormShow(0);

  const std::vector<std::uint8_t> bytes = MakeBmp({.bits = 8}, 6, 5);
  openPaths = {Write("new.bmp", bytes)};
  Click("AddButton");
  ASSERT_EQ(fileDialogs.size(), 1u);
  EXPECT_EQ(fileDialogs[0].title, "Add a picture:");
  EXPECT_EQ(fileDialogs[0].filter, "All (*.jpg *.bmp);;JPEG Image File (*.jpg);;Bitmaps (*.bmp)");
  EXPECT_EQ(fileDialogs[0].preset.toStdString(), gallery.string());
  EXPECT_EQ(Ids(), (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(frm.SelectedId(), 3);
  EXPECT_EQ(frm.NameText(), "new.bmp");
  const PictureRecord stored = Stored(3);
  EXPECT_EQ(stored.pic, bytes);  // the file's bytes, unchanged
  EXPECT_EQ(stored.ext, ".bmp");
  EXPECT_EQ(stored.pid, 1);

  openPaths = {Write("photo.JPG", MakeJpeg(8, 8))};
  Click("AddGalleryButton");
  EXPECT_EQ(fileDialogs[1].preset.toStdString(), (gallery / "Bicycle.bmp").string());
  EXPECT_EQ(frm.SelectedId(), 5);
  EXPECT_EQ(Stored(5).ext, ".jpg");

  // A cancelled dialog adds nothing.
  Click("AddButton");
  EXPECT_EQ(Ids().size(), 6u);
  EXPECT_TRUE(messages.empty()) << messages.front();
}

TEST_F(MetaFileFrmTest, BrokenOrForeignFilesAreRefusedWithTheLibraryAsItWas) {
  Add("keep.bmp", MakeBmp({}, 4, 4));
  frm.FormShow(0);
  std::vector<std::uint8_t> broken = MakeBmp({}, 16, 16);
  broken.resize(60);
  std::vector<std::uint8_t> cutJpeg = MakeJpeg(16, 16);
  cutJpeg.resize(cutJpeg.size() - 40);
  const struct {
    const char* file;
    std::vector<std::uint8_t> bytes;
    const char* message;
  } cases[] = {
      {"broken.bmp", broken, "BMP 图像格式异常 ！"},
      {"broken.jpg", cutJpeg, "JPEG 图像格式异常 ！"},
      {"notes.txt", {'h', 'i'}, "只能添加 BMP 或 JPG 图片 ！"},
      {"empty.bmp", {}, "图片文件是空的 ！"},
  };
  for (const auto& c : cases) {
    messages.clear();
    openPaths = {Write(c.file, c.bytes)};
    Click("AddButton");
    ASSERT_EQ(messages.size(), 1u) << c.file;
    EXPECT_EQ(messages[0].rfind(c.message, 0), 0u) << messages[0];
    EXPECT_EQ(Ids(), std::vector<int>{0}) << c.file;
  }
  // Replacing with a broken file keeps the picture that was there.
  Add("one.bmp", MakeBmp({}, 5, 5));
  frm.FormShow(1);
  const PictureRecord before = Stored(1);
  messages.clear();
  openPaths = {dir / "broken.bmp"};
  Click("ReplaceButton");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].rfind("BMP 图像格式异常 ！", 0), 0u) << messages[0];
  EXPECT_EQ(Stored(1).pic, before.pic);
  EXPECT_EQ(frm.SelectedId(), 1);
}

TEST_F(MetaFileFrmTest, APictureThatCannotBeDecodedShowsTheErrorAndAnEmptyPreview) {
  Add("good.bmp", MakeBmp({}, 4, 4));
  Add("bad.bmp", MakeBmp({}, 4, 4));
  // Damaged after it was stored (another tool, a bad disk).
  std::vector<std::uint8_t> damaged = MakeBmp({}, 4, 4);
  damaged.resize(30);
  ASSERT_TRUE(library.ModifyPic(1, "bad.bmp", MakeBmp({}, 4, 4)).ok());
  {
    library.Close();
    auto db = platform::DesktopDb::Open(PictureLibraryPath(project), kPicturePassword,
                                        platform::OpenMode::ReadWrite);
    ASSERT_TRUE(db.ok());
    auto rows = db->Query("select * from PData where ID=1");
    ASSERT_TRUE(rows.ok());
    ASSERT_TRUE(rows->Edit().ok());
    rows->SetBytes("Pic", damaged);
    ASSERT_TRUE(rows->Post().ok());
  }
  ASSERT_TRUE(library.ADOConnected(project).ok());
  frm.FormShow(0);
  frm.SelectRow(1);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "BMP 图像格式异常 ！");
  EXPECT_EQ(icons[0], QMessageBox::Critical);
  EXPECT_EQ(frm.NameText(), "bad.bmp");
  EXPECT_TRUE(frm.PreviewImage().empty());
  EXPECT_FALSE(frm.Button("InvertButton")->isEnabled());
  EXPECT_TRUE(frm.Button("ExportButton")->isEnabled());  // the stored file can still be saved
}

TEST_F(MetaFileFrmTest, ReplaceAndDeleteRefuseTheReservedPictureAndAnEmptySelection) {
  frm.FormShow(0);  // an empty library: nothing selected
  Click("ReplaceButton");
  Click("DeleteButton");
  Add("zero.bmp", MakeBmp({}, 4, 4));
  frm.FormShow(0);
  Click("ReplaceButton");
  Click("DeleteButton");
  EXPECT_EQ(messages, (std::vector<std::string>{"0 是系统保留库 ！", "0 是系统保留库 ！",
                                                "0 是系统保留库 ！", "0 是系统保留库 ！"}));
  EXPECT_EQ(icons[0], QMessageBox::Information);
  chinese = false;
  messages.clear();
  Click("ReplaceButton");
  Click("DeleteButton");
  EXPECT_EQ(messages, (std::vector<std::string>{"0 Is reserved for the system library!",
                                                "0 is reserved for the system library!"}));
  EXPECT_TRUE(fileDialogs.empty());
  EXPECT_TRUE(questions.empty());
  EXPECT_EQ(Ids(), std::vector<int>{0});
}

TEST_F(MetaFileFrmTest, ReplaceStoresTheNewFileUnderTheSameId) {
  Add("zero.bmp", MakeBmp({}, 4, 4));
  Add("old.bmp", MakeBmp({}, 4, 4));
  frm.FormShow(1);
  const std::vector<std::uint8_t> jpeg = MakeJpeg(12, 6);
  openPaths = {Write("new.jpg", jpeg)};
  Click("ReplaceButton");
  EXPECT_EQ(fileDialogs[0].title, "添加图片:");
  const PictureRecord stored = Stored(1);
  EXPECT_EQ(stored.fileName, "new.jpg");
  EXPECT_EQ(stored.note, "new.jpg");
  EXPECT_EQ(stored.ext, ".jpg");
  EXPECT_EQ(stored.pic, jpeg);
  EXPECT_EQ(frm.SelectedId(), 1);
  EXPECT_EQ(Row(1, 1), "new.jpg");
  EXPECT_EQ(frm.PreviewImage().width, 12);
}

TEST_F(MetaFileFrmTest, DeleteAsksThenDeletesCompactsAndSelectsTheNextRow) {
  for (const char* name : {"p0.bmp", "p1.bmp", "p2.bmp", "p3.bmp"}) Add(name, MakeBmp({}, 8, 8));
  const std::vector<std::uint8_t> kept = Stored(2).pic;
  frm.FormShow(1);
  answers = {QMessageBox::No};
  Click("DeleteButton");
  EXPECT_EQ(questions, std::vector<std::string>{"你确定删除 ？"});
  EXPECT_EQ(Ids(), (std::vector<int>{0, 1, 2, 3}));

  answers = {QMessageBox::Yes};
  Click("DeleteButton");
  EXPECT_EQ(Ids(), (std::vector<int>{0, 2, 3}));
  EXPECT_EQ(frm.SelectedId(), 2);
  EXPECT_EQ(Stored(2).pic, kept);
  EXPECT_FALSE(fs::exists(dir / "demo.$$$"));
  EXPECT_EQ(frm.Button("CompactButton")->text(), "压缩图库");
  EXPECT_TRUE(messages.empty());

  // Deleting the last row selects the one above it.
  frm.SelectRow(2);
  answers = {QMessageBox::Yes};
  Click("DeleteButton");
  EXPECT_EQ(frm.SelectedId(), 2);
}

TEST_F(MetaFileFrmTest, ExportWritesTheStoredFileWithItsExtension) {
  Add("zero.bmp", MakeBmp({}, 4, 4));
  const std::vector<std::uint8_t> jpeg = MakeJpeg(10, 10);
  Add("photo.jpg", jpeg);
  frm.FormShow(1);
  savePaths = {dir / "out"};
  Click("ExportButton");
  ASSERT_EQ(fileDialogs.size(), 1u);
  EXPECT_EQ(fileDialogs[0].title, "Save picture as:");
  EXPECT_EQ(fileDialogs[0].filter, "*.jpg (*.jpg)");
  EXPECT_EQ(fileDialogs[0].preset.toStdString(), gallery.string());
  EXPECT_EQ(test::ReadAll(dir / "out.jpg"), jpeg);

  // A name that already ends with the extension gets it once.
  savePaths = {dir / "again.jpg"};
  Click("ExportButton");
  EXPECT_EQ(test::ReadAll(dir / "again.jpg"), jpeg);
  EXPECT_FALSE(fs::exists(dir / "again.jpg.jpg"));

  savePaths = {gallery / "photo.jpg"};
  Click("ExportGalleryButton");
  EXPECT_EQ(fileDialogs[2].preset.toStdString(), (gallery / "photo.jpg").string());
  EXPECT_EQ(test::ReadAll(gallery / "photo.jpg"), jpeg);
  EXPECT_TRUE(questions.empty());

  // The extension added to the typed name would replace another file: asked first.
  test::WriteText(dir / "mine.jpg", "mine");
  savePaths = {dir / "mine"};
  answers = {QMessageBox::No};
  Click("ExportButton");
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_NE(questions[0].find("mine.jpg"), std::string::npos);
  EXPECT_EQ(test::ReadText(dir / "mine.jpg"), "mine");
  savePaths = {dir / "mine"};
  answers = {QMessageBox::Yes};
  Click("ExportButton");
  EXPECT_EQ(test::ReadAll(dir / "mine.jpg"), jpeg);
  EXPECT_TRUE(messages.empty());
}

TEST_F(MetaFileFrmTest, ConversionToJpegAsksTwiceAndKeepsTheId) {
  Add("zero.bmp", MakeBmp({}, 4, 4));
  Add("logo.bmp", MakeBmp({}, 16, 8));
  frm.FormShow(1);
  const std::vector<std::uint8_t> before = Stored(1).pic;

  answers = {QMessageBox::Yes, QMessageBox::No};
  Click("ConvertButton");
  const std::vector<std::string> asked = {"您确定将: logo.bmp\n\n转 换 为: logo.jpg ？",
                                          "由BMP转换为JPG可能会造成颜色信息丢失。\n您要继续吗 ？"};
  EXPECT_EQ(questions, asked);
  EXPECT_EQ(Stored(1).pic, before);

  questions.clear();
  answers = {QMessageBox::Yes, QMessageBox::Yes};
  Click("ConvertButton");
  EXPECT_EQ(questions, asked);
  PictureRecord stored = Stored(1);
  EXPECT_EQ(stored.ext, ".jpg");
  EXPECT_EQ(stored.note, "logo.jpg");
  EXPECT_EQ(frm.SelectedId(), 1);
  EXPECT_EQ(Row(1, 1), "logo.jpg");
  EXPECT_EQ(frm.PreviewImage().width, 16);
  EXPECT_FALSE(status.empty());  // the work was announced

  // Back to a bitmap: one question, and it ends with an ASCII question mark.
  questions.clear();
  chinese = false;
  answers = {QMessageBox::Yes};
  Click("ConvertButton");
  EXPECT_EQ(questions,
            std::vector<std::string>{"Are you sure: logo.jpg\n\nConversion to: logo.bmp ?"});
  EXPECT_EQ(Stored(1).ext, ".bmp");
  EXPECT_TRUE(messages.empty());
}

TEST_F(MetaFileFrmTest, EditsChangeTheStoredPictureOnlyWhenKept) {
  const struct {
    const char* name;
    std::function<void()> edit;
    void (*expected)(RgbImage&);
  } cases[] = {
      {"invert", [this] { Click("InvertButton"); }, &InvertColours},
      {"mirror left-right",
       [this] {
         dialogAnswers.push_front([](QDialog* panel) {
           panel->findChild<QPushButton*>("HorizontalFlipButton")->click();
           panel->findChild<QPushButton*>("FlipOkButton")->click();
           return panel->result();
         });
         Click("FlipRotateButton");
       },
       &MirrorLeftRight},
      {"mirror top-bottom",
       [this] {
         dialogAnswers.push_front([](QDialog* panel) {
           panel->findChild<QPushButton*>("VerticalFlipButton")->click();
           panel->findChild<QPushButton*>("FlipOkButton")->click();
           return panel->result();
         });
         Click("FlipRotateButton");
       },
       &MirrorTopBottom},
      {"rotate",
       [this] {
         dialogAnswers.push_front([](QDialog* panel) {
           panel->findChild<QPushButton*>("Rotate90Button")->click();
           panel->findChild<QPushButton*>("FlipOkButton")->click();
           return panel->result();
         });
         Click("FlipRotateButton");
       },
       &RotateClockwise90},
  };
  Add("zero.bmp", MakeBmp({}, 4, 4));
  Add("logo.bmp", MakeBmp({}, 6, 4));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(library.ModifyPic(1, "logo.bmp", MakeBmp({}, 6, 4)).ok());
    frm.FormShow(1);
    const RgbImage original = PatternImage(6, 4);
    ASSERT_EQ(frm.PreviewImage(), original);
    RgbImage expected = original;
    c.expected(expected);

    // Discarded: the record is untouched and the preview shows it again.
    questions.clear();
    answers = {QMessageBox::No};
    c.edit();
    EXPECT_EQ(questions, std::vector<std::string>{"观看转换后之图,(是)接受/(否)舍弃 ？"});
    EXPECT_EQ(StoredImage(1), original);
    EXPECT_EQ(frm.PreviewImage(), original);

    // Kept under a new name, with the stored extension appended.
    KeepAs("edited");
    c.edit();
    EXPECT_EQ(shownDialogs.back(), "NewNameDialog");
    EXPECT_EQ(StoredImage(1), expected);
    EXPECT_EQ(Stored(1).note, "edited.bmp");
    EXPECT_EQ(frm.NameText(), "edited.bmp");
    EXPECT_EQ(frm.PreviewImage(), expected);
    EXPECT_TRUE(dialogAnswers.empty());
  }
  EXPECT_TRUE(messages.empty());
}

TEST_F(MetaFileFrmTest, TheNewNameIsPresetAndCancellingItKeepsTheStoredPicture) {
  Add("zero.bmp", MakeBmp({}, 4, 4));
  Add("logo.bmp", MakeBmp({}, 6, 4));
  frm.FormShow(1);
  answers = {QMessageBox::Yes};
  QString preset;
  dialogAnswers.push_back([&preset](QDialog* dialog) {
    auto* input = qobject_cast<QInputDialog*>(dialog);
    preset = input->textValue();
    EXPECT_EQ(input->windowTitle(), "请输入新的图名 ");
    EXPECT_EQ(input->labelText(), "新图片名称 ");
    return static_cast<int>(QDialog::Rejected);
  });
  Click("InvertButton");
  EXPECT_EQ(preset, "logo");
  EXPECT_EQ(StoredImage(1), PatternImage(6, 4));
  EXPECT_EQ(frm.PreviewImage(), PatternImage(6, 4));

  // The extension typed again is not doubled.
  KeepAs("inverted.BMP");
  Click("InvertButton");
  EXPECT_EQ(Stored(1).note, "inverted.bmp");
}

TEST_F(MetaFileFrmTest, FlipPanelCancelRestoresTheStoredPictureWithoutAsking) {
  Add("zero.bmp", MakeBmp({}, 6, 4));
  frm.FormShow(0);
  dialogAnswers.push_back([](QDialog* panel) {
    panel->findChild<QPushButton*>("Rotate90Button")->click();
    panel->findChild<QPushButton*>("FlipCancelButton")->click();
    return panel->result();
  });
  Click("FlipRotateButton");
  EXPECT_EQ(shownDialogs, std::vector<QString>{"FlipRotatePanel"});
  EXPECT_TRUE(questions.empty());
  EXPECT_EQ(frm.PreviewImage(), PatternImage(6, 4));
  EXPECT_EQ(frm.FlipRotatePanel()->windowTitle(), "翻转/旋转");
}

TEST_F(MetaFileFrmTest, StretchKeepsOrDiscardsThePictureTheDialogDrew) {
  Add("zero.bmp", MakeBmp({}, 4, 4));
  Add("logo.bmp", MakeBmp({}, 20, 10));
  TBmpExtendFrm stretch;
  frm.SetStretchForm(&stretch);
  frm.FormShow(1);
  const auto stretchTo = [this](int width, int height) {
    dialogAnswers.push_back([width, height](QDialog* dialog) {
      auto* form = qobject_cast<TBmpExtendFrm*>(dialog);
      EXPECT_EQ(form->WidthSpin()->value(), 20);  // preset with the preview's size
      EXPECT_EQ(form->HeightSpin()->value(), 10);
      form->WidthSpin()->setValue(width);
      form->HeightSpin()->setValue(height);
      form->findChild<QPushButton*>("OkButton")->click();
      return dialog->result();
    });
  };
  RgbImage expected = PatternImage(20, 10);
  StretchPicture(expected, 40, 8);

  stretchTo(40, 8);
  answers = {QMessageBox::No};
  Click("StretchButton");
  EXPECT_EQ(questions.size(), 1u);
  EXPECT_EQ(StoredImage(1), PatternImage(20, 10));
  EXPECT_EQ(frm.PreviewImage(), PatternImage(20, 10));

  stretchTo(40, 8);
  KeepAs("wide");
  Click("StretchButton");
  EXPECT_EQ(StoredImage(1), expected);
  EXPECT_EQ(Stored(1).note, "wide.bmp");
  EXPECT_EQ(frm.SizeText().left(12), "40(W)*8(H)  ");

  // Cancelled: no change and no question.
  questions.clear();
  dialogAnswers.push_back([](QDialog* dialog) {
    dialog->findChild<QPushButton*>("CancelButton")->click();
    return dialog->result();
  });
  Click("StretchButton");
  EXPECT_TRUE(questions.empty());
  EXPECT_EQ(StoredImage(1), expected);
}

TEST_F(MetaFileFrmTest, CompactKeepsEveryPicture) {
  for (int i = 0; i < 6; ++i) Add("p" + std::to_string(i) + ".bmp", MakeBmp({}, 20 + i, 10));
  ASSERT_TRUE(library.DeletePicture(2).ok());
  ASSERT_TRUE(library.DeletePicture(4).ok());
  std::vector<std::vector<std::uint8_t>> before;
  for (int id : Ids()) before.push_back(Stored(id).pic);
  frm.FormShow(3);
  status.clear();
  Click("CompactButton");
  EXPECT_EQ(Ids(), (std::vector<int>{0, 1, 3, 5}));
  std::vector<std::vector<std::uint8_t>> after;
  for (int id : Ids()) after.push_back(Stored(id).pic);
  EXPECT_EQ(after, before);
  EXPECT_EQ(frm.SelectedId(), 3);
  EXPECT_EQ(frm.Button("CompactButton")->text(), "压缩图库");
  EXPECT_TRUE(frm.Button("CompactButton")->isEnabled());
  ASSERT_EQ(status.size(), 2u);
  EXPECT_EQ(status[0], "正在压缩图库...");
  EXPECT_EQ(status[1], "");  // what the panel said before
  EXPECT_TRUE(messages.empty());
}

TEST_F(MetaFileFrmTest, AFailedCompactionSaysSoTwiceAndLosesNothing) {
  Add("zero.bmp", MakeBmp({}, 4, 4));
  Add("one.bmp", MakeBmp({}, 5, 5));
  const std::vector<std::uint8_t> one = Stored(1).pic;
  // Something in the way of the compacted file that cannot simply be removed.
  fs::create_directory(dir / "demo.$$$");
  test::WriteText(dir / "demo.$$$" / "blocker", "x");
  frm.FormShow(1);
  Click("CompactButton");
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].rfind("Data compression Failure!\n\n", 0), 0u) << messages[0];
  EXPECT_EQ(icons[0], QMessageBox::Critical);
  EXPECT_EQ(messages[1], "数据压缩修复失败 ！");
  EXPECT_EQ(icons[1], QMessageBox::Information);
  EXPECT_EQ(Ids(), (std::vector<int>{0, 1}));
  EXPECT_EQ(Stored(1).pic, one);
  EXPECT_EQ(frm.SelectedId(), 1);
  EXPECT_EQ(frm.Button("CompactButton")->text(), "压缩图库");
}

TEST_F(MetaFileFrmTest, PaintStartsTheDesktopsPaintProgram) {
  EXPECT_TRUE(frm.Button("PaintButton")->isHidden());
  QString started;
  ui::DesktopHooks hooks;
  hooks.startProgram = [&started](const QString& program, const QStringList&, const QString&,
                                  QString*) {
    started = program;
    return true;
  };
  frm.SetHooks(hooks);
  frm.SetPaintProgram("/usr/bin/kolourpaint");
  EXPECT_FALSE(frm.Button("PaintButton")->isHidden());
  Click("PaintButton");
  EXPECT_EQ(started, "/usr/bin/kolourpaint");
}

TEST_F(MetaFileFrmTest, TheShippedGalleryHoldsPicturesThatAdd) {
  const fs::path shipped = test::ProgramDir() / kGalleryFolderName;
  ASSERT_TRUE(fs::exists(shipped / kGalleryProposal)) << shipped;
  frm.SetGalleryFolder(shipped);
  frm.FormShow(0);
  int count = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(shipped)) {
    openPaths = {entry.path()};
    Click("AddButton");
    ++count;
  }
  EXPECT_TRUE(messages.empty()) << messages.front();
  EXPECT_EQ(static_cast<int>(Ids().size()), count);
  EXPECT_GE(count, 8);
}

}  // namespace
}  // namespace dravik::pictures
