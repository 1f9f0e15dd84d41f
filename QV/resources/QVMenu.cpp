// Menu 1 and accelerator table 1 of the main program. Most items are the framework's common
// commands; an item whose command nothing handles is shown disabled.
#include "QV/resources/QVResources.h"
#include "QV/strings/QVStrings.h"
#include "kwapp/resources/kwResourceRegistrar.h"
#include "qvcore/tasks/qvCommands.h"

namespace {
using E = kwMenuEntry;
using C = kwCommonCommands;

const kwMenuEntry mainMenu[] = {
    {E::Popup, 0, "&File"},
        {E::Item, C::ID_NEW_COMPANY, "&New Company..."},
        {E::Item, C::ID_OPEN_COMPANY, "&Open Company..."},
        {E::Popup, 0, "&Company Settings"},
            {E::Item, C::ID_COMPANY_GENERAL, "&General..."},
            {E::Item, C::ID_COMPANY_FILE_LOCATIONS, "&File Locations..."},
            {E::Item, C::ID_CUSTOM_DESCRIPTIONS, "&Custom Descriptions..."},
            {E::Item, C::ID_CUSTOM_FIELDS, "C&ustom Fields..."},
        {E::End, 0, nullptr},
        {E::Separator, 0, nullptr},
        {E::Item, C::ID_FILE_PRINT, "&Print...\tCtrl+P"},
        {E::Item, C::ID_PRINT_SETUP, "Print Set&up..."},
        {E::Item, C::ID_PRINTOUTS, "P&rintouts..."},
        {E::Separator, 0, nullptr},
        {E::Item, C::ID_APP_EXIT, "E&xit"},
    {E::End, 0, nullptr},
    {E::Popup, 0, "&Edit"},
        {E::Item, C::ID_EDIT_UNDO, "&Undo\tCtrl+Z"},
        {E::Item, C::ID_EDIT_REDO, "&Redo\tCtrl+Y"},
        {E::Item, C::ID_EDIT_CUT, "Cu&t\tCtrl+X"},
        {E::Item, C::ID_EDIT_COPY, "&Copy\tCtrl+C"},
        {E::Item, C::ID_EDIT_PASTE, "&Paste\tCtrl+V"},
    {E::End, 0, nullptr},
    {E::Popup, 0, "Too&ls"},
        {E::Item, QV_CMD_APPLICATIONS, "&Applications..."},
        {E::Separator, 0, nullptr},
        {E::Item, QV_CMD_FORMULAS, "&Formulas..."},
        {E::Item, C::ID_MACROS, "Mac&ros..."},
        {E::Item, C::ID_BACKGROUND_TASKS, "&Background Tasks..."},
        {E::Item, C::ID_CALCULATOR, "Ca&lculator..."},
        {E::Separator, 0, nullptr},
        {E::Item, C::ID_FILE_DOCTOR, "File &Doctor..."},
        {E::Separator, 0, nullptr},
        {E::Item, QV_CMD_CUSTOMIZE, "&Customize..."},
        {E::Item, QV_CMD_OPTIONS, "&Options..."},
    {E::End, 0, nullptr},
    {E::Popup, 0, "&Window"},
        {E::Item, C::ID_WINDOW_CASCADE, "&Cascade"},
        {E::Item, C::ID_WINDOW_TILE, "&Tile"},
        {E::Item, C::ID_WINDOW_ARRANGE, "&Arrange Icons"},
    {E::End, 0, nullptr},
    {E::Popup, 0, "&Help"},
        {E::Item, C::ID_HELP_TOPICS, "&Help Topics"},
        {E::Item, C::ID_WHATS_THIS, "&What's This?"},
        {E::Separator, 0, nullptr},
        {E::Item, C::ID_SERVICES, "&Maxtrel Services..."},
        {E::Item, C::ID_RELEASE_NOTES, "&Release Notes..."},
        {E::Item, C::ID_SYSTEM_LOG, "Maxtrel System &Log..."},
        {E::Separator, 0, nullptr},
        {E::Popup, 0, "Maxtrel on the We&b"},
            {E::Item, C::ID_WEB_HOME_PAGE, "Maxtrel &Home Page"},
            {E::Item, C::ID_WEB_USERS_GROUP, "Maxtrel &Users Group"},
            {E::Item, C::ID_WEB_NEWS, "&What's New at Maxtrel"},
        {E::End, 0, nullptr},
        {E::Item, C::ID_APP_ABOUT, "&About Quorvel..."},
    {E::End, 0, nullptr},
};

const kwAccelEntry mainAccelerators[] = {
    {"Ctrl+C", C::ID_EDIT_COPY}, {"Ctrl+N", C::ID_FILE_NEW}, {"Ctrl+O", C::ID_FILE_OPEN}, {"Ctrl+P", C::ID_FILE_PRINT}, {"Ctrl+S", C::ID_FILE_SAVE},
    {"Ctrl+V", C::ID_EDIT_PASTE}, {"Ctrl+X", C::ID_EDIT_CUT}, {"Ctrl+Y", C::ID_EDIT_REDO}, {"Ctrl+Z", C::ID_EDIT_UNDO},
};

const kwResourceRegistrar menu(QV_MODULE, IDR_MAINFRAME, mainMenu);
const kwResourceRegistrar accelerators(QV_MODULE, IDR_MAINFRAME, mainAccelerators);
} // namespace
