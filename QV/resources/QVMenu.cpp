// Menu 1 and accelerator table 1 of the main program. Most items are the framework's common
// commands; an item whose command nothing handles is shown disabled.
#include "QV/resources/QVResources.h"
#include "QV/strings/QVStrings.h"
#include "kwapp/resources/kwResourceRegistrar.h"

namespace {
using E = kwMenuEntry;

const kwMenuEntry mainMenu[] = {
    {E::Popup, 0, "&File"},
        {E::Item, 1100, "&New Company..."},
        {E::Item, 1110, "&Open Company..."},
        {E::Popup, 0, "&Company Settings"},
            {E::Item, 1130, "&General..."},
            {E::Item, 1140, "&File Locations..."},
            {E::Item, 1150, "&Custom Descriptions..."},
            {E::Item, 1155, "C&ustom Fields..."},
        {E::End, 0, nullptr},
        {E::Separator, 0, nullptr},
        {E::Item, 1210, "&Print...\tCtrl+P"},
        {E::Item, 1230, "Print Set&up..."},
        {E::Item, 1240, "P&rintouts..."},
        {E::Separator, 0, nullptr},
        {E::Item, 1999, "E&xit"},
    {E::End, 0, nullptr},
    {E::Popup, 0, "&Edit"},
        {E::Item, 2040, "&Undo\tCtrl+Z"},
        {E::Item, 2050, "&Redo\tCtrl+Y"},
        {E::Item, 2010, "Cu&t\tCtrl+X"},
        {E::Item, 2020, "&Copy\tCtrl+C"},
        {E::Item, 2030, "&Paste\tCtrl+V"},
    {E::End, 0, nullptr},
    {E::Popup, 0, "Too&ls"},
        {E::Item, 7005, "&Applications..."},
        {E::Separator, 0, nullptr},
        {E::Item, 7100, "&Formulas..."},
        {E::Item, 7110, "Mac&ros..."},
        {E::Item, 7120, "&Background Tasks..."},
        {E::Item, 7130, "Ca&lculator..."},
        {E::Separator, 0, nullptr},
        {E::Item, 7200, "File &Doctor..."},
        {E::Separator, 0, nullptr},
        {E::Item, 7400, "&Customize..."},
        {E::Item, 7500, "&Options..."},
    {E::End, 0, nullptr},
    {E::Popup, 0, "&Window"},
        {E::Item, 8010, "&Cascade"},
        {E::Item, 8020, "&Tile"},
        {E::Item, 8030, "&Arrange Icons"},
    {E::End, 0, nullptr},
    {E::Popup, 0, "&Help"},
        {E::Item, 9010, "&Help Topics"},
        {E::Item, 9020, "&What's This?"},
        {E::Separator, 0, nullptr},
        {E::Item, 9100, "&Maxtrel Services..."},
        {E::Item, 9120, "&Release Notes..."},
        {E::Item, 9110, "Maxtrel System &Log..."},
        {E::Separator, 0, nullptr},
        {E::Popup, 0, "Maxtrel on the We&b"},
            {E::Item, 9210, "Maxtrel &Home Page"},
            {E::Item, 9220, "Maxtrel &Users Group"},
            {E::Item, 9230, "&What's New at Maxtrel"},
        {E::End, 0, nullptr},
        {E::Item, 9999, "&About Quorvel..."},
    {E::End, 0, nullptr},
};

const kwAccelEntry mainAccelerators[] = {
    {"Ctrl+C", 2020}, {"Ctrl+N", 1010}, {"Ctrl+O", 1020}, {"Ctrl+P", 1210}, {"Ctrl+S", 1040},
    {"Ctrl+V", 2030}, {"Ctrl+X", 2010}, {"Ctrl+Y", 2050}, {"Ctrl+Z", 2040},
};

const kwResourceRegistrar menu(QV_MODULE, IDR_MAINFRAME, mainMenu);
const kwResourceRegistrar accelerators(QV_MODULE, IDR_MAINFRAME, mainAccelerators);
} // namespace
