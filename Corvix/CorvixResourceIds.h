#pragma once

// Every resource id Corvix asks its compiled-in resources for: the window
// takes its ids from here, the skin generator draws the pictures and checks
// the strings listed here, and the tests use them to find controls.

#include <array>

namespace corvix::res {

// ---- Templates, icon, cursor, menu -------------------------------------------
inline constexpr int kDialogMain = 102;
inline constexpr int kDialogRow = 164;
inline constexpr int kIconMain = 128;
inline constexpr int kCursorHand = 138;
inline constexpr int kMenuTray = 159;

// ---- Controls of the main window ------------------------------------------------
inline constexpr int kButtonMinimise = 1000;
inline constexpr int kButtonClose = 1001;
inline constexpr int kButtonRescan = 1012;
inline constexpr std::array<int, 5> kHeaders = {1013, 1014, 1015, 1016, 1017};
inline constexpr int kScrollBar = 1018;

// ---- Controls of a row ----------------------------------------------------------
inline constexpr int kRowName = 1019;
inline constexpr int kRowModel = 1020;
inline constexpr int kRowIp = 1021;
inline constexpr int kRowMac = 1022;
inline constexpr int kRowConnect = 1023;

// ---- Tray menu commands -----------------------------------------------------------
inline constexpr int kCommandShow = 32771;
inline constexpr int kCommandExit = 32772;

// ---- Strings ----------------------------------------------------------------------
inline constexpr int kRectClose = 101;
inline constexpr int kRectMinimise = 102;
inline constexpr int kRectRescan = 103;
inline constexpr int kRectScrollBar = 104;
inline constexpr int kIntRowLeftPlus3 = 105;
inline constexpr int kIntRowTop = 106;
inline constexpr int kTextTitle = 107;
inline constexpr int kTextMenuShow = 200;
inline constexpr int kTextMenuExit = 201;
inline constexpr std::array<int, 5> kTextHeaders = {202, 203, 204, 205, 206};
inline constexpr std::array<int, 5> kRectHeaders = {300, 301, 302, 303, 304};
inline constexpr int kColorHeaders = 400;
inline constexpr int kIntRowPointSize = 1005;
inline constexpr int kFontHeaders = 1025;
inline constexpr std::array<int, 5> kRectRow = {2000, 2001, 2002, 2003, 2004};

// ---- Pictures (type "PNG") -----------------------------------------------------------
inline constexpr int kPngTitle = 130;
inline constexpr int kPngBody = 129;
inline constexpr int kPngSpare = 2;  // loaded at set-up, never drawn
inline constexpr int kPngRow = 165;
inline constexpr int kPngRowHover = 166;

// A button's four pictures, in the order SetButtonImages takes them.
struct ButtonImages {
    int normal;
    int hover;
    int pressed;
    int disabled;
};
inline constexpr ButtonImages kImagesClose = {133, 132, 134, 132};
inline constexpr ButtonImages kImagesMinimise = {136, 135, 137, 135};
inline constexpr ButtonImages kImagesRescan = {163, 162, 160, 161};
inline constexpr ButtonImages kImagesConnect = {170, 169, 167, 168};

// Sizes of the pictures; the window's geometry follows from them.
struct PictureSize {
    int id;
    int width;
    int height;
};
inline constexpr std::array<PictureSize, 19> kPictureSizes = {{
    {130, 663, 57}, {129, 663, 472}, {2, 360, 240},  {133, 41, 18},  {132, 41, 18},
    {134, 41, 18},  {136, 28, 17},   {135, 28, 17},  {137, 28, 17},  {163, 98, 23},
    {162, 98, 23},  {160, 98, 23},   {161, 98, 23},  {170, 50, 23},  {169, 50, 23},
    {167, 50, 23},  {168, 50, 23},   {165, 582, 34}, {166, 611, 34},
}};

// What a string of the table holds; the generator refuses a table without it.
enum class StringKind { Text, Int, Color, Rect };
struct RequiredString {
    int id;
    StringKind kind;
};
inline constexpr std::array<RequiredString, 41> kRequiredStrings = {{
    {101, StringKind::Rect},  {102, StringKind::Rect},  {103, StringKind::Rect},
    {104, StringKind::Rect},  {105, StringKind::Int},   {106, StringKind::Int},
    {107, StringKind::Text},  {200, StringKind::Text},  {201, StringKind::Text},
    {202, StringKind::Text},  {203, StringKind::Text},  {204, StringKind::Text},
    {205, StringKind::Text},  {206, StringKind::Text},  {300, StringKind::Rect},
    {301, StringKind::Rect},  {302, StringKind::Rect},  {303, StringKind::Rect},
    {304, StringKind::Rect},  {400, StringKind::Color}, {1001, StringKind::Int},
    {1002, StringKind::Int},  {1003, StringKind::Text}, {1004, StringKind::Text},
    {1005, StringKind::Int},  {1006, StringKind::Text}, {1022, StringKind::Text},
    {1023, StringKind::Int},  {1024, StringKind::Text}, {1025, StringKind::Text},
    {1026, StringKind::Text}, {1027, StringKind::Text}, {1029, StringKind::Int},
    {1030, StringKind::Int},  {1031, StringKind::Int},  {1032, StringKind::Int},
    {2000, StringKind::Rect}, {2001, StringKind::Rect}, {2002, StringKind::Rect},
    {2003, StringKind::Rect}, {2004, StringKind::Rect},
}};

}  // namespace corvix::res
