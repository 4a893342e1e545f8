#pragma once
// The multiple-copy dialog "多重复制": how many elements per row and column, the gaps
// between them, whether the address rises from copy to copy and in which order the array
// is filled. Created once; its values stay between openings while the program runs.

#include <QDialog>
#include <functional>
#include <optional>
#include <utility>

#include "editor/page_geometry.h"
#include "model/page_record.h"
#include "tools/multiple_copy.h"
#include "ui/desktop_hooks.h"

class QCheckBox;
class QProgressBar;
class QRadioButton;
class QSpinBox;

namespace dravik::tools {

class TMulripleCopyFrm : public QDialog {
  Q_OBJECT

 public:
  // What a run needs of the page window the selected element is on.
  struct Target {
    // Copies the selected element to the clipboard (the work file and the marker, as
    // Copy does) and gives the clipboard page, now holding the element's page; nothing
    // when the copy failed, which the callee has reported.
    std::function<model::PageRecord*()> copySelected;
    int sourceSlot = 0;                            // the selected element's slot
    model::PageRecord* page = nullptr;             // the page in the window
    editor::PageSize pageSize;                     // its canvas
    AddressStepRules rules;                        // the project's device lists and protocols
    std::function<void(int slot)> elementCreated;  // makes the new element's widget
    std::function<void()> snapshot;                // the page window's undo snapshot
  };

  explicit TMulripleCopyFrm(QWidget* parent = nullptr);

  // Boxes, questions, the colour dialog and exec() go through these.
  void SetDesktopHooks(ui::DesktopHooks hooks) { hooks_ = std::move(hooks); }

  // Shows the dialog modally; on "确认(&Y)" copies the element into the array, shows the
  // no-free-slot warning once if the page filled up, takes the snapshot and closes. The
  // outcome of the run; nothing when the dialog was closed without one.
  std::optional<MultipleCopyOutcome> ShowFor(const Target& target);

  MultipleCopyOptions Options() const;

 private:
  void Prepare();
  void FollowIncrement();
  void Run();

  ui::DesktopHooks hooks_;
  QSpinBox* perRow_ = nullptr;
  QSpinBox* perColumn_ = nullptr;
  QSpinBox* horizontalGap_ = nullptr;
  QSpinBox* verticalGap_ = nullptr;
  QCheckBox* increase_ = nullptr;
  QRadioButton* rows_ = nullptr;
  QRadioButton* columns_ = nullptr;
  QProgressBar* progress_ = nullptr;
  const Target* target_ = nullptr;
  std::optional<MultipleCopyOutcome> outcome_;
};

}  // namespace dravik::tools
