// The simulator's window on a small compiled project: the keys named for the panel model,
// keys and touches changing the page, the clock, the LEDs, entries typed on the digit
// keys, the register window, the register file beside the image and the screen's scale.

#include "sim/ui/tolvesk_window.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <algorithm>
#include <fstream>
#include <mutex>
#include <sstream>

#include "elements/element_fields.h"
#include "elements/element_kind.h"
#include "emulators/emulated_line.h"
#include "emulators/modbus_slave_emulator.h"
#include "model/settings_page.h"
#include "params/device_resources.h"
#include "sim/register_names.h"
#include "sim/sim_test_project.h"
#include "sim/simulator_start.h"
#include "sim/ui/register_window.h"
#include "support/qt_app.h"

namespace dravik::sim {
namespace {

namespace el = elements;
using namespace model::settings;

// Protocol 1 ("Modbus RTU Master"): word kinds 4X 3X D T C, bit kinds 4X.b 0X 1X X Y M S T.
constexpr std::uint8_t kWordD = 0x20;  // operand byte: word kind 2, 16 bits
// The image keeps two bits of a bit operand's kind, so a switch on the panel reaches the
// first four bit kinds only.
constexpr std::uint8_t kBit0X = 0x10;  // operand byte: bit kind 1, bit 0
constexpr WordAddress D(std::uint32_t n) {
  return {0, 2, n};
}
constexpr WordAddress Word4X(std::uint32_t n) {
  return {0, 0, n};
}
constexpr BitAddress Coil(std::uint32_t n) {
  return {0, 1, n, 0};
}

constexpr int kDown = 7;
constexpr int kDigit0 = 12;

std::string ReadText(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

bool LedLit(const QLabel* led) {
  return led->styleSheet().contains(QStringLiteral("#20d020"));
}

class TolveskWindowTest : public dravik::test::QtTest {
 protected:
  TolveskWindowTest() {
    project_.UsePage(1);
    project_.UsePage(2);
    At(project_.Settings(), kInitialPage) = 1;
    At(project_.Settings(), kLink1Protocol) = 1;
    At(project_.Settings(), kLedRegister) = 2100;
    entry_ = project_.Place(1, el::kKindRegister, 10, 10, 60, 24);
    el::RegisterElement reg(Page(1), entry_);
    reg.registerNumber() = 100;
    reg.operandByte() = kWordD;
    reg.digitsAndDecimals() = 4 << 8;
    reg.inputAllowed() = 1;
    reg.lowerLimit() = 10;
    reg.upperLimit() = 500;
    const int key = project_.Place(1, el::kKindFunctionKey, 100, 100, 60, 30);
    el::FunctionKeyElement(Page(1), key).options() = 4;  // page jump
    el::FunctionKeyElement(Page(1), key).jumpPage() = 2;
    switch_ = project_.Place(1, el::kKindBitSwitch, 200, 10, 60, 30);
    el::BitSwitchElement(Page(1), switch_).registerNumber() = 1;
    el::BitSwitchElement(Page(1), switch_).operandByte() = kBit0X;
    el::BitSwitchElement(Page(1), switch_).action() = 3;  // alternate
    model::PageKeyJump(Page(1), 1).Assign("2");           // F2 on page 1 leads to page 2
    model::PageKeyJump(Page(2), 0).Assign("1");           // F1 on page 2 leads back
    desktop_.isChinese = [] { return false; };
    desktop_.message = [this](const QString&, const QString& text, QMessageBox::Icon) {
      messages_ << text;
    };
  }

  model::PageRecord& Page(int number) { return project_.Project().Page(number); }

  // The window running the project compiled to QX.bin, as Dravik's F9 starts it.
  std::unique_ptr<TTolveskForm> Open() {
    if (image_.empty()) image_ = project_.WriteImage();
    auto window = std::make_unique<TTolveskForm>(desktop_, WindowOptions{});
    Result<PanelSession> session =
        StartFromFile(image_, dravik::test::ProgramDir() / params::kDeviceResourcesFile);
    EXPECT_TRUE(session) << (session ? "" : session.message());
    if (session) window->Run(image_, std::move(*session));
    return window;
  }

  static void Click(TTolveskForm& window, int key) { window.KeyButton(key)->click(); }

  test::TestProject project_;
  std::filesystem::path image_;
  ui::DesktopHooks desktop_;
  QStringList messages_;
  int entry_ = 0;
  int switch_ = 0;
};

TEST_F(TolveskWindowTest, KeyCaptionsFollowThePanelModel) {
  struct Case {
    int model;
    const char* sixth;
    const char* monitor;
    const char* diagnosis;
  };
  for (const Case& c : {Case{0, "CLR", "HOME", "ALM"}, Case{3, "F6", "监视", "诊断"}}) {
    At(project_.Settings(), kPanelModel) = static_cast<std::uint16_t>(c.model);
    image_.clear();
    const auto window = Open();
    EXPECT_EQ(window->KeyButton(0)->text(), QStringLiteral("F1")) << c.model;
    EXPECT_EQ(window->KeyButton(5)->text(), QString::fromUtf8(c.sixth)) << c.model;
    EXPECT_EQ(window->KeyButton(10)->text(), QString::fromUtf8(c.monitor)) << c.model;
    EXPECT_EQ(window->KeyButton(11)->text(), QString::fromUtf8(c.diagnosis)) << c.model;
    EXPECT_EQ(window->KeyButton(kDigit0 + 7)->text(), QStringLiteral("7"));
    EXPECT_EQ(window->KeyButton(kKeyEnter)->text(), QStringLiteral("ENT"));
    EXPECT_EQ(window->KeyButton(kKeyEscape)->text(), QStringLiteral("ESC"));
    EXPECT_EQ(window->KeyButton(5)->accessibleName(), window->KeyButton(5)->text());
  }
}

TEST_F(TolveskWindowTest, KeysAndTouchesChangeThePageAndTheScreenFollows) {
  const auto window = Open();
  ASSERT_NE(window->Session(), nullptr);
  EXPECT_EQ(window->Session()->PageNumber(), 1);
  EXPECT_TRUE(window->StatusLine()->text().contains(QStringLiteral("Page 1")));
  const QImage first = window->Screen()->Picture();

  Click(*window, 1);  // F2
  EXPECT_EQ(window->Session()->PageNumber(), 2);
  EXPECT_TRUE(window->StatusLine()->text().contains(QStringLiteral("Page 2")));
  EXPECT_NE(window->Screen()->Picture(), first) << "the screen shows the new page";
  Click(*window, 0);  // F1 on page 2
  EXPECT_EQ(window->Session()->PageNumber(), 1);
  EXPECT_EQ(window->Screen()->Picture(), first);

  // The function key at page pixels (100, 100)..(160, 130), touched with the mouse.
  QTest::mouseClick(window->Screen(), Qt::LeftButton, {}, QPoint(120, 110));
  EXPECT_EQ(window->Session()->PageNumber(), 2);
  // At scale 2 the same page point lies twice as far from the corner.
  Click(*window, 0);
  window->SetScale(2);
  QTest::mouseClick(window->Screen(), Qt::LeftButton, {}, QPoint(240, 220));
  EXPECT_EQ(window->Session()->PageNumber(), 2);
  // Both widget pixels of the key's last page pixel (159, 129) touch the key, the ones
  // just past it do not.
  for (const auto& [at, inside] : {std::pair{QPoint(319, 259), true},
                                   {QPoint(318, 258), true},
                                   {QPoint(320, 259), false},
                                   {QPoint(319, 260), false}}) {
    Click(*window, 0);
    ASSERT_EQ(window->Session()->PageNumber(), 1);
    QTest::mouseClick(window->Screen(), Qt::LeftButton, {}, at);
    EXPECT_EQ(window->Session()->PageNumber(), inside ? 2 : 1) << at.x() << ", " << at.y();
  }
}

TEST_F(TolveskWindowTest, TheKeyboardPressesThePanelKeys) {
  const auto window = Open();
  QTest::keyClick(window.get(), Qt::Key_F2);
  EXPECT_EQ(window->Session()->PageNumber(), 2);
  QTest::keyClick(window.get(), Qt::Key_F1);
  EXPECT_EQ(window->Session()->PageNumber(), 1);
  QTest::keyClick(window.get(), Qt::Key_Down);
  QTest::keyClick(window.get(), Qt::Key_Return);
  ASSERT_TRUE(window->Session()->PendingEntry());
  QTest::keyClick(window.get(), Qt::Key_4);
  QTest::keyClick(window.get(), Qt::Key_2);
  EXPECT_FALSE(window->KeyButton(kDigit0 + 2)->isDown()) << "released with the key";
  QTest::keyClick(window.get(), Qt::Key_Enter);
  EXPECT_EQ(window->Session()->Memory().Word(D(100)), 42);
  QTest::keyClick(window.get(), Qt::Key_Return);
  QTest::keyClick(window.get(), Qt::Key_Escape);
  EXPECT_FALSE(window->Session()->PendingEntry());
}

TEST_F(TolveskWindowTest, StepMovesTheClockAndTheScreenShowsIt) {
  project_.Place(1, el::kKindTime, 10, 200, 150, 24);
  const auto window = Open();
  const auto texts = [&] {
    const Screen screen = window->Session()->BuildScreen();
    std::vector<std::string> shown;
    for (int slot = 0; slot < model::kSlotCount; ++slot) {
      if (screen.page->ElemKind[static_cast<std::size_t>(slot)] != 0) {
        shown.push_back(screen.page->ElemTextA[static_cast<std::size_t>(slot)].Str());
      }
    }
    return shown;
  };
  const auto before = texts();
  const QImage shown = window->Screen()->Picture();
  window->Step(60'000);  // the element shows hours and minutes
  EXPECT_NE(texts(), before) << "a minute has passed on the panel's clock";
  EXPECT_NE(window->Screen()->Picture(), shown) << "the screen shows the new time";
}

TEST_F(TolveskWindowTest, ThePlcsPageRequestIsFollowedAsTimePassesAndLedRegistersLightTheLeds) {
  At(project_.Settings(), kFollowPageRegister) = 1;
  At(project_.Settings(), kPageSelectRegister) = 400;
  const auto window = Open();
  // The page the PLC asks for is followed only as time passes.
  window->Session()->Memory().SetWord(Word4X(400), 2);
  EXPECT_EQ(window->Session()->PageNumber(), 1);
  window->Step(100);
  EXPECT_EQ(window->Session()->PageNumber(), 2);

  for (int led = 0; led < kLedCount; ++led) EXPECT_FALSE(LedLit(window->Led(led))) << led;
  window->Session()->Memory().SetWord(Word4X(2100), 0x0004);
  window->Session()->Memory().SetWord(Word4X(2101), 0x8000);
  window->Step(20);
  for (int led = 0; led < kLedCount; ++led) {
    EXPECT_EQ(LedLit(window->Led(led)), led == 2 || led == 31) << led;
  }
  EXPECT_EQ(window->Led(2)->accessibleName(), QStringLiteral("LED02"));
}

TEST_F(TolveskWindowTest, AnEntryTypedOnTheDigitKeysReachesTheRegisterWithinItsLimits) {
  const auto window = Open();
  Click(*window, kDown);  // the focus on the entry field
  Click(*window, kKeyEnter);
  ASSERT_TRUE(window->Session()->PendingEntry());
  for (int digit : {6, 0, 0}) Click(*window, kDigit0 + digit);
  EXPECT_TRUE(window->StatusLine()->text().contains(QStringLiteral("Entry 600 (10 ~ 500)")))
      << window->StatusLine()->text().toStdString();
  Click(*window, kKeyEnter);
  EXPECT_EQ(window->Session()->Memory().Word(D(100)), 0);
  EXPECT_TRUE(window->StatusLine()->text().contains(QStringLiteral("Outside the limits 10 ~ 500")))
      << window->StatusLine()->text().toStdString();
  ASSERT_TRUE(window->Session()->PendingEntry()) << "the entry stays open to be corrected";

  Click(*window, kKeyEscape);
  Click(*window, kKeyEnter);
  for (int digit : {4, 2}) Click(*window, kDigit0 + digit);
  Click(*window, kKeyEnter);
  EXPECT_EQ(window->Session()->Memory().Word(D(100)), 42);
  EXPECT_FALSE(window->Session()->PendingEntry());
  EXPECT_FALSE(window->StatusLine()->text().contains(QStringLiteral("Outside")));
}

TEST_F(TolveskWindowTest, TheDesktopKeyboardEditsAnOpenEntryWithBackspaceTheSignAndThePoint) {
  const auto window = Open();
  QTest::keyClick(window.get(), Qt::Key_Down);
  QTest::keyClick(window.get(), Qt::Key_Return);
  ASSERT_TRUE(window->Session()->PendingEntry());
  for (Qt::Key key : {Qt::Key_4, Qt::Key_2, Qt::Key_3, Qt::Key_Backspace, Qt::Key_Minus}) {
    QTest::keyClick(window.get(), key);
  }
  EXPECT_EQ(window->Session()->PendingEntry()->typed, "-42");
  QTest::keyClick(window.get(), Qt::Key_Minus);  // the sign toggles
  QTest::keyClick(window.get(), Qt::Key_Period);
  QTest::keyClick(window.get(), Qt::Key_Period);  // one point only
  EXPECT_EQ(window->Session()->PendingEntry()->typed, "42.");
  QTest::keyClick(window.get(), Qt::Key_Backspace);
  QTest::keyClick(window.get(), Qt::Key_Return);
  EXPECT_EQ(window->Session()->Memory().Word(D(100)), 42);
  EXPECT_FALSE(window->Session()->PendingEntry());
}

TEST_F(TolveskWindowTest, TheRegisterWindowWatchesEditsAndTogglesAndTheScreenFollows) {
  const auto window = Open();
  window->RegistersClick();
  auto* registers = window->findChild<TRegisterFrm*>(QStringLiteral("TRegisterFrm"));
  ASSERT_NE(registers, nullptr);
  EXPECT_FALSE(registers->AddWatch(QStringLiteral("Q7")));
  EXPECT_EQ(messages_.size(), 1) << "a name that is no register is refused with a message";
  ASSERT_TRUE(registers->AddWatch(QStringLiteral("D100")));
  ASSERT_TRUE(registers->AddWatch(QStringLiteral("0X1")));
  ASSERT_EQ(registers->Table()->rowCount(), 2);
  EXPECT_EQ(registers->Table()->item(0, 0)->text(), QStringLiteral("D100"));

  const QImage before = window->Screen()->Picture();
  ASSERT_TRUE(registers->SetValue(0, QStringLiteral("1F"), true));
  EXPECT_EQ(window->Session()->Memory().Word(D(100)), 0x1F);
  EXPECT_EQ(registers->Table()->item(0, 1)->text(), QStringLiteral("31"));
  EXPECT_EQ(registers->Table()->item(0, 2)->text(), QStringLiteral("0x001F"));
  EXPECT_EQ(
      window->Session()->BuildScreen().page->ElemTextA[static_cast<std::size_t>(entry_)].Str(),
      "31");
  const QImage shown = window->Screen()->Picture();
  EXPECT_NE(shown, before) << "the screen shows the new value at once";
  EXPECT_FALSE(registers->SetValue(0, QStringLiteral("zz"), true));
  EXPECT_EQ(window->Session()->Memory().Word(D(100)), 0x1F) << "a bad value changes nothing";

  // A double click on the bit's value, as the mouse gives it; the editor it may open
  // leaves the toggled bit as it is when it closes.
  QTableWidget* table = registers->Table();
  const QRect cell = table->visualItemRect(table->item(1, 1));
  QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());  // selects the row
  QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
  table->setCurrentCell(0, 0);
  QApplication::processEvents();
  EXPECT_TRUE(window->Session()->Memory().Bit(Coil(1)));
  EXPECT_EQ(registers->Table()->item(1, 1)->text(), QStringLiteral("1"));
  const Screen screen = window->Session()->BuildScreen();
  EXPECT_NE(std::find(screen.onSlots.begin(), screen.onSlots.end(), switch_), screen.onSlots.end());
  EXPECT_NE(window->Screen()->Picture(), shown) << "the switch shows its ON appearance";
  emit registers->Table()->cellDoubleClicked(1, 0);
  EXPECT_FALSE(window->Session()->Memory().Bit(Coil(1)));
}

TEST_F(TolveskWindowTest, TheRegistersAreKeptBesideTheImageBetweenRuns) {
  {
    const auto window = Open();
    window->Session()->Memory().SetWord(D(100), 321);
    window->Session()->Memory().SetBit(Coil(1), true);
    window->close();
  }
  const std::filesystem::path kept = RegisterFilePath(image_);
  ASSERT_TRUE(std::filesystem::exists(kept));
  const std::string text = ReadText(kept);
  EXPECT_NE(text.find("D100=321"), std::string::npos) << text;

  const auto window = Open();
  EXPECT_EQ(window->Session()->Memory().Word(D(100)), 321);
  EXPECT_TRUE(window->Session()->Memory().Bit(Coil(1)));
  EXPECT_EQ(
      window->Session()->BuildScreen().page->ElemTextA[static_cast<std::size_t>(entry_)].Str(),
      "321");
}

TEST_F(TolveskWindowTest, ADamagedLineOfTheRegisterFileCostsThatLineOnlyAndIsReported) {
  image_ = project_.WriteImage();
  const std::string kept = "# kept\nD100=12\nD101=banana\n0X1=ON\n";
  dravik::test::WriteAll(RegisterFilePath(image_),
                         std::vector<std::uint8_t>(kept.begin(), kept.end()));
  const auto window = Open();
  EXPECT_EQ(window->Session()->Memory().Word(D(100)), 12);
  EXPECT_TRUE(window->Session()->Memory().Bit(Coil(1)));
  EXPECT_TRUE(window->StatusLine()->text().contains(QStringLiteral("Line 3: ")))
      << window->StatusLine()->text().toStdString();
}

TEST_F(TolveskWindowTest, AnImageThatDoesNotStartLeavesTheWindowSayingWhy) {
  TTolveskForm window(desktop_, WindowOptions{});
  window.ShowStartFailure("/nowhere/QX.bin",
                          Error{Bilingual{"找不到", "Not found: /nowhere/QX.bin"}});
  EXPECT_EQ(window.Session(), nullptr);
  EXPECT_TRUE(window.StatusLine()->text().contains(QStringLiteral("Not found: /nowhere/QX.bin")));
  window.Step(100);  // nothing runs, nothing breaks
  window.KeyButton(0)->click();
  window.RegistersClick();
  EXPECT_FALSE(window.StartOnline("/dev/null"));
}

TEST_F(TolveskWindowTest, OnLineTheScreenShowsThePlcAndItsRegistersAreNotKept) {
  dravik::test::ModbusSlaveEmulator slave;
  dravik::test::EmulatedLine line(slave);
  if (!line.ok()) GTEST_SKIP() << "no pseudo-terminals here";
  {
    std::lock_guard lock(line.Mutex());
    slave.Holding(100) = 4321;
  }
  std::string offLine;
  std::filesystem::path kept;
  {
    const auto window = Open();
    kept = RegisterFilePath(image_);
    window->Session()->Memory().SetWord(D(100), 55);
    ASSERT_TRUE(window->StartOnline(line.SlavePath()));
    EXPECT_TRUE(window->Online());
    // Going on-line keeps the off-line run's registers first.
    offLine = ReadText(kept);
    EXPECT_NE(offLine.find("D100=55\n"), std::string::npos) << offLine;
    EXPECT_TRUE(dravik::test::WaitFor([&] {
      window->Step(20);
      return window->Session()->Memory().Word(D(100)) == 4321;
    }));
    EXPECT_EQ(
        window->Session()->BuildScreen().page->ElemTextA[static_cast<std::size_t>(entry_)].Str(),
        "4321");
    window->StopOnline();
    EXPECT_FALSE(window->Online());
    window->close();
  }
  EXPECT_EQ(ReadText(kept), offLine) << "the PLC's registers are not the simulator's to keep";
}

TEST_F(TolveskWindowTest, TheScaleMultipliesTheScreenWidget) {
  const auto window = Open();
  const QSize one = window->Screen()->size();
  EXPECT_EQ(one, window->Screen()->Picture().size());
  window->SetScale(2);
  EXPECT_EQ(window->Screen()->size(), one * 2);
  window->SetScale(3);
  EXPECT_EQ(window->Screen()->size(), one * 3);
  window->SetScale(1);
  EXPECT_EQ(window->Screen()->size(), one);
}

}  // namespace
}  // namespace dravik::sim
