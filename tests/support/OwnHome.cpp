// SPDX-License-Identifier: GPL-3.0-or-later
// Every test process runs with a home of its own: a fresh folder, set before anything reads the
// environment and removed at exit. Nothing a test writes (the desktop's share.ini, Qt's own
// settings, the program's Config.ini) reaches the home of whoever runs the tests.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

struct OwnHome {
    std::string dir;

    OwnHome() {
        std::string path =
            (std::filesystem::temp_directory_path() / "vantor-test-home-XXXXXX").string();
        if (mkdtemp(path.data()) == nullptr)
            std::abort(); // a test must never fall back to the real home
        dir = path;
        setenv("HOME", dir.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (dir + "/.config").c_str(), 1);
        setenv("XDG_DATA_HOME", (dir + "/.local/share").c_str(), 1);
        setenv("XDG_CACHE_HOME", (dir + "/.cache").c_str(), 1);
        // The texts in the sources (Chinese) whatever the language of whoever runs the tests;
        // a test of another language sets it for the program it starts.
        setenv("LANGUAGE", "zh_CN", 1);
    }
    ~OwnHome() {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
};

const OwnHome g_ownHome;

} // namespace
