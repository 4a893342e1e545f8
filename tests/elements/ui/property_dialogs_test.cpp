// The dialog of each kind: which kinds have one, and for each of them a freshly placed
// element survives OK without changes (but for what OK normalises) and any change
// followed by Cancel.

#include "elements/ui/property_dialogs.h"

#include "element_dialog_fixture.h"
#include "elements/element_kind.h"

namespace dravik::elements {
namespace {

class PropertyDialogsTest : public ElementDialogTest {
 protected:
  QWidget owner;
  PropertyDialogs dialogs{&owner};

  bool Open(int slot, Finish finish, const std::function<void(QDialog*)>& act = {}) {
    hooks_.execDialog = [&](QDialog* shown) {
      auto* dialog = qobject_cast<TElementDialog*>(shown);
      if (act) act(shown);
      if (finish == Finish::Ok) dialog->OkButton()->click();
      if (finish == Finish::Cancel) dialog->CancelButton()->click();
      return shown->result();
    };
    return dialogs.Open(page(), slot, Context());
  }
};

TEST_F(PropertyDialogsTest, EachKindFindsItsDialog) {
  struct Case {
    int kind;
    const char* dialog;  // nullptr: none yet
  };
  const Case cases[] = {
      {kKindText, "GroupBoxText"},
      {kKindRegister, "GroupBoxRegister"},
      {kKindLamp, "GroupBoxLamp"},
      {kKindAsciiChinese, "GroupChangingLetter"},
      {kKindBitSwitch, "GroupBoxFunBut"},
      {kKindRectangle, "GroupDrawPicture"},
      {kKindRectangleVariant4, "GroupDrawPicture"},
      {kKindScale, "GroupDrawPicture"},
      {kKindEllipse, "GroupDrawPicture"},
      {kKindLine, "GroupDrawPicture"},
      {kKindPicture, "GroupBoxBmp"},
      {kKindTrendChart, "GroupBoxCurrent"},
      {kKindBarGraph, "GroupBoxVirgate"},
      {kKindTrendChartVariant, nullptr},
      {kKindDynamicText, "GroupBoxDText"},
      {kKindFunctionKey, "GroupBoxFunKey"},
      {kKindDate, "GroupBoxDate"},
      {kKindTime, "GroupBoxDate"},
      {kKindMovingShape, nullptr},
      {kKindEmpty, nullptr},
  };
  for (const Case& c : cases) {
    TElementDialog* dialog = dialogs.DialogFor(c.kind);
    if (c.dialog == nullptr) {
      EXPECT_EQ(dialog, nullptr) << c.kind;
    } else {
      ASSERT_NE(dialog, nullptr) << c.kind;
      EXPECT_EQ(dialog->objectName(), c.dialog);
      EXPECT_EQ(dialog->parent(), &owner);
    }
  }
  EXPECT_EQ(dialogs.Dialogs().size(), 12u);
  // A kind without a dialog opens nothing and writes nothing.
  const int s = Place(kKindTextListA);
  auto expected = Copy();
  EXPECT_FALSE(Open(s, Finish::Ok));
  EXPECT_TRUE(SameBytes(*expected));
}

struct RoundTrip {
  int kind;
  std::function<void(model::PageRecord&, int)> normalised;  // what OK changes of the defaults
};

TEST_F(PropertyDialogsTest, OkWithoutChangesKeepsAPlacedElement) {
  const RoundTrip cases[] = {
      // A text is placed with a plain border, which its dialog does not keep.
      {kKindText, [](model::PageRecord& p, int s) { p.ElemWordC[s] = p.ElemWordC[s] & 0x0FF0; }},
      {kKindRegister, nullptr},
      {kKindLamp, nullptr},
      {kKindAsciiChinese, nullptr},
      {kKindBitSwitch, nullptr},
      // The movement registers show within the kind's maximum (D: 65000).
      {kKindRectangle, [](model::PageRecord& p, int s) { p.ElemLongC[s] = 65000; }},
      {kKindEllipse, [](model::PageRecord& p, int s) { p.ElemLongC[s] = 65000; }},
      {kKindScale, nullptr},
      {kKindLine, nullptr},
      {kKindPicture, nullptr},
      // The chart keeps at most 63 points; its placed label format is no list item.
      {kKindTrendChart,
       [](model::PageRecord& p, int s) {
         p.ElemWordC[s] = 63;
         p.ElemByteF[s] = 255;
       }},
      {kKindBarGraph, nullptr},
      // A dynamic text's own texts become the text of state 0, without its value.
      {kKindDynamicText,
       [](model::PageRecord& p, int s) {
         p.ElemTextA[s].Assign(Gbk("动态文字串"));
         p.ElemTextB[s].Assign("D.Text");
       }},
      // A key keeps only its check boxes and its action in the flags.
      {kKindFunctionKey, [](model::PageRecord& p, int s) { p.ElemWordD[s] = 4; }},
      // A clock takes the text of its format.
      {kKindDate, [](model::PageRecord& p, int s) { p.ElemTextA[s].Assign("YYYY-MM-DD"); }},
      {kKindTime,
       [](model::PageRecord& p, int s) { p.ElemTextA[s].Assign(Gbk("HH时MM分")); }},
  };
  for (const RoundTrip& c : cases) {
    const int s = Place(c.kind);
    auto expected = Copy();
    if (c.normalised) c.normalised(*expected, s);
    EXPECT_TRUE(Open(s, Finish::Ok)) << c.kind;
    EXPECT_TRUE(SameBytes(*expected)) << c.kind;
  }
}

TEST_F(PropertyDialogsTest, CancelAfterChangesWritesNothing) {
  nextColour_ = 0x112233;
  for (int kind :
       {kKindText, kKindRegister, kKindLamp, kKindAsciiChinese, kKindBitSwitch, kKindRectangle,
        kKindScale, kKindEllipse, kKindLine, kKindPicture, kKindTrendChart, kKindBarGraph,
        kKindDynamicText, kKindFunctionKey, kKindDate, kKindTime}) {
    const int s = Place(kind);
    auto expected = Copy();
    const bool accepted = Open(s, Finish::Cancel, [](QDialog* dialog) {
      // Every spin, list and edit of the dialog gets another value.
      for (QSpinBox* spin : dialog->findChildren<QSpinBox*>()) spin->setValue(spin->minimum() + 1);
      for (QComboBox* combo : dialog->findChildren<QComboBox*>()) {
        if (combo->count() > 1) combo->setCurrentIndex(combo->count() - 1);
      }
      for (QLineEdit* edit : dialog->findChildren<QLineEdit*>()) {
        if (qobject_cast<QAbstractSpinBox*>(edit->parent()) == nullptr) edit->setText("changed");
      }
      for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
        if (button->objectName().startsWith("Organ")) button->click();
      }
    });
    EXPECT_FALSE(accepted) << kind;
    EXPECT_TRUE(SameBytes(*expected)) << kind;
  }
}

}  // namespace
}  // namespace dravik::elements
