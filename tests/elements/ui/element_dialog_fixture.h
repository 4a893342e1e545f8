#pragma once
// What the element dialog tests share: a page of a new project (240 x 320), register-kind
// lists made by hand, desktop hooks that record boxes and answer the colour chooser, and
// a way to run a dialog on a slot with the test acting as the user before OK or Cancel.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "elements/ghost_size_table.h"
#include "elements/placement.h"
#include "elements/ui/element_dialog.h"
#include "elements/ui/property_context.h"
#include "model/settings_page.h"
#include "platform/gbk.h"
#include "support/qt_app.h"

namespace dravik::elements {

// Failures show QStrings as text.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

// How the test leaves the dialog after acting.
enum class Finish { Ok, Cancel, Nothing };

inline std::string Gbk(std::string_view utf8) {
  return platform::Utf8ToGbk(utf8);
}

class ElementDialogTest : public test::QtTest {
 protected:
  ElementDialogTest()
      : page_(std::make_unique<model::PageRecord>()),
        settings_(std::make_unique<model::PageRecord>()) {
    model::ApplySettingsDefaults(*settings_);
    // Link 1: words D, R; bits D.b (bits 0..15), M (plain), X (hexadecimal).
    // Link 2: words 4X, 3X; bits 0X (plain), 4X.b (bits 0..15).
    lists_.W_DeviceName = {"D", "R"};
    lists_.W_DeviceMax = {"65000", "32767"};
    lists_.B_DeviceName = {"D.b", "M", "X"};
    lists_.B_DeviceBit = {"15", "0", "-1"};
    lists_.B_DeviceMax = {"65000", "8191", "2047"};
    lists_.W_DeviceName2 = {"4X", "3X"};
    lists_.W_DeviceMax2 = {"9999", "500"};
    lists_.B_DeviceName2 = {"0X", "4X.b"};
    lists_.B_DeviceBit2 = {"0", "15"};
    lists_.B_DeviceMax2 = {"4000", "9999"};
    lists_.LinkUseCount = {"Link 1", "Link 2"};
    hooks_.message = [this](const QString&, const QString& text, QMessageBox::Icon) {
      messages_.push_back(text.toStdString());
    };
    hooks_.isChinese = [this] { return chinese_; };
    hooks_.chooseColour = [this](std::uint32_t current, QWidget*) -> std::optional<std::uint32_t> {
      chooserStartedFrom_ = current;
      return nextColour_;
    };
    // A jump-target list of 256 positions: "当前页", then one text per page number.
    jumpTargets_.push_back("当前页");
    for (int page = 1; page <= 255; ++page) jumpTargets_.push_back(std::to_string(page) + ": ÷÷÷÷÷÷");
  }

  model::PageRecord& page() { return *page_; }

  // An element of `kind` placed as the editor places it, at window point (x, y).
  int Place(int kind, int x = 25, int y = 35) {
    const GhostSize size = GhostSizeTable(kind, At(*settings_, model::settings::kDefaultTextFont));
    return *PlaceElement(*page_, *settings_, {kind, x, y, size.width, size.height, 0x00ABCDEF});
  }

  PropertyContext Context() {
    PropertyContext context;
    context.hooks = &hooks_;
    context.lists = &lists_;
    context.pageWidth = 240;
    context.pageHeight = 320;
    context.panelKeys = panelKeys_;
    context.jumpTargets = jumpTargets_;
    context.deviceHelp = [this](int link) { helpLinks_.push_back(link); };
    return context;
  }

  // Runs `dialog` on `slot`: `act` is what the user does while it is open, then OK or
  // Cancel is pressed. True when the dialog closed with OK.
  bool Run(TElementDialog& dialog, int slot, const std::function<void()>& act = {},
           Finish finish = Finish::Ok) {
    hooks_.execDialog = [&](QDialog* shown) {
      if (act) act();
      if (finish == Finish::Ok) dialog.OkButton()->click();
      if (finish == Finish::Cancel) dialog.CancelButton()->click();
      return shown->result();
    };
    return dialog.Edit(*page_, slot, Context());
  }

  // The page as it was, for comparing byte for byte after a dialog.
  std::unique_ptr<model::PageRecord> Copy() const {
    return std::make_unique<model::PageRecord>(*page_);
  }
  bool SameBytes(const model::PageRecord& expected) const {
    return std::memcmp(page_.get(), &expected, sizeof(model::PageRecord)) == 0;
  }

  // Types into a spin box's edit and leaves it, as a user does.
  static void TypeAndLeave(QAbstractSpinBox* spin, const QString& text) {
    spin->findChild<QLineEdit*>()->selectAll();
    // The first key typed replaces the selection; an empty text is the selection deleted.
    if (text.isEmpty()) QTest::keyClick(spin, Qt::Key_Backspace);
    QTest::keyClicks(spin, text);
    QTest::keyClick(spin, Qt::Key_Tab);
    spin->interpretText();
  }
  static QString Shown(QAbstractSpinBox* spin) { return spin->findChild<QLineEdit*>()->text(); }

  std::unique_ptr<model::PageRecord> page_;
  std::unique_ptr<model::PageRecord> settings_;
  params::DeviceLists lists_;
  ui::DesktopHooks hooks_;
  bool chinese_ = true;
  std::vector<std::string> messages_;
  std::optional<std::uint32_t> nextColour_;
  std::uint32_t chooserStartedFrom_ = 0;
  std::vector<std::string> panelKeys_;
  std::vector<std::string> jumpTargets_;
  std::vector<int> helpLinks_;
};

}  // namespace dravik::elements
