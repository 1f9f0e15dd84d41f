// The string table of the common-services library ("QVCORE.DLL"): the words the program
// shows (literals, ids 1-53) and its messages (ids 500-515). The texts are in
// qvcoreStrings.cpp and registered when the library loads.
#pragma once

inline constexpr const char* QVCORE_MODULE = "QVCORE.DLL";

enum qvcoreLiteralId : short {
    QVL_SEPARATOR = 1, // " - "
    QVL_ISSUES = 2,
    QVL_SAVE = 7,
    QVL_PRINT = 8,
    QVL_COPY_PREVIOUS = 9,
    QVL_VIEW_ISSUES = 13,
    QVL_NEW_ISSUE = 14,
    QVL_BUILD_QUERY = 15,
    QVL_SELECT_GRID_COLUMNS = 16,
    QVL_RESTORE = 17,
    QVL_HELP = 18,
    QVL_GENERAL = 19,
    QVL_DETAIL = 20,
    QVL_CLOSE = 21,
    QVL_INQUIRY = 22,
    QVL_NEW = 23,
    QVL_EDIT = 24,
    QVL_DELETE = 25,
    QVL_NOTES = 26,
    QVL_CRITERIA = 27,
    QVL_ACTION = 28,
    QVL_MESSAGE = 29,
    QVL_SUMMARY = 30,
    QVL_FREQUENCY = 31,
    QVL_CUSTOM_FIELDS = 32,
    QVL_RESOLUTION = 33,
    QVL_ADD_DAYS = 34, // "Add %hd Day" (printf format)
    QVL_OK = 35,
    QVL_CANCEL = 36,
    QVL_NOTIFY = 37,
    QVL_LINKS = 38,
    QVL_ATTACHMENTS = 39,
    QVL_STATISTICS = 40,
    QVL_FILES = 41,
    QVL_FUNCTIONS = 43, // "Quorvel Functions"
    QVL_TOOLS = 45,
    QVL_FILE = 46,
    QVL_ATTACH = 47,
    QVL_EDIT_ISSUE = 48,
    QVL_RULE = 49, // a line of 25 hyphens between two line feeds
    QVL_CHANGES_TO_ISSUE = 50,
    QVL_LOWEST_DATA_VERSION = 51,
    QVL_NOTIFY_DATE = 52,
    QVL_DUE_DATE = 53,
};

enum qvcoreMessageId : short {
    QVM_LOAD_KWINQ = 500,
    QVM_LIST_INQUIRIES = 501,
    QVM_UNLINK_INQUIRY = 502, // #inquiry_name#
    QVM_DELETE_ISSUE = 503,
    QVM_SAVE_CHANGES = 504,
    QVM_OPEN_DICTIONARY = 505,
    QVM_CANCEL_CHANGES = 506,
    QVM_NOTIFY_NOT_SENT = 507,
    QVM_LOAD_NEW_ISSUE = 508,
    QVM_NOTIFY_AFTER_DUE = 509,
    QVM_OPEN_DICTIONARY_UPGRADE = 510,
    QVM_WRITE_PREFERENCES = 511,
    QVM_LOAD_MAIL = 512,
    QVM_ATTACHMENTS_IN_USE = 513,
    QVM_ALREADY_RUNNING = 514,
    QVM_DATE_PASSED = 515, // #date_name#
};
