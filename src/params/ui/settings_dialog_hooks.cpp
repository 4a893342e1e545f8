#include "params/ui/settings_dialog_hooks.h"

#include <QObject>
#include <QVariant>

#include "editor/render/system_colour_table.h"

namespace dravik::params {

QString ColourPanelStyle(std::uint32_t colour) {
  return QStringLiteral("background-color: %1; border: 1px solid gray;")
      .arg(editor::ResolveQColor(colour).name());
}

void MarkRuntimeText(QObject* object) {
  object->setProperty("dravikRuntimeText", true);
}

}  // namespace dravik::params
