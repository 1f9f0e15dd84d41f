// Running an issue's linked inquiry through the library looked up by name: the three
// messages, the driving record asked for its values, the inquiry window on them.
#include "kwinq/xiLinkedInquiry.h"

#include "KwinqTestSupport.h"

#include "kwinq/kwInqWindow.h"

#include <QMdiArea>

#include <dlfcn.h>

#include <cstring>

namespace {

using kwinqtest::InquiryTest;

} // namespace

TEST_F(InquiryTest, LinkedInquiryTellsWhatIsMissingAndRunsOnTheDrivingRecordsValues) {
    void* library = ::dlopen(QV_BIN_DIR "/libkwinq.so", RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << ::dlerror();
    const xiLookup loaded = [library](const char* name) { return ::dlsym(library, name); };
    const xiLookup withoutRun = [library](const char* name) {
        return std::strcmp(name, "xi_run_inquiry") == 0 ? nullptr : ::dlsym(library, name);
    };
    std::vector<std::string> asked;
    const xiDrivingValues values = [&](const std::string& file, short recordType) {
        asked.push_back(file + " " + std::to_string(recordType));
        xi_value_def vendor{};
        std::strcpy(vendor.field, "IVENDOR");
        std::strcpy(vendor.text, "ACME");
        return std::vector<xi_value_def>{vendor};
    };

    const std::pair<std::string, xiLookup> failing[] = {
        {"AP - ", loaded}, {"AP - Vendor invoices", nullptr}, {"AP - Vendor invoices", withoutRun}};
    const char* messages[] = {"No valid inquiry specified.", "Unable to load KWINQ.DLL.", "Unable to run inquiry."};
    for (size_t i = 0; i < 3; ++i) {
        xw_clear_shown_messages();
        EXPECT_EQ(xiRunLinkedInquiry(failing[i].first, " - ", 7010, failing[i].second, values), 0);
        ASSERT_EQ(xw_shown_messages().size(), 1u) << i;
        EXPECT_EQ(xw_shown_messages()[0].text, messages[i]);
        EXPECT_EQ(xw_shown_messages()[0].caption, "Inquiry");
    }
    EXPECT_TRUE(asked.empty()) << "nothing asked before the library answers";
    EXPECT_EQ(frame->MdiArea()->subWindowList().size(), 0);

    xw_clear_shown_messages();
    EXPECT_EQ(xiRunLinkedInquiry("AP - Vendor invoices", " - ", 7010, loaded, values), 1);
    EXPECT_EQ(asked, std::vector<std::string>{"API 1"});
    auto* window = qobject_cast<kwInqWindow*>(frame->MdiArea()->activeSubWindow());
    ASSERT_NE(window, nullptr) << testing::PrintToString(Messages());
    ASSERT_EQ(window->Filter().size(), 1u);
    EXPECT_EQ(window->Filter()[0].second, "ACME");
    window->close();
    ::dlclose(library);
}
