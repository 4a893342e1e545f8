// dravik-cli new and info.

#include <iomanip>
#include <ostream>

#include "cli/cli_command.h"
#include "cli/project_loader.h"
#include "model/project_session.h"
#include "model/settings_page.h"
#include "platform/gbk.h"

namespace dravik::cli {

namespace {

int CountElements(const model::PageRecord& page) {
  int count = 0;
  for (int slot = 0; slot < model::kSlotCount; ++slot) count += page.ElemKind[slot] != 0;
  return count;
}

}  // namespace

int RunNew(const CommandContext& context) {
  ParsedArgs args = ParseArgs(context.args, {}, {});
  if (!args.error.empty() || args.positional.size() != 1) {
    context.Report("usage: dravik-cli new PROJECT.QX3");
    return kExitUsage;
  }
  // New without the work parameters dialog, written to exactly the path given.
  model::ProjectImage image;
  model::InitializeNewProject(image);
  const Status written = model::WriteProjectFile(image, args.positional[0]);
  if (!written) {
    context.Report(written.message());
    return kExitRefused;
  }
  context.out << "created " << args.positional[0] << '\n';
  return kExitOk;
}

int RunInfo(const CommandContext& context) {
  ParsedArgs args = ParseArgs(context.args, {}, {});
  if (!args.error.empty() || args.positional.size() != 1) {
    context.Report("usage: dravik-cli info PROJECT.QX3");
    return kExitUsage;
  }
  model::ProjectImage image;
  if (!LoadProject(context, image, args.positional[0])) return kExitRefused;

  const model::PageRecord& settings = image.Settings();
  using namespace model::settings;
  std::ostream& out = context.out;
  out << "project:        " << args.positional[0] << '\n';
  out << "panel model:    " << model::PanelModelName(settings) << '\n';
  out << "link 1:         " << Link1ProtocolText(settings) << '\n';
  out << "initial page:   " << At(settings, kInitialPage) << '\n';
  int used = 0;
  for (int n = 1; n <= model::kMaxPage; ++n) used += image.IsPageUsed(n);
  out << "pages in use:   " << used << '\n';
  for (int n = 1; n <= model::kMaxPage; ++n) {
    if (!image.IsPageUsed(n)) continue;
    const model::PageRecord& page = image.Page(n);
    out << "  page " << std::setw(3) << n << "  "
        << platform::GbkToUtf8(page.PageStrings[model::kPageName].View()) << "  ("
        << CountElements(page) << " elements)\n";
  }
  return kExitOk;
}

}  // namespace dravik::cli
