// dravik-save-loop: the saving half of the kill test. It writes one of the files a user
// keeps (the project, its macro database, its picture library, the compiled QX.bin) over
// and over with the real writers, alternating between two known contents, until it is
// killed; after a kill it tells whether the file opens and holds one of the two.
//
//   dravik-save-loop prepare KIND FOLDER   the two contents and the file holding the first
//   dravik-save-loop loop KIND FOLDER      saves forever; prints "ready" as it starts and
//                                          "saved MICROSECONDS" after the first save
//   dravik-save-loop check KIND FOLDER     "old"/"new" and exit 0, or "damaged: ..." and 1;
//                                          then saves once more, as the next save would
//
// KIND is project, macro, picture or image. Left-over files beside the target are listed
// ("stray NAME") and then removed, so that each kill is judged on its own.

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bench_project.h"
#include "comm/device_image_check.h"
#include "compiler/compile_to_image.h"
#include "macro/macro_database.h"
#include "macro/mac_command.h"
#include "model/project_session.h"
#include "pictures/picture_library.h"
#include "platform/files.h"
#include "platform/image_codec.h"

namespace fs = std::filesystem;
using namespace dravik;

namespace {

using Bytes = std::vector<std::uint8_t>;

// What a check found: which of the two contents, or what is wrong.
struct Verdict {
  bool intact = false;
  std::string text;  // "old", "new" or the damage
};

Verdict Intact(bool first) { return {true, first ? "old" : "new"}; }
Verdict Damaged(std::string why) { return {false, "damaged: " + std::move(why)}; }

// One kind of file: where it lives, how its two contents are made and saved, how it is
// read back.
class FileKind {
 public:
  explicit FileKind(fs::path folder) : folder_(std::move(folder)) {}
  virtual ~FileKind() = default;
  virtual fs::path Target() const = 0;
  virtual Status Prepare() = 0;
  // Reads the reference contents (and opens what Save writes through).
  virtual Status Load() = 0;
  // Makes what the saves write ahead of the loop, so that the kills fall on the saves.
  virtual void MakeContents() {}
  virtual Status Save(bool first) = 0;
  virtual Verdict Check() = 0;

 protected:
  fs::path Ref(const std::string& name) const { return folder_ / "ref" / name; }
  fs::path ProjectFile() const { return folder_ / "project" / "Full.QX3"; }
  fs::path folder_;
};

// The full project, and a second version of it with two pages renamed.
void FillProject(model::ProjectImage& image, bool first) {
  bench::FillFullProject(image);
  if (first) return;
  image.Page(1).PageStrings[model::kPageName] = "Page 1, second version";
  image.Page(model::kMaxPage).PageStrings[model::kPageName] = "Last page, second version";
}

class ProjectKind final : public FileKind {
 public:
  using FileKind::FileKind;
  fs::path Target() const override { return ProjectFile(); }

  Status Prepare() override {
    for (bool first : {true, false}) {
      const fs::path ref = Ref(first ? "old.QX3" : "new.QX3");
      if (Status written = model::WriteProjectFile(Image(first), ref); !written) return written;
      // The check compares bytes, which holds only while the writer is deterministic.
      if (Status again = model::WriteProjectFile(Image(first), Target()); !again) return again;
      auto same = platform::ReadFileBytes(ref);
      auto now = platform::ReadFileBytes(Target());
      if (!same || !now || *same != *now) return Error{"the project writer is not deterministic"};
    }
    return Save(true);
  }

  Status Load() override {
    for (bool first : {true, false}) {
      auto bytes = platform::ReadFileBytes(Ref(first ? "old.QX3" : "new.QX3"));
      (first ? oldBytes_ : newBytes_) = bytes ? *bytes : Bytes{};
    }
    return {};
  }

  void MakeContents() override {
    Image(true);
    Image(false);
  }
  Status Save(bool first) override { return model::WriteProjectFile(Image(first), Target()); }

