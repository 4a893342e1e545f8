#pragma once
// The picture library window "图形库": the project's pictures (ID and name), a preview of
// the selected one, and the commands on the library: add (from a file or from the
// gallery), replace, export (anywhere or into the gallery), delete, BMP<=>JPG conversion,
// the edits of the preview (invert, flip and rotate, stretch) with their keep-or-discard
// question, the paint program, and compaction. "确定(&Y)" hands the selected picture ID
// back to whoever opened the window (the picture element dialog). Made once for the whole
// run, shown modally.

#include <QDialog>
#include <QString>
#include <filesystem>
#include <optional>
#include <string>

#include "pictures/picture_library.h"
#include "ui/desktop_hooks.h"

class QLabel;
class QPushButton;
class QScrollArea;
class QTreeWidget;

namespace dravik::pictures {

class TBmpExtendFrm;

// The gallery of sample pictures in the program's folder.
inline constexpr char kGalleryFolderName[] = "Gallery";
inline constexpr char kGalleryProposal[] = "Bicycle.bmp";  // what "由图库添加..." proposes

class TMetaFileFrm : public QDialog {
  Q_OBJECT

 public:
  explicit TMetaFileFrm(QWidget* parent = nullptr);

  void SetHooks(ui::DesktopHooks hooks) { hooks_ = std::move(hooks); }
  // The project's library, attached by the shell; the window never opens one itself.
  void SetLibrary(PictureLibrary* library) { library_ = library; }
  // The stretch dialog made for the whole run; without one the window makes its own.
  void SetStretchForm(TBmpExtendFrm* form) { stretchForm_ = form; }
  // The gallery folder; by default "Gallery" in the program's folder.
  void SetGalleryFolder(std::filesystem::path folder) { gallery_ = std::move(folder); }
  // The desktop's paint program that "画图" starts; without one the button is hidden.
  void SetPaintProgram(const QString& program);

  // Shows the window modally with `chosenId` selected. The selected ID after "确定(&Y)";
  // `chosenId` after "取消(&N)" or when nothing is selected.
  int ChoosePicture(int chosenId);
  // What showing does before the modal loop: the texts in the interface language, the
  // list from the library, and the row of `chosenId` selected and previewed.
  void FormShow(int chosenId);
  // What the window hands back now.
  int ChosenId() const;

  int SelectedId() const { return selectedId_; }
  const RgbImage& PreviewImage() const { return preview_; }
  QString NameText() const;
  QString SizeText() const;

  // The commands, for the buttons and the tests.
  void SelectRow(int row);
  void AddClick();
  void AddFromGalleryClick();
  void ReplaceClick();
  void ExportClick();
  void ExportToGalleryClick();
  void DeleteClick();
  void ConvertClick();
  void InvertClick();
  void FlipRotateClick();
  void StretchClick();
  void PaintClick();
  void CompactClick();

  QTreeWidget* List() const { return list_; }
  QLabel* PreviewLabel() const { return previewLabel_; }
  QDialog* FlipRotatePanel() const { return flipPanel_; }
  QPushButton* Button(const char* objectName) const;

 private:
  void CreateList();
  void CreatePreview();
  void CreateButtons();
  void CreateFlipRotatePanel();

  bool Ready() const { return library_ != nullptr; }
  bool Chinese() const { return hooks_.Chinese(); }
  // The library's messages follow the interface language of the moment.
  PictureLibrary& Library();
  void ShowTexts();
  void Warn(const Bilingual& message);
  void Inform(const Bilingual& message);
  void ShowFailure(const Status& status, QMessageBox::Icon icon = QMessageBox::Warning);

  // The list from the library again, with the row of `id` selected (or the row at
  // `fallbackRow` when `id` is gone).
  void RefillAndSelect(int id, int fallbackRow = -1);
  // Loads picture `id` into the preview and the name and size panels (showPic).
  void showPic(int id);
  void ClearPreview();
  void ShowPreviewImage();
  // After an edit of the preview: keep it under a new name, or load the stored one again.
  void EditSavePic();
  // The new name of an edited picture, without extension; nothing when cancelled.
  std::optional<std::string> AskNewName(const std::string& currentName,
                                        const std::string& storedExt);
  // The file a picture should come from; empty when the user cancelled.
  QString AskPictureFile(const Bilingual& title, const QString& preset);
  void AddFrom(const QString& preset);
  void ExportWithPreset(const QString& preset);
  // Compacts the library with the window showing it is busy.
  void CompactLibrary();
  TBmpExtendFrm* StretchForm();

  ui::DesktopHooks hooks_;
  PictureLibrary* library_ = nullptr;
  TBmpExtendFrm* stretchForm_ = nullptr;
  std::filesystem::path gallery_;
  QString paintProgram_;
  int passedId_ = kNoSelection;  // the ID the window was opened with
  int selectedId_ = kNoSelection;
  RgbImage preview_;

  QTreeWidget* list_ = nullptr;
  QScrollArea* previewArea_ = nullptr;
  QLabel* previewLabel_ = nullptr;
  QLabel* namePanel_ = nullptr;
  QLabel* sizePanel_ = nullptr;
  QPushButton* compactButton_ = nullptr;
  QPushButton* paintButton_ = nullptr;
  QDialog* flipPanel_ = nullptr;
};

}  // namespace dravik::pictures
