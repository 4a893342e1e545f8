#pragma once
// The element statistics window: how many elements of each kind the current page holds,
// the page's caption above two columns of kind names and counts, and their sum. It has no
// border and takes the size of its contents; a click or its menu's "退出预览(&E)" (F4)
// closes it, "保存为 *.BMP(&S)" (F1) saves its picture.

#include <QDialog>
#include <QImage>
#include <QString>

#include "model/project_image.h"
#include "tools/element_statistics.h"
#include "ui/desktop_hooks.h"

class QAction;
class QLabel;

namespace dravik::tools {

class TCountStatFrm : public QDialog {
  Q_OBJECT

 public:
  explicit TCountStatFrm(QWidget* parent = nullptr);

  // The interface language, the save dialog, its boxes and exec().
  void SetHooks(ui::DesktopHooks hooks) { hooks_ = std::move(hooks); }

  // "元件统计": counts page `page` (1..240) afresh and shows the window modally,
  // centred on the screen.
  void ShowStatistics(const model::ProjectImage& project, int page);
  // The counting and the texts, without showing.
  void Fill(const model::ProjectImage& project, int page);

  // "保存为 *.BMP(&S)": the window's picture into a bitmap file the user names
  // (PageNumberText + "号画面统计信息" / "#Window Info").
  void SaveBmpClick();
  // The window as it shows.
  QImage Picture();

  const PageStatistics& Statistics() const { return statistics_; }
  QLabel* TitleLabel() const { return title_; }
  QLabel* NamesLabel() const { return names_; }
  QLabel* CountsLabel() const { return counts_; }
  QAction* ExitAction() const { return exit_; }
  QAction* SaveAction() const { return save_; }

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  QLabel* title_ = nullptr;   // Label1: the page caption
  QLabel* names_ = nullptr;   // Label2: the kind names, then "Sum:"
  QLabel* counts_ = nullptr;  // Label3: their counts, then the sum
  QAction* exit_ = nullptr;   // ExitPreview1
  QAction* save_ = nullptr;   // SaveBmp1

  ui::DesktopHooks hooks_;
  PageStatistics statistics_;
  QString pageNumberText_;
};

}  // namespace dravik::tools
