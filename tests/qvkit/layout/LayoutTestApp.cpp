// The shared application object of the widget tests.
#include "LayoutTestApp.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class ApplicationEnvironment : public ::testing::Environment {
public:
    void TearDown() override { app.reset(); }
    std::unique_ptr<QApplication> app;
};

// gtest owns the environment from here on.
ApplicationEnvironment* const environment = static_cast<ApplicationEnvironment*>(
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment));

} // namespace

QApplication& LayoutTestApp() {
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        return *existing;
    }
    static int argc = 1;
    static char name[] = "test_qvkit";
    static char* argv[] = {name, nullptr};
    environment->app = std::make_unique<QApplication>(argc, argv);
    return *environment->app;
}
