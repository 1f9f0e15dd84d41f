// The main program's frame: the framework's frame with the Tools menu extended by the
// program's issue tools, and a close that a running View Issues window may refuse.
#pragma once

#include "kwapp/frame/kwAppFrame.h"

#include <string>

class CMainFrame : public kwAppFrame {
    Q_OBJECT
public:
    CMainFrame();
    ~CMainFrame() override;

    const std::string& ToolsMenuTitle() const { return _toolsMenu; }
    const std::string& WindowMenuTitle() const { return _windowMenu; }

protected:
    int OnCreate() override;
    bool OnClose() override;

private:
    std::string _toolsMenu = "Too&ls";
    std::string _windowMenu = "&Window";
};
