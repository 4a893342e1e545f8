#pragma once
// The used-data preview: the current page's picture with every element's PLC address
// written over it, shown full screen on black at the main window's preview ratio, with a
// legend of the two links' colours at the top right. A click or its menu's "退出预览(&E)"
// (F2) closes it; "保存为 *.BMP(&S)" (F1) saves the picture at its own size.

#include <QDialog>
#include <QImage>
#include <QSize>
#include <QString>
#include <cstdint>

#include "model/page_record.h"
#include "params/device_resources.h"
#include "ui/desktop_hooks.h"

class QAction;
class QFrame;
class QLabel;

namespace dravik::editor {
class TStructureP;
}

namespace dravik::tools {

// The labels' backgrounds: navy for Link 1, dark green for Link 2 (0x00BBGGRR).
inline constexpr std::uint32_t kLink1LabelColour = 0x800000;
inline constexpr std::uint32_t kLink2LabelColour = 20736;

// The preview picture of a page of `pageSize`: (width + 1) x (height + 1), the page window's
// picture (the canvas at (5, 5)) drawn so that the page's top-left pixel lands at (1, 1),
// and each element's address label at (ElemLeft - 5, ElemTop - 5) in the window colour on
// its link's colour.
QImage UsedDataPicture(const QImage& windowPicture, QSize pageSize, const model::PageRecord& page,
                       const params::DeviceLists& lists);

// How large the picture shows at the preview ratio `zoom` ("25%", "50%", "100%", "150%",
// "200%"; anything else counts as "100%"): the page size so scaled, plus 1 each way.
QSize PreviewDisplaySize(QSize pageSize, const QString& zoom);

class TForUseDpreview : public QDialog {
  Q_OBJECT

 public:
  explicit TForUseDpreview(QWidget* parent = nullptr);

  // The interface language, the save dialog, its boxes and exec().
  void SetHooks(ui::DesktopHooks hooks) { hooks_ = std::move(hooks); }

  // "预览画面使用数据": the preview of the page `window` shows, at ratio `zoom`; nothing
  // stays selected in the window. Full screen and modal until clicked.
  void ShowPreview(editor::TStructureP& window, const params::DeviceLists& lists,
                   const QString& zoom);
  // The preview built from a page window's picture (`windowPicture`, the canvas at
  // (5, 5)), the page it shows and its background colour (the legend's), without showing.
  void Fill(const QImage& windowPicture, QSize pageSize, const model::PageRecord& page,
            std::uint32_t background, const params::DeviceLists& lists, const QString& zoom);

  // "保存为 *.BMP(&S)": the picture at its own size, with its labels, into a bitmap file the
  // user names (PageNumberText + "号画面D" / "#Window_D").
  void SaveBmpClick();

  const QImage& Picture() const { return picture_; }
  QSize DisplaySize() const { return displaySize_; }
  QFrame* LegendPanel() const { return legend_; }
  QAction* ExitAction() const { return exit_; }
  QAction* SaveAction() const { return save_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void PlaceLegend();

  QFrame* legend_ = nullptr;  // Panel1
  QLabel* link1_ = nullptr;   // Label1
  QLabel* link2_ = nullptr;   // Label2
  QAction* exit_ = nullptr;   // ExitPreview1
  QAction* save_ = nullptr;   // SaveBmp1

  ui::DesktopHooks hooks_;
  QImage picture_;
  QSize displaySize_;
  QString pageNumberText_;
};

}  // namespace dravik::tools