  Verdict Check() override {
    auto bytes = platform::ReadFileBytes(Target());
    if (!bytes) return Damaged(bytes.message());
    model::ProjectImage read;
    if (auto failure = model::ReadProjectFile(read, Target())) return Damaged(failure->message.english);
    if (*bytes == oldBytes_) return Intact(true);
    if (*bytes == newBytes_) return Intact(false);
    return Damaged("the file opens but holds neither content");
  }

 private:
  // Made when first saved: a check needs only the bytes.
  model::ProjectImage& Image(bool first) {
    auto& image = first ? old_ : new_;
    if (!image) {
      image = std::make_unique<model::ProjectImage>();
      FillProject(*image, first);
    }
    return *image;
  }
  std::unique_ptr<model::ProjectImage> old_, new_;
  Bytes oldBytes_, newBytes_;
};

// A macro of 100 comment rows, and a shorter one with other texts.
macro::MacroRows MacroContent(bool first) {
  macro::MacroRows rows{};
  const int count = first ? macro::kMacroRowCount : 60;
  for (int i = 0; i < count; ++i) {
    rows[static_cast<std::size_t>(i)].OPt = macro::kMacCommentCode;
    rows[static_cast<std::size_t>(i)].Comment.Assign((first ? "first row " : "second row ") +
                                                     std::to_string(i));
  }
  return rows;
}

bool SameRows(const macro::MacroRows& a, const macro::MacroRows& b) {
  return std::memcmp(a.data(), b.data(), sizeof a) == 0;
}

class MacroKind final : public FileKind {
 public:
  using FileKind::FileKind;
  fs::path Target() const override { return macro::MacroDatabasePath(ProjectFile()); }
  Status Prepare() override { return Save(true); }
  Status Load() override { return {}; }
  Status Save(bool first) override {
    const macro::MacroRows rows = MacroContent(first);
    return macro::ADOSaveFile(Target(), rows, false);
  }
  Verdict Check() override {
    macro::MacroRows rows{};
    if (Status loaded = macro::ADOLoadFile(Target(), rows, false); !loaded)
      return Damaged(loaded.message());
    if (SameRows(rows, MacroContent(true))) return Intact(true);
    if (SameRows(rows, MacroContent(false))) return Intact(false);
    return Damaged("the macro opens but holds neither content");
  }
};

Bytes SampleBmp(int width, int height, int seed) {
  platform::RgbImage image{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width * height * 3))};
  for (std::size_t i = 0; i < image.rgb.size(); ++i)
    image.rgb[i] = static_cast<std::uint8_t>(i * 7 + static_cast<std::size_t>(seed) * 13);
  return platform::EncodeBmp(image);
}

// The library holds one picture; the loop adds a second and compacts (the window's
// Compact button), then deletes it and compacts (as the window does after a delete), so
// the file alternates between one and two pictures. The compaction after the add keeps
// the two pictures on disk for a while (otherwise the delete follows the add's commit at
// once) and has a compaction carry the new picture over.
class PictureKind final : public FileKind {
 public:
  using FileKind::FileKind;
  fs::path Target() const override { return pictures::PictureLibraryPath(ProjectFile()); }

  Status Prepare() override {
    for (const auto& [name, seed] : {std::pair{"kept.bmp", 1}, std::pair{"added.bmp", 2}}) {
      if (Status written = platform::WriteFileAtomic(Ref(name), SampleBmp(40, 30, seed)); !written)
        return written;
    }
    if (Status attached = library_.ADOConnected(ProjectFile()); !attached) return attached;
    auto kept = library_.AddPicture(Ref("kept.bmp"));
    if (!kept) return kept.error();
    return {};
  }

  Status Load() override { return library_.ADOConnected(ProjectFile()); }

