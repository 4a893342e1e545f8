#pragma once
// The register search window "寄存器查找": every element of the used pages that refers to
// one PLC address, chosen by category (word, bit, station ID), link, device kind and
// address. Not modal: it stays above the main window beside the editor, and its list is a
// snapshot of the moment of the search. A double-click on a row asks for the element.

#include <QDialog>
#include <QIcon>
#include <vector>

#include "model/project_image.h"
#include "params/device_resources.h"
#include "tools/register_search.h"
#include "ui/desktop_hooks.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace dravik::tools {

class AddressKeys;

// The result list's columns; the slot column is kept but not shown.
enum LookupColumn { kLookupColumnPage = 0, kLookupColumnKind = 1, kLookupColumnSlot = 2 };

class TLookupFrm : public QDialog {
  Q_OBJECT

 public:
  explicit TLookupFrm(QWidget* parent = nullptr);

  // The interface language (its isChinese) and nothing else is asked of the hooks.
  void SetHooks(ui::DesktopHooks hooks) { hooks_ = std::move(hooks); }
  // What the search reads: the project image and its links' device lists, both living
  // as long as the window (the lists are refilled in place when the protocols change).
  void Attach(const model::ProjectImage& project, const params::DeviceLists& lists);
  // The icon every result row shows.
  void SetRowIcon(const QIcon& icon) { rowIcon_ = icon; }

  // "寄存器查找(&L)": the show steps, then the window shows above its parent with the
  // focus on the address.
  void ShowLookup();
  // The show steps: captions in the interface language, the links refilled with Link 1
  // chosen, the device kinds of the category, the list emptied.
  void FormShow();
  // The category, the link or the device kind changed: the device kinds, the address
  // maximum, its number base and hint follow.
  void OrganSortChange();
  // Leaving the address or Enter: an empty address is 0, one above the maximum the
  // maximum.
  void CompleteAddressText();
  // "查找(&F)": completes the address and lists the matches; the caption gives their total.
  void Button1Click();
  // A double-click on result row `row`: the jump to its element, unless its page has
  // been deleted since the search.
  void ListView1DblClick(int row);

  const std::vector<SearchMatch>& Matches() const { return matches_; }
  const AddressField& Field() const { return field_; }
  QComboBox* CategoryBox() const { return category_; }
  QComboBox* LinkBox() const { return link_; }
  QComboBox* DeviceBox() const { return device_; }
  QLineEdit* AddressEdit() const { return address_; }
  QPushButton* FindButton() const { return find_; }
  QTreeWidget* List() const { return list_; }

 signals:
  // The element in `slot` of page `page` is to be shown in its page window.
  void jumpRequested(int page, int slot);

 private:
  SearchCategory Category() const;
  void SetTexts(bool isChinese);
  void FillLinks();

  QComboBox* category_ = nullptr;  // ComboBox1
  QComboBox* link_ = nullptr;      // ComboBox9
  QComboBox* device_ = nullptr;    // OrganSort
  QLineEdit* address_ = nullptr;   // Edit1
  QPushButton* find_ = nullptr;    // Button1
  QTreeWidget* list_ = nullptr;    // ListView1
  AddressKeys* keys_ = nullptr;    // Edit1's key filter

  ui::DesktopHooks hooks_;
  const model::ProjectImage* project_ = nullptr;
  const params::DeviceLists* lists_ = nullptr;
  QIcon rowIcon_;
  AddressField field_;
  std::vector<SearchMatch> matches_;
  bool placed_ = false;
};

}  // namespace dravik::tools
