#pragma once
// The property dialog of each element kind: made once for the whole run and opened, by
// the kind of the slot, when an element is placed or double-clicked. Kinds whose dialog
// is not here open none.

#include <QList>
#include <vector>

#include "elements/ui/element_dialog.h"
#include "elements/ui/property_context.h"
#include "model/page_record.h"

class QWidget;

namespace dravik::elements {

class PropertyDialogs {
 public:
  explicit PropertyDialogs(QWidget* parent);

  // Every dialog, once, in the order the language files list them.
  const std::vector<TElementDialog*>& Dialogs() const { return dialogs_; }
  // The dialog of kind `kind`; nullptr when the kind has none.
  TElementDialog* DialogFor(int kind) const;
  // Runs the dialog of the kind in `slot`: true after OK, false after Cancel and for a kind
  // without a dialog.
  bool Open(model::PageRecord& page, int slot, const PropertyContext& context) const;

 private:
  std::vector<TElementDialog*> dialogs_;
};

}  // namespace dravik::elements
