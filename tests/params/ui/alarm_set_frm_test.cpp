#include "params/ui/alarm_set_frm.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <cstring>

#include "params/alarm_settings.h"
#include "params/ui/params_ui_support.h"
#include "platform/gbk.h"

namespace dravik::params {
namespace {

using model::At;
using namespace model::settings;
using test::Child;

class AlarmSetFrmTest : public ::testing::Test {
 protected:
  void SetUp() override {
    project.LoadLists(0);  // bit kinds "D.b" (bits inside words) and "M"
    form = std::make_unique<TAlarmSetFrm>();
    form->SetHooks(project.Hooks());
  }

  void Show() { form->FormShow(project.settings(), project.lists); }

  QString Cell(int language, int row, int column) {
    const QTableWidgetItem* item = form->Grid(language)->item(row, column);
    return item != nullptr ? item->text() : QString();
  }
  void Type(int language, int row, const QString& text) {
    form->Grid(language)->item(row, 1)->setText(text);
  }

  test::SettingsProject project;
  std::unique_ptr<TAlarmSetFrm> form;
};

TEST_F(AlarmSetFrmTest, WordBitAddressesInBothGrids) {
  At(project.settings(), kAlarmKind) = kAlarmKindWordBit;
  At(project.settings(), kAlarmStart) = 100;
  At(project.settings(), kAlarmCount) = 20;
  Show();
  EXPECT_EQ(form->KindCombo()->count(), 2);
  EXPECT_EQ(form->KindCombo()->currentIndex(), kAlarmKindWordBit);
  EXPECT_EQ(form->StartLabel()->text(), "寄存器号D.b:");
  for (int language = 0; language < 2; ++language) {
    QTableWidget* grid = form->Grid(language);
    ASSERT_EQ(grid->rowCount(), 20);
    EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), "地址");
    EXPECT_EQ(grid->horizontalHeaderItem(1)->text(), "报警信息");
    EXPECT_EQ(grid->columnWidth(1), kAlarmTextColumnWidth);
    EXPECT_EQ(Cell(language, 0, 0), "D.b100.0");
    EXPECT_EQ(Cell(language, 15, 0), "D.b100.15");
    EXPECT_EQ(Cell(language, 16, 0), "D.b101.0");
    EXPECT_EQ(Cell(language, 19, 0), "D.b101.3");
    EXPECT_FALSE(grid->item(0, 0)->flags() & Qt::ItemIsEditable);  // computed, not typed
    EXPECT_TRUE(grid->item(0, 1)->flags() & Qt::ItemIsEditable);
  }
}

TEST_F(AlarmSetFrmTest, BitKindAddressesFollowKindStartAndCount) {
  Show();
  form->KindCombo()->setCurrentIndex(kAlarmKindBit);
  form->StartSpin()->setValue(7);
  form->CountSpin()->setValue(3);
  EXPECT_EQ(form->StartLabel()->text(), "寄存器号M:");
  for (int language = 0; language < 2; ++language) {
    ASSERT_EQ(form->Grid(language)->rowCount(), 3);
    EXPECT_EQ(Cell(language, 0, 0), "M7");
    EXPECT_EQ(Cell(language, 1, 0), "M8");
    EXPECT_EQ(Cell(language, 2, 0), "M9");
  }
  project.chinese = false;
  At(project.settings(), kAlarmKind) = kAlarmKindBit;
  Show();
  EXPECT_EQ(form->Grid(1)->horizontalHeaderItem(1)->text(), "Alarm information");
  EXPECT_EQ(form->StartLabel()->text(), "Register M:");
}