  Status Save(bool first) override {
    if (!first) {
      auto added = library_.AddPicture(Ref("added.bmp"));
      if (!added) return added.error();
      added_ = *added;
      return library_.CompactLibrary();
    }
    if (added_) {
      if (Status deleted = library_.DeletePicture(*added_); !deleted) return deleted;
      added_.reset();
    }
    return library_.CompactLibrary();
  }

  Verdict Check() override {
    pictures::PictureLibrary library;
    if (Status attached = library.ADOConnected(ProjectFile()); !attached)
      return Damaged(attached.message());
    // A copy: the clean-up below refills the library's own list.
    const std::vector<pictures::PictureEntry> entries = library.Entries();
    if (entries.empty() || entries.size() > 2) return Damaged(std::to_string(entries.size()) + " pictures");
    const char* files[] = {"kept.bmp", "added.bmp"};
    for (std::size_t i = 0; i < entries.size(); ++i) {
      auto record = library.Read(entries[i].id);
      if (!record) return Damaged(record.message());
      auto expected = platform::ReadFileBytes(Ref(files[i]));
      if (!expected || record->pic != *expected) return Damaged("picture " + entries[i].name + " differs");
    }
    // The check leaves one picture, as the loop expects to start from.
    if (entries.size() == 2) {
      (void)library.DeletePicture(entries[1].id);
      (void)library.CompactLibrary();
    }
    return Intact(entries.size() == 1);
  }

 private:
  pictures::PictureLibrary library_;
  std::optional<int> added_;
};

// The full project is more than a panel takes: the image of as many of its first pages
// as fit, and for the second content that of one page fewer.
Result<Bytes> CompileLargestPrefix(bool first) {
  model::ProjectImage project;
  FillProject(project, true);
  for (int pages = 60; pages > 1; --pages) {
    for (int n = pages + 1; n <= model::kMaxPage; ++n)
      project.Page(n).PageStrings[model::kPageInUse].ClearLength();
    if (!compiler::CompileToImage(project, {}).ok) continue;
    if (!first) project.Page(pages).PageStrings[model::kPageInUse].ClearLength();
    compiler::CompileResult compiled = compiler::CompileToImage(project, {});
    if (compiled.ok) return std::move(compiled.image);
  }
  return Error{"no part of the full project compiles"};
}

// QX.bin as compiled from the two versions of the full project.
class ImageKind final : public FileKind {
 public:
  using FileKind::FileKind;
  fs::path Target() const override { return folder_ / "work" / "QX.bin"; }

  Status Prepare() override {
    for (bool first : {true, false}) {
      auto image = CompileLargestPrefix(first);
      if (!image) return image.error();
      if (Status written = platform::WriteFileAtomic(Ref(first ? "old.bin" : "new.bin"), *image);
          !written)
        return written;
    }
    if (Status loaded = Load(); !loaded) return loaded;
    if (old_ == new_) return Error{"the two images are the same"};
    return Save(true);
  }

  Status Load() override {
    for (bool first : {true, false}) {
      auto bytes = platform::ReadFileBytes(Ref(first ? "old.bin" : "new.bin"));
      if (!bytes) return bytes.error();
      (first ? old_ : new_) = std::move(*bytes);
    }
    return {};
  }

  Status Save(bool first) override { return compiler::WriteImageFile(Target(), first ? old_ : new_); }

  Verdict Check() override {
    auto bytes = platform::ReadFileBytes(Target());
    if (!bytes) return Damaged(bytes.message());
    if (Status image = comm::CheckDeviceImage(*bytes); !image) return Damaged(image.message());
    if (*bytes == old_) return Intact(true);
    if (*bytes == new_) return Intact(false);
    return Damaged("the image holds neither content");
  }

 private:
  Bytes old_, new_;
};

std::unique_ptr<FileKind> MakeKind(const std::string& name, const fs::path& folder) {
  if (name == "project") return std::make_unique<ProjectKind>(folder);
  if (name == "macro") return std::make_unique<MacroKind>(folder);
  if (name == "picture") return std::make_unique<PictureKind>(folder);
  if (name == "image") return std::make_unique<ImageKind>(folder);
  return nullptr;
}

