// The framework's common commands and tasks, shared by every program of the suite.
#pragma once

class kwApplication;

class kwCommonCommands {
public:
    // Command ids of the framework, the one place they are numbered: menus, accelerators,
    // string tables, operator rights and macros all name a command by its id.
    static constexpr unsigned short ID_FILE_NEW = 1010;
    static constexpr unsigned short ID_FILE_OPEN = 1020;
    static constexpr unsigned short ID_FILE_SAVE = 1040;
    static constexpr unsigned short ID_NEW_COMPANY = 1100;
    static constexpr unsigned short ID_OPEN_COMPANY = 1110;
    static constexpr unsigned short ID_COMPANY_GENERAL = 1130;
    static constexpr unsigned short ID_COMPANY_FILE_LOCATIONS = 1140;
    static constexpr unsigned short ID_CUSTOM_DESCRIPTIONS = 1150;
    static constexpr unsigned short ID_CUSTOM_FIELDS = 1155;
    static constexpr unsigned short ID_FILE_PRINT = 1210;
    static constexpr unsigned short ID_PRINT_SETUP = 1230;
    static constexpr unsigned short ID_PRINTOUTS = 1240;
    static constexpr unsigned short ID_APP_EXIT = 1999;
    // The prompt of the frame's close box (the system menu's Close).
    static constexpr unsigned short ID_APP_EXIT_PROMPT = 2000;
    static constexpr unsigned short ID_EDIT_CUT = 2010;
    static constexpr unsigned short ID_EDIT_COPY = 2020;
    static constexpr unsigned short ID_EDIT_PASTE = 2030;
    static constexpr unsigned short ID_EDIT_UNDO = 2040;
    static constexpr unsigned short ID_EDIT_REDO = 2050;
    static constexpr unsigned short ID_NEW_ISSUE = 7098;
    static constexpr unsigned short ID_FORMULAS = 7100;
    static constexpr unsigned short ID_MACROS = 7110;
    static constexpr unsigned short ID_BACKGROUND_TASKS = 7120;
    static constexpr unsigned short ID_CALCULATOR = 7130;
    static constexpr unsigned short ID_FILE_DOCTOR = 7200;
    static constexpr unsigned short ID_CUSTOMIZE = 7400;
    static constexpr unsigned short ID_OPTIONS = 7500;
    static constexpr unsigned short ID_WINDOW_CASCADE = 8010;
    static constexpr unsigned short ID_WINDOW_TILE = 8020;
    static constexpr unsigned short ID_WINDOW_ARRANGE = 8030;
    static constexpr unsigned short ID_HELP_TOPICS = 9010;
    static constexpr unsigned short ID_WHATS_THIS = 9020;
    static constexpr unsigned short ID_SERVICES = 9100;
    static constexpr unsigned short ID_SYSTEM_LOG = 9110;
    static constexpr unsigned short ID_RELEASE_NOTES = 9120;
    static constexpr unsigned short ID_WEB_HOME_PAGE = 9210;
    static constexpr unsigned short ID_WEB_USERS_GROUP = 9220;
    static constexpr unsigned short ID_WEB_NEWS = 9230;
    static constexpr unsigned short ID_APP_ABOUT = 9999;
    // The frame's standard commands and prompts (system menu, window list).
    static constexpr unsigned short ID_SIZE_PROMPT = 61184;
    static constexpr unsigned short ID_MOVE_PROMPT = 61185;
    static constexpr unsigned short ID_MINIMIZE_PROMPT = 61186;
    static constexpr unsigned short ID_MAXIMIZE_PROMPT = 61187;
    static constexpr unsigned short ID_NEXT_WINDOW = 61188;
    static constexpr unsigned short ID_PREVIOUS_WINDOW = 61189;
    static constexpr unsigned short ID_CLOSE_PROMPT = 61190;
    static constexpr unsigned short ID_RESTORE_PROMPT = 61202;
    static constexpr unsigned short ID_TASK_LIST_PROMPT = 61203;
    static constexpr unsigned short ID_ACTIVATE_WINDOW_PROMPT = 61215;

    kwCommonCommands() = delete;

    // Registers the commands with the application and makes the common tasks (New Issue,
    // Customize, Options, Formulas). documentCommands adds Save (Ctrl+S) for the active
    // document window. Company Settings > Custom Descriptions is the framework's; commands
    // it does not carry (the other company settings, printing, macros,
    // calculator, web pages) are left out, so their menu items stay disabled.
    static void Install(kwApplication& app, bool documentCommands);
};
