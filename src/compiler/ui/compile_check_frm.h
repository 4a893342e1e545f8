#pragma once
// The compile check window "编译失败", docked in the main window: one row per element
// whose registers do not exist on the chosen PLC, a summary above the list, the row's
// hint in the status bar on a click, and its page on a double-click. Its visibility
// after StartCheck is the check's verdict: while it shows a list, compiling stops.

#include <QDockWidget>
#include <functional>
#include <vector>

#include "compiler/compile_check.h"
#include "ui/desktop_hooks.h"
#include "model/project_image.h"
#include "params/device_resources.h"

class QLabel;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace dravik::compiler {

// The list's columns; the slot column is kept but not shown.
enum CheckColumn { kColumnPage = 0, kColumnKind = 1, kColumnSlot = 2, kColumnMessage = 3 };

class TCompileCheckFrm : public QDockWidget {
  Q_OBJECT

 public:
  explicit TCompileCheckFrm(QWidget* parent = nullptr);

  // Its boxes, and its hints in the main window's status panel 0.
  void SetDesktopHooks(ui::DesktopHooks desktop) { desktop_ = std::move(desktop); }
  // Opens the keyboard LED dialog; called after the keyboard settings were lowered.
  void SetKeyboardDialog(std::function<void()> open) { keyboardDialog_ = std::move(open); }

  // Closes the window, runs the check in the interface language, shows its messages and,
  // when elements failed, the list. Lowered keyboard settings are written into `project`.
  CheckReport StartCheck(model::ProjectImage& project, const params::DeviceLists& lists,
                         bool isChinese);
  // The interface language changed (after the language file was applied): the column
  // headers and the summary with its count follow it. The rows keep the language of the
  // check that made them until the next check.
  void SetLanguage(bool isChinese);
  // The window shows a list of errors (the callers stop their command).
  bool ErrorsShown() const { return !isHidden(); }

  const std::vector<CheckRow>& Rows() const { return rows_; }
  QTreeWidget* List() const { return list_; }
  QLabel* SummaryLabel() const { return label_; }

  // A click on row `row`: its hint on the list and in status panel 0.
  void ListView1Click(int row);
  // A double-click: the row's page (and element) is asked for.
  void ListView1DblClick(int row);

 signals:
  void pageRequested(int page);
  void elementRequested(int page, int slot);

 private:
  void SetHeaders(bool isChinese);
  void Fill(bool isChinese);

  QLabel* label_ = nullptr;
  QTreeWidget* list_ = nullptr;
  QToolButton* close_ = nullptr;
  std::vector<CheckRow> rows_;
  ui::DesktopHooks desktop_;
  std::function<void()> keyboardDialog_;
};

}  // namespace dravik::compiler