// Files beside the target that a finished save would not leave: the writers' temporary
// files (".<name>.XXXXXX"), a database's journal, a compaction's ".$$$".
std::vector<fs::path> Strays(const fs::path& target) {
  std::vector<fs::path> strays;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(target.parent_path(), error)) {
    const std::string name = entry.path().filename().string();
    const bool temporary = name.starts_with(".");
    const bool journal = name.ends_with("-journal") || name.ends_with("-wal");
    const bool compaction = name.ends_with(".$$$");
    if (temporary || journal || compaction) strays.push_back(entry.path());
  }
  return strays;
}

int Fail(const std::string& what, const std::string& why) {
  std::printf("%s failed: %s\n", what.c_str(), why.c_str());
  return 1;
}

// Judges the file, then saves once more as a fresh program would, with whatever the
// killed save left beside the file.
int RunCheck(const std::string& kindName, const fs::path& folder) {
  std::unique_ptr<FileKind> judge = MakeKind(kindName, folder);
  if (Status loaded = judge->Load(); !loaded) return Fail("load", loaded.message());
  const std::vector<fs::path> strays = Strays(judge->Target());
  const Verdict verdict = judge->Check();
  std::printf("%s\n", verdict.text.c_str());
  if (!verdict.intact) return 1;
  judge.reset();

  std::unique_ptr<FileKind> saver = MakeKind(kindName, folder);
  if (Status loaded = saver->Load(); !loaded) return Fail("load", loaded.message());
  if (Status saved = saver->Save(true); !saved) return Fail("the next save", saved.message());
  saver.reset();
  std::unique_ptr<FileKind> again = MakeKind(kindName, folder);
  if (Status loaded = again->Load(); !loaded) return Fail("load", loaded.message());
  if (const Verdict after = again->Check(); after.text != "old")
    return Fail("the next save", after.text);

  for (const fs::path& stray : strays) {
    std::error_code error;
    if (!fs::exists(stray, error)) continue;  // the next save dealt with it
    std::printf("stray %s\n", stray.filename().c_str());
    fs::remove(stray, error);
  }
  std::fflush(stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: dravik-save-loop prepare|loop|check project|macro|picture|image FOLDER\n");
    return 2;
  }
  const std::string mode = argv[1];
  const fs::path folder = argv[3];
  std::unique_ptr<FileKind> kind = MakeKind(argv[2], folder);
  if (!kind) {
    std::fprintf(stderr, "unknown kind %s\n", argv[2]);
    return 2;
  }
  if (mode == "prepare") {
    std::error_code error;
    for (const char* sub : {"ref", "project", "work"}) fs::create_directories(folder / sub, error);
    if (Status prepared = kind->Prepare(); !prepared) return Fail("prepare", prepared.message());
    return 0;
  }
  if (mode == "loop") {
    if (Status loaded = kind->Load(); !loaded) return Fail("load", loaded.message());
    kind->MakeContents();
    std::printf("ready\n");
    std::fflush(stdout);
    const auto started = std::chrono::steady_clock::now();
    for (bool first = false, timed = false;; first = !first) {
      if (Status saved = kind->Save(first); !saved) return Fail("save", saved.message());
      if (timed) continue;
      // How long one save takes, for the killer to aim its kills.
      const auto took = std::chrono::steady_clock::now() - started;
      std::printf("saved %lld\n", static_cast<long long>(
                                      std::chrono::duration_cast<std::chrono::microseconds>(took).count()));
      std::fflush(stdout);
      timed = true;
    }
  }
  if (mode == "check") return RunCheck(argv[2], folder);
  std::fprintf(stderr, "unknown mode %s\n", mode.c_str());
  return 2;
}
