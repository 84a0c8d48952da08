// The Linux program's settings file: what it writes reads back, anything
// else (a damaged or foreign file) gives the defaults and says which line,
// and the file lives where the XDG rules say.
#include "platform/settings.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

TEST(Settings, WhatIsWrittenReadsBackAndAnythingElseGivesTheDefaults) {
    for (const zplat::Settings s :
         {zplat::Settings{}, zplat::Settings{3, true}, zplat::Settings{64, false}}) {
        zplat::Settings read{9, true};
        std::string error;
        EXPECT_TRUE(zplat::ParseSettings(zplat::SettingsText(s), &read, &error)) << error;
        EXPECT_EQ(read, s);
    }
    const std::pair<std::string, std::string> damaged[] = {
        {"scale=2\nfullscreen=yes\n", "line 2: 'fullscreen=yes'"},
        {"scale=65\n", "line 1: 'scale=65'"},
        {"scale=-1\n", "line 1: 'scale=-1'"},
        {"scale=\n", "line 1"},
        {"# ok\n\nvolume=3\n", "line 3: 'volume=3'"},
        {"\x7f"
         "ELF\x01\x01",
         "line 1"},
    };
    for (const auto &[text, says] : damaged) {
        zplat::Settings read{9, true};
        std::string error;
        EXPECT_FALSE(zplat::ParseSettings(text, &read, &error)) << text;
        EXPECT_EQ(error.rfind(says, 0), 0u) << error;
        EXPECT_EQ(read, zplat::Settings{}) << "the defaults";
    }
}

TEST(Settings, TheFileIsWrittenWholeUnderTheConfigFolderAndADamagedOneIsSurvived) {
    const fs::path dir =
        fs::temp_directory_path() / ("zorvak-settings-" + std::to_string(getpid()));
    fs::remove_all(dir);
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    zplat::Settings read{9, true};
    std::string error;
    EXPECT_TRUE(zplat::ReadSettings(&read, &error)) << "none yet: " << error;
    EXPECT_EQ(read, zplat::Settings{});
    ASSERT_TRUE(zplat::WriteSettings(zplat::Settings{2, true}, &error)) << error;
    EXPECT_TRUE(zplat::ReadSettings(&read, &error)) << error;
    EXPECT_EQ(read, (zplat::Settings{2, true}));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "zorvak"), fs::directory_iterator()), 1)
        << "no temporary file left";

    std::ofstream(dir / "zorvak/settings") << "scale=2\ngarbage\n";
    EXPECT_FALSE(zplat::ReadSettings(&read, &error));
    EXPECT_EQ(read, zplat::Settings{});
    EXPECT_NE(error.find("zorvak/settings: line 2: 'garbage'"), std::string::npos) << error;
    // A relative XDG_CONFIG_HOME is not taken: the home folder's .config is.
    setenv("XDG_CONFIG_HOME", "relative", 1);
    setenv("HOME", dir.c_str(), 1);
    std::string path;
    ASSERT_TRUE(zplat::SettingsPath(&path, &error));
    EXPECT_EQ(path, (dir / ".config/zorvak/settings").string());
    fs::remove_all(dir);
}

} // namespace
