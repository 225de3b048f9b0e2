// Every window keeps the settings the user gave it (texts typed into boxes, check boxes and
// option buttons clicked, choices picked from lists) and the folder of its last file dialog
// from one run of the program to the next, in the user's settings file.
//
// What is remembered is what the user did, at the moment he did it: a text the window or its
// job fills in itself (a status line, a result, a name taken from a chosen file) is never kept.
// A window being created gets its remembered settings back the way the user gave them:
// each text is set (its change handlers run), each check box, option button or list is clicked
// only while the user could click it; one that is disabled then is clicked when it is first
// enabled, so the window's enabling rules hold throughout.
#pragma once

#include <QString>

#include <string>

class QWidget;

namespace qm {

// The program's settings file: one group per window, named by the window's object name.
// Tests point it at a folder of their own with set_settings_folder before any window opens.
void set_settings_folder(const QString& folder);

// Restores the window's remembered settings and watches it: what the user sets from now on is
// remembered, and written to the settings file when the window is hidden (closed or unloaded).
void remember_settings(QWidget* window);

// Writes the window's remembered settings now (the program ends without closing it).
void save_settings(QWidget* window);

// Whether the window has any control whose value is remembered.
bool has_setting_controls(QWidget* window);

// Forgets the settings remembered for the window of that name (not its folder: where the
// user keeps his files is no setting of the tool).
void forget_settings(const QString& window_name);

// The window's title, then each file it shows (a path label) and each setting, one
// "name: value" a line: what a saved result keeps of the run that made it.
std::string settings_summary(QWidget* window);

// A control whose value belongs to what it shows, never to the user's settings.
void keep_out_of_settings(QWidget* control);

// The folder the window's last file dialog was left in; empty when there is none.
QString remembered_folder(const QWidget* window);
void remember_folder(const QWidget* window, const QString& folder);

} // namespace qm
