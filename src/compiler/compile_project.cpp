#include "compiler/compile_project.h"

#include <string>

#include "model/settings_page.h"

namespace dravik::compiler {

Bilingual InitialPageMessage(std::int32_t pageNumber) {
  const std::string n = std::to_string(pageNumber);
  return {"您设置的初始(主控)画面号: [" + n + "] 不存在！" + "\r" + "请检查或重新设置...",
          "Your initial settings ( Master ) screen number: [" + n + "] Does not exist！" + "\r" +
              "Please check or to Set up..."};
}

std::optional<Bilingual> InitialPageMissing(const model::ProjectImage& project) {
  const std::int32_t initial = At(project.Settings(), model::settings::kInitialPage);
  if (project.IsPageUsed(initial)) return std::nullopt;
  return InitialPageMessage(initial);
}

ProjectCompileResult CompileProject(model::ProjectImage& project,
                                    const std::filesystem::path& projectFile,
                                    const params::DeviceLists& lists,
                                    const CompileProjectOptions& options) {
  ProjectCompileResult result;
  if (options.runCheck) {
    result.check = StartCheck(project, lists, options.isChinese);
    result.messages = result.check.Messages();
    result.projectChanged = result.check.keyboardClamped;
    if (result.check.Failed()) {
      result.stage = CompileStage::kCheckFailed;
      return result;
    }
  }

  std::optional<Bilingual> missing = options.runCheck ? InitialPageMissing(project) : std::nullopt;
  if (missing) {
    result.messages.push_back({kCaptionDravik, MessageIcon::Warning, std::move(*missing)});
    result.stage = CompileStage::kNoInitialPage;
    return result;
  }

  CompileResult compiled = CompileToImage(project, CompanionFiles::Beside(projectFile));
  result.messages.insert(result.messages.end(), compiled.messages.begin(), compiled.messages.end());
  result.projectChanged = result.projectChanged || compiled.projectChanged;
  if (!compiled.ok) {
    result.messages.push_back({kCaptionDravik, MessageIcon::Warning, kCompilerFailedMessage});
    result.failure = std::move(compiled.failure);
    result.stage = CompileStage::kCompileFailed;
    return result;
  }
  result.image = std::move(compiled.image);
  result.stage = CompileStage::kCompiled;
  return result;
}

}  // namespace dravik::compiler
