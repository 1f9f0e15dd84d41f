// A stand-in for the suite's inquiry library "KWINQ", for the tests that choose a linked
// inquiry: its xi_list_inquiry answers as a user choosing from the list would. What it
// answers is set by the environment, so a test can also have it cancelled:
//   QV_FAKE_INQUIRY        "AP - Open invoices": the application and the inquiry chosen;
//                          "cancel": the user cancelled (answer 0).
// It records what it was called with in QV_FAKE_INQUIRY_SEEN ("application|name").
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" __attribute__((visibility("default"))) short xi_list_inquiry(char* application, const char* /*text*/,
                                                                         short /*flags*/, char* name, short nameSize) {
    const std::string seen = std::string(application) + "|" + name;
    setenv("QV_FAKE_INQUIRY_SEEN", seen.c_str(), 1);
    const char* answer = std::getenv("QV_FAKE_INQUIRY");
    if (!answer || std::strcmp(answer, "cancel") == 0) return 0;
    const std::string chosen = answer;
    const size_t dash = chosen.find(" - ");
    if (dash == std::string::npos) return 0;
    std::strncpy(application, chosen.substr(0, dash).c_str(), 2);
    application[2] = '\0';
    std::strncpy(name, chosen.substr(dash + 3).c_str(), static_cast<size_t>(nameSize) - 1);
    name[nameSize - 1] = '\0';
    return 1;
}
