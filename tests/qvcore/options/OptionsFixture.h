// The base of the option page tests: one Qt application, a throw-away company, the user's
// preference folder of its own, preferences at their defaults, and the message box
// answered through its script.
#pragma once

#include "qvcore/prefs/Prefs.h"

#include "kwapp/sheets/kwPropertySheet.h"
#include "kwapp/widgets/kwCtrl.h"

#include "kwcommon/x_message.h"

#include "TestApplication.h"
#include "TestCompany.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDir>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace optionstest {

template <class T> T* Control(const QWidget* root, int id) {
    T* control = kwFindCtrl<T>(root, id);
    EXPECT_NE(control, nullptr) << "control " << id;
    return control;
}

inline std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    for (const auto& shown : xw_shown_messages()) texts.push_back(shown.text);
    return texts;
}

// Grabs the widget into <test program folder>/screenshots/<name>.png.
inline std::string Screenshot(QWidget* widget, const std::string& name) {
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/") + QString::fromStdString(name) + QStringLiteral(".png");
    return widget->grab().save(path) ? path.toStdString() : std::string();
}

class OptionsFixture : public ::testing::Test {
protected:
    void SetUp() override {
        TestApplication();
        _config = TestCompany::MakeTempFolder("qvoptions-config-");
        ::setenv("XDG_CONFIG_HOME", _config.c_str(), 1);
        company = std::make_unique<TestCompany>(false);
        Prefs::SetDefaults();
        xw_clear_shown_messages();
    }
    void TearDown() override {
        xw_clear_shown_messages();
        sheet.reset();
        company.reset();
        ::unsetenv("XDG_CONFIG_HOME");
        std::error_code ignored;
        std::filesystem::remove_all(_config, ignored);
        Prefs::SetDefaults();
    }
    // A sheet holding the page, shown.
    template <class Page> Page* Show(Page* page) {
        sheet = std::make_unique<kwPropertySheet>(QStringLiteral("Options"));
        sheet->SetHandleModifications(false);
        sheet->AddPage(page);
        sheet->show();
        QApplication::processEvents();
        return page;
    }

    std::unique_ptr<TestCompany> company;
    std::unique_ptr<kwPropertySheet> sheet;

private:
    std::string _config;
};

} // namespace optionstest
