// The framework's common commands and tasks, shared by every program of the suite.
#pragma once

class kwApplication;

class kwCommonCommands {
public:
    // Command ids.
    static constexpr unsigned short ID_FILE_NEW = 1010;
    static constexpr unsigned short ID_FILE_OPEN = 1020;
    static constexpr unsigned short ID_FILE_SAVE = 1040;
    static constexpr unsigned short ID_NEW_COMPANY = 1100;
    static constexpr unsigned short ID_OPEN_COMPANY = 1110;
    static constexpr unsigned short ID_APP_EXIT = 1999;
    static constexpr unsigned short ID_EDIT_CUT = 2010;
    static constexpr unsigned short ID_EDIT_COPY = 2020;
    static constexpr unsigned short ID_EDIT_PASTE = 2030;
    static constexpr unsigned short ID_EDIT_UNDO = 2040;
    static constexpr unsigned short ID_EDIT_REDO = 2050;
    static constexpr unsigned short ID_NEW_ISSUE = 7098;
    static constexpr unsigned short ID_FILE_DOCTOR = 7200;
    static constexpr unsigned short ID_CUSTOMIZE = 7400;
    static constexpr unsigned short ID_OPTIONS = 7500;
    static constexpr unsigned short ID_WINDOW_CASCADE = 8010;
    static constexpr unsigned short ID_WINDOW_TILE = 8020;
    static constexpr unsigned short ID_WINDOW_ARRANGE = 8030;
    static constexpr unsigned short ID_HELP_TOPICS = 9010;
    static constexpr unsigned short ID_WHATS_THIS = 9020;
    static constexpr unsigned short ID_SYSTEM_LOG = 9110;
    static constexpr unsigned short ID_APP_ABOUT = 9999;
    static constexpr unsigned short ID_NEXT_WINDOW = 61188;
    static constexpr unsigned short ID_PREVIOUS_WINDOW = 61189;

    kwCommonCommands() = delete;

    // Registers the commands with the application and makes the common tasks (New Issue,
    // Customize, Options). documentCommands adds Save (Ctrl+S) for the active document
    // window. Commands the framework does not carry (company settings, printing, macros,
    // calculator, web pages) are left out, so their menu items stay disabled.
    static void Install(kwApplication& app, bool documentCommands);
};
