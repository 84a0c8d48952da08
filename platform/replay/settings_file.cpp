// The Linux program's settings file (platform/settings.h).
#include "platform/regular_file.h"
#include "platform/replay/posix_file.h"
#include "platform/settings.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace zplat {

namespace {

constexpr size_t kMaxSettingsSize = 4096;
constexpr int kMaxScale = 64;

bool ReadScale(const std::string &value, int *scale) {
    if (value.empty() || value.size() > 3 ||
        value.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    *scale = std::atoi(value.c_str());
    return *scale <= kMaxScale;
}

} // namespace

std::string SettingsText(const Settings &settings) {
    return "# Zorvak's settings: scale 0 fits the desktop; full screen 0 or 1.\n"
           "scale=" +
           std::to_string(settings.scale) + "\nfullscreen=" + (settings.fullScreen ? "1" : "0") +
           "\n";
}

bool ParseSettings(const std::string &text, Settings *settings, std::string *error) {
    Settings read;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const size_t equals = line.find('=');
        const std::string name = line.substr(0, equals);
        const std::string value = equals == std::string::npos ? "" : line.substr(equals + 1);
        const bool known = (name == "scale" && ReadScale(value, &read.scale)) ||
                           (name == "fullscreen" && (value == "0" || value == "1"));
        if (equals == std::string::npos || !known) {
            *error = "line " + std::to_string(number) + ": '" + line.substr(0, 60) +
                     "' is not a setting of this program";
            *settings = Settings();
            return false;
        }
        if (name == "fullscreen") {
            read.fullScreen = value == "1";
        }
    }
    *settings = read;
    return true;
}

bool SettingsPath(std::string *path, std::string *error) {
    std::string dir;
    if (!replay::posix::XdgFolder("XDG_CONFIG_HOME", ".config", "the settings", &dir, error)) {
        return false;
    }
    *path = dir + "/settings";
    return true;
}

bool ReadSettings(Settings *settings, std::string *error) {
    *settings = Settings();
    std::string path;
    if (!SettingsPath(&path, error)) {
        return false;
    }
    std::vector<uint8_t> bytes;
    int errorNumber = 0;
    std::string why;
    if (!ReadRegularFile(path, kMaxSettingsSize, &bytes, &why, &errorNumber)) {
        if (errorNumber == ENOENT || errorNumber == ENOTDIR) {
            return true;
        }
        *error = path + ": " + why + " (using the defaults)";
        return false;
    }
    if (!ParseSettings(std::string(bytes.begin(), bytes.end()), settings, &why)) {
        *error = path + ": " + why + " (using the defaults)";
        return false;
    }
    return true;
}

bool WriteSettings(const Settings &settings, std::string *error) {
    std::string path;
    if (!SettingsPath(&path, error)) {
        return false;
    }
    const std::string folder = path.substr(0, path.rfind('/'));
    const std::string text = SettingsText(settings);
    std::string why;
    if (!replay::posix::MakeFolders(folder, &why) ||
        !replay::posix::ReplaceFile(folder, "settings",
                                    std::vector<uint8_t>(text.begin(), text.end()), &why)) {
        *error = path + ": the settings were not kept: " + why;
        return false;
    }
    return true;
}

} // namespace zplat
