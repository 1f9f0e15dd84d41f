// What the application-framework tests share: one Qt application for the process, and the
// user's folders (settings, data) moved into a temporary folder for the test's duration.
#pragma once

#include "TestApplication.h"
#include "TestCompany.h"

#include <QApplication>
#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace kwapptest {

inline QApplication& App() { return TestApplication(); }

// Points XDG_CONFIG_HOME and XDG_DATA_HOME at a fresh temporary folder, and back afterwards.
class UserFolders {
public:
    UserFolders() : _root(TestCompany::MakeTempFolder("kwapp-user-")) {
        Swap("XDG_CONFIG_HOME", _root + "/config", _config);
        Swap("XDG_DATA_HOME", _root + "/data", _data);
        Swap("QV_DATA", {}, _qvData);
    }
    ~UserFolders() {
        Restore("XDG_CONFIG_HOME", _config);
        Restore("XDG_DATA_HOME", _data);
        Restore("QV_DATA", _qvData);
        std::error_code ignored;
        std::filesystem::remove_all(_root, ignored);
    }
    UserFolders(const UserFolders&) = delete;
    UserFolders& operator=(const UserFolders&) = delete;
    const std::string& Root() const { return _root; }

private:
    static void Swap(const char* name, const std::string& value, std::optional<std::string>& saved) {
        if (const char* old = std::getenv(name)) saved = old;
        if (value.empty()) ::unsetenv(name);
        else ::setenv(name, value.c_str(), 1);
    }
    static void Restore(const char* name, const std::optional<std::string>& saved) {
        if (saved) ::setenv(name, saved->c_str(), 1);
        else ::unsetenv(name);
    }
    std::string _root;
    std::optional<std::string> _config, _data, _qvData;
};

} // namespace kwapptest
