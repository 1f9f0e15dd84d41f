// Simple MAPI as the suite's mail service offers it: the message and recipient structures,
// the flags and the status numbers of the standard, and the one call, MAPISendMail. The
// service is a shared library loaded at run time by its logical name "MAPI32.DLL"; callers
// bind MAPISendMail by name and must not link against it.
#pragma once

#include "mapi/mapi_export.h"

#include <cstdint>

using ULONG = uint32_t;
using FLAGS = uint32_t;
using LHANDLE = uintptr_t;
using ULONG_PTR = uintptr_t;

// Status numbers.
constexpr ULONG SUCCESS_SUCCESS = 0;
constexpr ULONG MAPI_USER_ABORT = 1;
constexpr ULONG MAPI_E_FAILURE = 2;
constexpr ULONG MAPI_E_LOGIN_FAILURE = 3;
constexpr ULONG MAPI_E_DISK_FULL = 4;
constexpr ULONG MAPI_E_INSUFFICIENT_MEMORY = 5;
constexpr ULONG MAPI_E_ACCESS_DENIED = 6;
constexpr ULONG MAPI_E_TOO_MANY_SESSIONS = 8;
constexpr ULONG MAPI_E_TOO_MANY_FILES = 9;
constexpr ULONG MAPI_E_TOO_MANY_RECIPIENTS = 10;
constexpr ULONG MAPI_E_ATTACHMENT_NOT_FOUND = 11;
constexpr ULONG MAPI_E_ATTACHMENT_OPEN_FAILURE = 12;
constexpr ULONG MAPI_E_ATTACHMENT_WRITE_FAILURE = 13;
constexpr ULONG MAPI_E_UNKNOWN_RECIPIENT = 14;
constexpr ULONG MAPI_E_BAD_RECIPTYPE = 15;
constexpr ULONG MAPI_E_NO_MESSAGES = 16;
constexpr ULONG MAPI_E_INVALID_MESSAGE = 17;
constexpr ULONG MAPI_E_TEXT_TOO_LARGE = 18;
constexpr ULONG MAPI_E_INVALID_SESSION = 19;
constexpr ULONG MAPI_E_TYPE_NOT_SUPPORTED = 20;
constexpr ULONG MAPI_E_AMBIGUOUS_RECIPIENT = 21;
constexpr ULONG MAPI_E_MESSAGE_IN_USE = 22;
constexpr ULONG MAPI_E_NETWORK_FAILURE = 23;
constexpr ULONG MAPI_E_INVALID_EDITFIELDS = 24;
constexpr ULONG MAPI_E_INVALID_RECIPS = 25;
constexpr ULONG MAPI_E_NOT_SUPPORTED = 26;

// Flags of MAPISendMail.
constexpr FLAGS MAPI_LOGON_UI = 0x00000001; // the service may ask the user to log on
constexpr FLAGS MAPI_NEW_SESSION = 0x00000002;
constexpr FLAGS MAPI_DIALOG = 0x00000008; // show the compose window before sending

// Recipient classes.
constexpr ULONG MAPI_ORIG = 0;
constexpr ULONG MAPI_TO = 1;
constexpr ULONG MAPI_CC = 2;
constexpr ULONG MAPI_BCC = 3;

struct MapiRecipDesc {
    ULONG ulReserved;
    ULONG ulRecipClass; // MAPI_TO, MAPI_CC, MAPI_BCC (MAPI_ORIG for the originator)
    char* lpszName;     // display name; the service resolves it when there is no address
    char* lpszAddress;  // "SMTP:someone@example.com" or a plain address; may be null
    ULONG ulEIDSize;
    void* lpEntryID;
};

struct MapiFileDesc {
    ULONG ulReserved;
    ULONG flFlags;
    ULONG nPosition;
    char* lpszPathName;
    char* lpszFileName;
    void* lpFileType;
};

struct MapiMessage {
    ULONG ulReserved;
    char* lpszSubject;
    char* lpszNoteText;
    char* lpszMessageType;
    char* lpszDateReceived;
    char* lpszConversationID;
    FLAGS flFlags;
    MapiRecipDesc* lpOriginator;
    ULONG nRecipCount;
    MapiRecipDesc* lpRecips;
    ULONG nFileCount;
    MapiFileDesc* lpFiles;
};

// The library's file for the logical name "MAPI32.DLL".
constexpr const char* MAPI_LIBRARY_FILE = "libmapi.so";

// Sends one message. Texts are UTF-8. session and uiParam are accepted and not used.
using LPMAPISENDMAIL = ULONG (*)(LHANDLE session, ULONG_PTR uiParam, MapiMessage* message,
                                 FLAGS flags, ULONG reserved);
extern "C" MAPI_EXPORT ULONG MAPISendMail(LHANDLE session, ULONG_PTR uiParam, MapiMessage* message,
                                          FLAGS flags, ULONG reserved);

// The seam through which tests answer the service's windows (compose and logon) without
// showing them: answers are taken in order, one per window that would be shown;
// MAPI_ANSWER_OK presses Send (or OK) on the window as it was filled, MAPI_ANSWER_CANCEL
// presses Cancel. Bound by name like MAPISendMail.
constexpr int MAPI_ANSWER_OK = 0;
constexpr int MAPI_ANSWER_CANCEL = 1;
using LPMAPISCRIPTANSWERS = void (*)(const int* answers, int count);
using LPMAPISCRIPTEDANSWERSLEFT = int (*)();
extern "C" MAPI_EXPORT void mapi_script_answers(const int* answers, int count);
extern "C" MAPI_EXPORT int mapi_scripted_answers_left();
