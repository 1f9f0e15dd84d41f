// The demo company shipped with the program: the build knows where its sources keep it.
// The program and the tools hand that folder to the data library at start-up, which
// copies the demo on first use (an installation's "demo" folder beside the programs, or
// QV_DEMO_SOURCE, still comes first: see kwCompany::DemoSourceFolder).
#pragma once

#include <string>

// The demo company folder compiled into the component library.
std::string kclDemoCompanyFolder();
// Hands kclDemoCompanyFolder() to the data library (kwCompany::SetDemoSourceFolder).
void kclUseDemoCompany();