TEST_F(AlarmSetFrmTest, LoweringTheCountWritesOnlyTheRowsLeft) {
  At(project.settings(), kAlarmCount) = 10;
  for (int i = 0; i < 10; ++i) {
    project.settings().ElemTextA[kAlarmTextFirst + i] = "A" + std::to_string(i);
    project.settings().ElemTextB[kAlarmTextFirst + i] = "B" + std::to_string(i);
  }
  Show();
  EXPECT_EQ(Cell(0, 9, 1), "A9");
  EXPECT_EQ(Cell(1, 9, 1), "B9");
  Type(0, 0, QStringLiteral("温度过高"));
  Type(1, 3, QStringLiteral("Over temperature"));
  form->CountSpin()->setValue(4);
  form->findChild<QPushButton*>("OkButton")->click();

  EXPECT_EQ(form->result(), QDialog::Accepted);
  EXPECT_EQ(project.saveEnabled, 1);
  const model::PageRecord& s = project.settings();
  EXPECT_EQ(At(s, kAlarmCount), 4);
  EXPECT_EQ(s.ElemTextA[100].Str(), platform::Utf8ToGbk("温度过高"));
  EXPECT_EQ(s.ElemTextB[103].Str(), "Over temperature");
  EXPECT_EQ(s.ElemTextA[103].Str(), "A3");
  for (int i = 4; i < 10; ++i)
    EXPECT_EQ(s.ElemTextA[kAlarmTextFirst + i].Str(), "A" + std::to_string(i));
}

TEST_F(AlarmSetFrmTest, TextsComeBackWhenTheCountRisesAgain) {
  Show();
  form->CountSpin()->setValue(3);
  Type(0, 2, QStringLiteral("third"));
  form->CountSpin()->setValue(1);
  form->CountSpin()->setValue(3);
  EXPECT_EQ(Cell(0, 2, 1), "third");
}

TEST_F(AlarmSetFrmTest, ConfirmingKeepsTheKindShownFromTheSettings) {
  At(project.settings(), kAlarmKind) = kAlarmKindWordBit;
  Show();
  form->ConfirmClick();
  EXPECT_EQ(At(project.settings(), kAlarmKind), kAlarmKindWordBit);
  Show();
  EXPECT_EQ(form->KindCombo()->currentIndex(), kAlarmKindWordBit);
  form->KindCombo()->setCurrentIndex(kAlarmKindBit);
  form->ConfirmClick();
  EXPECT_EQ(At(project.settings(), kAlarmKind), kAlarmKindBit);
}

TEST_F(AlarmSetFrmTest, ClearEmptiesTheRowsAndTheCountButWritesNothing) {
  At(project.settings(), kAlarmCount) = 2;
  project.settings().ElemTextA[100] = "kept";
  Show();
  const auto before = std::make_unique<model::PageRecord>(project.settings());
  form->findChild<QPushButton*>("ClearButton")->click();
  EXPECT_EQ(form->CountSpin()->value(), 0);
  EXPECT_EQ(form->Grid(0)->rowCount(), 0);
  EXPECT_EQ(std::memcmp(before.get(), &project.settings(), sizeof(model::PageRecord)), 0);
  form->CountSpin()->setValue(2);
  EXPECT_EQ(Cell(0, 0, 1), "");  // cleared, not brought back

  form->findChild<QPushButton*>("CancelButton")->click();
  EXPECT_EQ(form->result(), QDialog::Rejected);
  EXPECT_EQ(std::memcmp(before.get(), &project.settings(), sizeof(model::PageRecord)), 0);
  EXPECT_EQ(project.saveEnabled, 0);
}

TEST_F(AlarmSetFrmTest, LongTextsAreCutToFiftyBytes) {
  Show();
  form->CountSpin()->setValue(1);
  Type(0, 0, QString(30, QChar(0x8B66)));  // "警" thirty times: sixty GBK bytes
  form->ConfirmClick();
  EXPECT_EQ(project.settings().ElemTextA[100].Length(), 50u);
  EXPECT_EQ(platform::GbkToUtf8(project.settings().ElemTextA[100].View()),
            QString(25, QChar(0x8B66)).toStdString());
}

TEST_F(AlarmSetFrmTest, ShowAlarmSettingsRunsTheFormOfItsParent) {
  QWidget parent;
  EXPECT_EQ(AlarmSettingsForm(&parent), AlarmSettingsForm(&parent));
  SettingsDialogHooks hooks = project.Hooks();
  hooks.desktop.execDialog = [](QDialog* dialog) {
    auto* form = static_cast<TAlarmSetFrm*>(dialog);
    form->CountSpin()->setValue(5);
    form->findChild<QPushButton*>("OkButton")->click();
    return dialog->result();
  };
  EXPECT_TRUE(ShowAlarmSettings(&parent, *project.image, project.lists, hooks));
  EXPECT_EQ(At(project.settings(), kAlarmCount), 5);
}

}  // namespace
}  // namespace dravik::params
