#pragma once
// The batch-modify dialog "批量修改": what is modified (the pages or one element kind),
// which attributes, to what, and over which pages. The mode and the attribute boxes
// start afresh at every showing; the page range, colours and inputs keep their values
// while the program runs. The last batch can be taken back once from the dialog
// ("撤消批量修改"), as long as its pages were not edited since.

#include <QDialog>
#include <array>
#include <cstdint>
#include <functional>
#include <utility>

#include "tools/batch_modify.h"
#include "ui/desktop_hooks.h"

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QWidget;

namespace dravik::tools {

inline constexpr std::uint32_t kChosenColour = 65280;    // green: the chosen mode and boxes
inline constexpr std::uint32_t kPlainColour = 16513010;  // the dialog's own colour

class TBatchPerfectFrm : public QDialog {
  Q_OBJECT

 public:
  // What a run needs of the application.
  struct Project {
    model::ProjectImage* image = nullptr;
    int currentPage = 1;                        // for "当前画面"
    std::function<void()> closeAllPageWindows;  // before the pages are written
    std::function<void()> pageCountRefresh;     // the page list, and the current page reopened
  };

  explicit TBatchPerfectFrm(QWidget* parent = nullptr);

  // Boxes, questions, the colour dialog and exec() go through these.
  void SetDesktopHooks(ui::DesktopHooks hooks) { hooks_ = std::move(hooks); }

  // Shows the dialog modally. True when it changed the project (a batch ran, or the last
  // one was undone), so the caller marks the project modified.
  bool ShowFor(const Project& project);

  // Drops the undo of the last batch (the project was closed, or another was opened).
  void ForgetUndo() { undo_ = BatchUndo{}; }
  bool CanUndo() const { return !undo_.Empty(); }

  // The mode change of a click on a mode button.
  void SetMode(BatchMode mode);
  BatchOptions Options() const;

 private:
  QWidget* AttributePanel(int n, const char* caption, QWidget* input);
  QPushButton* ColourPanel(const char* name, std::uint32_t& colour);
  void PaintColour(QPushButton* panel, std::uint32_t colour);
  void ChooseColour(QPushButton* panel, std::uint32_t& colour);
  void PaintChoices();
  void SetUseCaptions();
  void RunClick();
  void UndoClick();
  void Finish();
  QString ModeCaption() const;
  std::vector<std::string> CheckedCaptions() const;

  ui::DesktopHooks hooks_;
  const Project* project_ = nullptr;
  BatchMode mode_ = BatchMode::kPages;
  bool changed_ = false;
  BatchUndo undo_;
  std::array<QRadioButton*, kBatchModeCount> modes_{};
  std::array<QWidget*, kBatchAttributeCount> panels_{};
  std::array<QCheckBox*, kBatchAttributeCount> use_{};
  std::uint32_t backColour_ = 0;
  std::uint32_t frontColour_ = 0;
  QPushButton* backPanel_ = nullptr;
  QPushButton* frontPanel_ = nullptr;
  QSpinBox* width_ = nullptr;
  QSpinBox* height_ = nullptr;
  QComboBox* frame_ = nullptr;
  QComboBox* font_ = nullptr;
  QComboBox* alignment_ = nullptr;
  QComboBox* transparent_ = nullptr;
  QComboBox* password_ = nullptr;
  QComboBox* level_ = nullptr;
  QSpinBox* firstPage_ = nullptr;
  QSpinBox* lastPage_ = nullptr;
  QPushButton* undoButton_ = nullptr;
};

}  // namespace dravik::tools
