// Every test program starts from the same ground: a fixed locale, a private work folder
// (DRAVIK_WORKDIR, which also holds the configuration and the user's example copies) and
// the built program data, so no test depends on the machine's state.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <clocale>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
  setenv("LC_ALL", "C.UTF-8", 1);
  std::setlocale(LC_ALL, "C.UTF-8");

  std::string work = (std::filesystem::temp_directory_path() / "dravik-work-XXXXXX").string();
  if (mkdtemp(work.data()) == nullptr) return 3;
  setenv("DRAVIK_WORKDIR", work.c_str(), 1);
  setenv("DRAVIK_PROGRAM_DIR", DRAVIK_TEST_PROGRAM_DIR, 1);
  std::string config = work + "/config";
  setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  std::string examples = work + "/examples";
  setenv("DRAVIK_EXAMPLES_DIR", examples.c_str(), 1);
  // Widgets are tested without a display unless a test runs under a real X server.
  setenv("QT_QPA_PLATFORM", "offscreen", 0);

  testing::InitGoogleTest(&argc, argv);
  int status = RUN_ALL_TESTS();

  std::error_code ignored;
  std::filesystem::remove_all(work, ignored);
  return status;
}
