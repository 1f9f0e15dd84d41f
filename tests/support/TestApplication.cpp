// The shared application object of the widget tests.
#include "TestApplication.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class ApplicationEnvironment : public ::testing::Environment {
public:
    void TearDown() override { app.reset(); }
    std::unique_ptr<QApplication> app;
};

ApplicationEnvironment* Environment() {
    // gtest owns the environment once it is added.
    static auto* const environment =
        static_cast<ApplicationEnvironment*>(::testing::AddGlobalTestEnvironment(new ApplicationEnvironment));
    return environment;
}

} // namespace

QApplication& TestApplication() {
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance())) return *existing;
    static int argc = 1;
    static char name[] = "qvtest";
    static char* argv[] = {name, nullptr};
    Environment()->app = std::make_unique<QApplication>(argc, argv);
    return *Environment()->app;
}
