// What the Linux program remembers between runs: the scale of its windows
// and whether it plays in full screen, in $XDG_CONFIG_HOME/zorvak/settings
// ($HOME/.config/zorvak/settings when XDG_CONFIG_HOME is unset or not an
// absolute path), as lines of "name=value".  (The page keeps the same in the
// browser's storage.)
#ifndef ZORVAK_PLATFORM_SETTINGS_H
#define ZORVAK_PLATFORM_SETTINGS_H

#include <string>

namespace zplat {

struct Settings {
    int scale = 0; // of the windows; 0: chosen to fit the desktop
    bool fullScreen = false;
    bool operator==(const Settings &) const = default;
};

// The settings' text form, and reading it back: false with "line N: ..."
// when a line is not one this program writes (*settings is then the
// defaults).
std::string SettingsText(const Settings &settings);
bool ParseSettings(const std::string &text, Settings *settings, std::string *error);

// The file's path; false when neither XDG_CONFIG_HOME nor HOME is absolute.
bool SettingsPath(std::string *path, std::string *error);
// Reads the file: a missing one gives the defaults and no error; one that
// cannot be read, or is damaged, gives the defaults and false with one line
// saying so.
bool ReadSettings(Settings *settings, std::string *error);
// Writes the file atomically (a temporary file, synced, renamed over it),
// making its folder; false with one line when it cannot.
bool WriteSettings(const Settings &settings, std::string *error);

} // namespace zplat

#endif
