#pragma once
// What the three settings dialogs (work parameters, alarm list, keyboard LEDs) ask of the
// program around them: message boxes, the colour chooser, the interface language, the
// status bar and Save. The main window fills the table; tests answer in place of a user.
// Whatever is left unset falls back to a plain desktop behaviour.

#include <QMessageBox>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/bilingual.h"

class QDialog;
class QWidget;

namespace dravik::params {

// A message box, caption "Dravik ", with the given icon.
using MessageSink = std::function<void(const QString& text, QMessageBox::Icon icon)>;
// Picks a colour (0x00BBGGRR) starting from `current`, placed below `anchor`; nothing
// when cancelled.
using ColourChooser =
    std::function<std::optional<std::uint32_t>(std::uint32_t current, QWidget* anchor)>;

struct SettingsDialogHooks {
  MessageSink message;               // unset: a QMessageBox
  // A question with Yes and No, caption "Dravik "; true for Yes. Unset: a QMessageBox.
  std::function<bool(const QString& text)> question;
  ColourChooser chooseColour;        // unset: QColorDialog
  std::function<bool()> isChinese;   // unset: Chinese
  std::function<void()> enableSave;  // the settings page was written
  // Status panels 1 (model) and 2 (link) after the register kinds were reloaded.
  std::function<void(int panel, const QString& text)> showStatus;
  // The page-attribute dialog's key names follow the panel model.
  std::function<void()> refreshKeyNames;
  // Runs a dialog modally and gives its result. Unset: the dialog's exec().
  std::function<int(QDialog* dialog)> execDialog;
};

inline constexpr char kMessageCaption[] = "Dravik ";

bool IsChinese(const SettingsDialogHooks& hooks);
// Shows `text` in the current language ("\r" separates lines in the system's texts).
void ShowMessage(const SettingsDialogHooks& hooks, QWidget* parent, const Bilingual& text,
                 QMessageBox::Icon icon);
// Asks `text` in the current language; true for Yes (No is the default button).
bool AskYesNo(const SettingsDialogHooks& hooks, QWidget* parent, const Bilingual& text);
std::optional<std::uint32_t> ChooseColour(const SettingsDialogHooks& hooks, std::uint32_t current,
                                          QWidget* anchor);
int ExecDialog(const SettingsDialogHooks& hooks, QDialog* dialog);

// "\r" line breaks as a widget shows them.
QString LineText(std::string_view text);
// The model keeps GBK bytes; widgets hold Unicode.
QString FromGbk(std::string_view gbk);
std::string ToGbk(const QString& text);

// The style sheet that paints a colour panel with a stored colour.
QString ColourPanelStyle(std::uint32_t colour);

// Places a dialog centred across the screen and `pixels` above its vertical middle, where
// the program's dialogs open.
void PlaceAboveMiddle(QWidget* dialog, int pixels);
inline constexpr int kDialogAboveMiddle = 100;

// Marks a component whose texts the program sets while running, so the language files
// leave it alone (the property the language-file writer looks for).
void MarkRuntimeText(QObject* object);

}  // namespace dravik::params
