// The customer updater's window: the image it shows or refuses, the port list with the
// devices of the COM positions, and a download to the emulated panel ending in a clear
// result.

#include "velnor/ui/velnor_window.h"

#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <memory>

#include "compiler/compile_to_image.h"
#include "emulators/emulated_line.h"
#include "emulators/panel_emulator.h"
#include "model/project_image.h"
#include "model/settings_page.h"
#include "support/qt_app.h"
#include "support/temp_dir.h"

namespace dravik::velnor {
namespace {

namespace fs = std::filesystem;
using test::WaitFor;

struct Box {
  QString caption;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
};

class VelnorWindowTest : public test::QtTest {
 protected:
  VelnorWindowTest() {
    auto project = std::make_unique<model::ProjectImage>();
    model::ApplySettingsDefaults(project->Settings());
    image_ =
        compiler::CompileToImage(*project, compiler::CompanionFiles::Beside(dir_ / "P.QX3")).image;
    test::WriteAll(dir_ / "Dat.bin", image_);
    desktop_.isChinese = [this] { return chinese_; };
    desktop_.message = [this](const QString& caption, const QString& text, QMessageBox::Icon icon) {
      boxes_.push_back({caption, text, icon});
    };
  }

  std::unique_ptr<TVelnorForm> Window(const comm::ComPortMap& ports, const fs::path& image) {
    return std::make_unique<TVelnorForm>(ports, image, desktop_);
  }

  test::TempDir dir_;
  std::vector<std::uint8_t> image_;
  bool chinese_ = false;
  ui::DesktopHooks desktop_;
  std::vector<Box> boxes_;
};

TEST_F(VelnorWindowTest, ShowsTheImageItWillSend) {
  auto window = Window({}, dir_ / "Dat.bin");
  EXPECT_TRUE(window->ImageReady());
  EXPECT_TRUE(window->ImageLabel()->text().contains("802 bytes"))
      << window->ImageLabel()->text().toStdString();
}

TEST_F(VelnorWindowTest, WithoutAnImageThereIsNothingToDownloadAndTheReasonShows) {
  chinese_ = true;
  test::WriteAll(dir_ / "logo.bmp", std::vector<std::uint8_t>(900, 'B'));
  for (const fs::path& file : {dir_ / "missing" / "Dat.bin", dir_ / "logo.bmp"}) {
    auto window = Window({}, file);
    EXPECT_FALSE(window->ImageReady());
    EXPECT_FALSE(window->DownloadButton()->isEnabled());
    EXPECT_TRUE(window->ImageLabel()->text().contains(QString::fromStdString(file.string())));
    EXPECT_EQ(window->StatusLabel()->text(), QStringLiteral("没有可下载的画面数据。"));
  }
}

TEST_F(VelnorWindowTest, ThePortListIsTheComPositionsWithTheirDevices) {
  const comm::ComPortMap ports = comm::ComPortMap::Build(
      {"/dev/serial/by-id/usb-FTDI_A1-if00-port0"}, {{2, "/dev/ttyS4"}}, {});
  auto window = Window(ports, dir_ / "Dat.bin");
  QComboBox* list = window->PortList();
  ASSERT_EQ(list->count(), 8);
  EXPECT_EQ(list->itemText(0).toStdString(), ports.DisplayText(0));
  EXPECT_EQ(list->itemText(2).toStdString(), "COM3 (/dev/ttyS4)");
  // The first position naming a device is the choice to begin with.
  EXPECT_EQ(window->ChosenDevice(), ports.Device(list->currentIndex()));
  EXPECT_FALSE(window->ChosenDevice().empty());
  list->setCurrentIndex(2);
  EXPECT_EQ(window->ChosenDevice(), "/dev/ttyS4");
}

TEST_F(VelnorWindowTest, APositionWithoutADeviceIsRefusedWithAWarning) {
  auto window = Window(comm::ComPortMap::Build({}, {}, {}), dir_ / "Dat.bin");
  window->PortList()->setCurrentIndex(5);
  window->DownloadClick();
  EXPECT_FALSE(window->Running());
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].icon, QMessageBox::Warning);
}

TEST_F(VelnorWindowTest, DownloadsToThePanelAndEndsWithAClearResult) {
  test::PanelEmulator panel;
  test::EmulatedLine line(panel);
  if (!line.ok()) GTEST_SKIP() << "no pseudo-terminals here";
  auto window = Window(comm::ComPortMap::Single(line.SlavePath()), dir_ / "Dat.bin");
  bool finished = false, ok = false;
  QObject::connect(window.get(), &TVelnorForm::finished, [&](bool good) {
    finished = true;
    ok = good;
  });
  window->DownloadClick();
  EXPECT_FALSE(window->DownloadButton()->isEnabled()) << "one download at a time";
  ASSERT_TRUE(WaitFor([&] { return finished; }, 20000));
  EXPECT_TRUE(ok);
  EXPECT_EQ(window->Progress()->value(), 100);
  EXPECT_TRUE(window->StatusLabel()->text().startsWith("Update complete"));
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].icon, QMessageBox::Information);
  EXPECT_TRUE(window->DownloadButton()->isEnabled());
  std::lock_guard lock(line.Mutex());
  EXPECT_TRUE(std::equal(image_.begin(), image_.end(), panel.Image().begin()));
}

TEST_F(VelnorWindowTest, APanelThatNeverConfirmsEndsWithAWarning) {
  test::PanelOptions options;
  options.acknowledge = false;
  test::PanelEmulator panel(options);
  test::EmulatedLine line(panel);
  if (!line.ok()) GTEST_SKIP() << "no pseudo-terminals here";
  auto window = Window(comm::ComPortMap::Single(line.SlavePath()), dir_ / "Dat.bin");
  bool finished = false, ok = true;
  QObject::connect(window.get(), &TVelnorForm::finished, [&](bool good) {
    finished = true;
    ok = good;
  });
  window->DownloadClick();
  ASSERT_TRUE(WaitFor([&] { return finished; }, 30000));
  EXPECT_FALSE(ok);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].icon, QMessageBox::Warning);
  EXPECT_EQ(window->Progress()->value(), 0);
}

}  // namespace
}  // namespace dravik::velnor
