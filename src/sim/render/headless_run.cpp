#include "sim/render/headless_run.h"

#include <QImage>
#include <ostream>

#include "sim/register_names.h"
#include "sim/render/screen_painter.h"

namespace dravik::sim {

QImage ScreenShot(PanelSession& session, int scale) {
  Screen screen = session.BuildScreen();
  ScreenPainter painter(session.Image());
  const QImage shown = painter.Paint(screen);
  if (scale <= 1) return shown;
  return shown.scaled(shown.width() * scale, shown.height() * scale, Qt::IgnoreAspectRatio,
                      Qt::FastTransformation);
}

int RunHeadless(PanelSession& session, const HeadlessPlan& plan, bool isChinese,
                std::ostream& out, std::ostream& err) {
  const auto fail = [&](const Error& error) {
    err << error.In(isChinese) << '\n';
    return kHeadlessFailed;
  };
  if (plan.page) {
    if (Status shown = session.GoToPage(*plan.page); !shown) return fail(shown.error());
  }
  const RegisterNaming naming = RegisterNaming::ForImage(session.Image(), session.Memory().Kinds());
  for (const std::string& text : plan.assignments) {
    Result<Assignment> assignment = ParseAssignment(naming, text);
    if (!assignment) return fail(assignment.error());
    Apply(*assignment, session.Memory());
  }
  for (const HeadlessStep& step : plan.steps) {
    if (step.kind == HeadlessStep::Kind::Key) {
      session.PressKey(step.key);
      session.ReleaseKey(step.key);
    } else {
      session.Touch(step.x, step.y);
      session.ReleaseTouch();
    }
  }
  session.Advance(plan.after);

  if (!plan.screenshot.empty()) {
    const QImage shot = ScreenShot(session, plan.scale);
    if (!shot.save(QString::fromStdString(plan.screenshot.string()), "PNG")) {
      return fail(Error{Bilingual{"无法写入截图 " + plan.screenshot.string(),
                                  "Cannot write the screenshot " + plan.screenshot.string()}});
    }
  }
  if (plan.dumpRegisters) out << RegisterListing(naming, session.Memory());
  return kHeadlessDone;
}

}  // namespace dravik::sim
