#pragma once
// Dravik's own icons: the SVG drawings in data/icons, built into the program, painted in the
// colours of the application palette at the moment they are drawn, so a switch between the
// light and the dark style recolours every tool button and menu item with it.

#include <QIcon>
#include <QString>
#include <QStringList>

namespace dravik::app {

// The icon drawn by data/icons/<name>.svg; a null icon when the set has no such drawing.
// QIcon::name() gives `name` back.
QIcon DravikIcon(const QString& name);

// A checkable command's icon: `checked` while its button is down, `unchecked` otherwise.
QIcon DravikToggleIcon(const QString& checked, const QString& unchecked);

// The names of every drawing in the set, sorted.
QStringList DravikIconNames();

}  // namespace dravik::app
