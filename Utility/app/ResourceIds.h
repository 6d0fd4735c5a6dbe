#pragma once

// Every resource id Ambrel asks its language bundle for, in one place: the
// windows take their ids from here, the skin generator draws the pictures
// listed here, and a test checks that both bundles hold all of them (a
// missing picture or text is fatal at run time). New windows add to it.

#include <array>
#include <span>

namespace ambrel::res {

// ---- Dialog templates -------------------------------------------------------
inline constexpr int kDialogMain = 102;
inline constexpr int kDialogMessageBox = 142;
inline constexpr int kDialogNetwork = 162;
inline constexpr int kDialogStatus = 167;
inline constexpr int kDialogAdvanced = 172;
inline constexpr int kDialogQos = 177;
inline constexpr int kDialogNetworkRow = 183;
inline constexpr int kDialogAddDevice = 203;
inline constexpr int kDialogReset = 210;
inline constexpr int kDialogUpgrade = 217;
inline constexpr int kDialogAbout = 259;

// ---- Icon, cursor, menu, animation -----------------------------------------
inline constexpr int kIconMain = 128;    // type "ICON": PNG
inline constexpr int kCursorHand = 134;  // type "CURSOR": PNG, hot spot in its "hotspot" text
inline constexpr int kMenuTray = 234;
inline constexpr int kGifBusy = 212;  // type "ORVIKGIF": animated GIF
inline constexpr char kTypePng[] = "PNG";
inline constexpr char kTypeGif[] = "ORVIKGIF";
inline constexpr char kTypeIcon[] = "ICON";
inline constexpr char kTypeCursor[] = "CURSOR";

// Tray menu commands and their texts.
inline constexpr int kCommandShow = 32775;
inline constexpr int kCommandAbout = 32777;
inline constexpr int kCommandExit = 32774;
inline constexpr int kTextMenuShow = 200;
inline constexpr int kTextMenuExit = 201;
inline constexpr int kTextMenuAbout = 202;

// ---- Strings ----------------------------------------------------------------
inline constexpr int kTextWindowTitle = 400;
inline constexpr int kTextNoLocalDevice = 144;
inline constexpr int kTextSettingsNotSaved = 156;
inline constexpr int kTextCloseQuestion = 155;       // the main window's close question
inline constexpr int kTextNamingStyle = 575;         // "EN" or "CN"
inline constexpr int kTextPictureErrorFormat = 145;  // "%d": the picture id
inline constexpr int kTextStringErrorCaption = 151;
inline constexpr int kTextStringErrorFormat = 152;  // "%d": the string id
inline constexpr int kTextMessageBoxPictureError = 130;
inline constexpr int kTextMessageBoxPictureCaption = 1020;
inline constexpr int kTextRememberedTableFull = 3011;
inline constexpr int kTextDeviceFoundValue = 10000;
inline constexpr int kIntPagePointSize = 141;
inline constexpr int kIntRowLeft = 142;
inline constexpr int kIntListTop = 143;

// What a string of the table holds; the bundle test checks each one's form.
enum class StringKind {
    Text,   // user-visible, not empty
    Rect,   // "x,y,w,h", each from 1 to 10000
    Int,    // decimal
    Color,  // "r,g,b"
};

struct StringRange {
    int first;
    int last;
    StringKind kind;
};

inline constexpr StringRange kRequiredStrings[] = {
    // Main window, tray menu, start-up scan, fatal messages.
    {130, 130, StringKind::Text},
    {135, 140, StringKind::Rect},  // minimise, close, Network, Status, Advanced, QoS tabs
    {141, 143, StringKind::Int},
    {144, 145, StringKind::Text},
    {151, 156, StringKind::Text},
    {200, 202, StringKind::Text},
    {300, 300, StringKind::Int},
    {400, 400, StringKind::Text},
    {575, 575, StringKind::Text},
    // Message box, font table.
    {1000, 1000, StringKind::Color},
    {1001, 1002, StringKind::Int},
    {1003, 1004, StringKind::Text},
    {1005, 1005, StringKind::Int},
    {1006, 1009, StringKind::Text},
    {1010, 1014, StringKind::Rect},
    {1016, 1019, StringKind::Rect},
    {1020, 1020, StringKind::Text},
    {1021, 1021, StringKind::Rect},
    {1022, 1022, StringKind::Text},
    {1023, 1023, StringKind::Int},
    {1024, 1027, StringKind::Text},
    {1029, 1032, StringKind::Int},
    // Network page and its rows.
    {2000, 2010, StringKind::Text},
    {2100, 2118, StringKind::Rect},
    {2200, 2200, StringKind::Color},
    {6000, 6006, StringKind::Rect},
    // Add-device dialog.
    {3000, 3011, StringKind::Text},
    {3100, 3108, StringKind::Rect},
    // Reset dialog and network-name messages.
    {4000, 4000, StringKind::Text},
    {4001, 4005, StringKind::Rect},
    {4006, 4008, StringKind::Text},
    {4100, 4106, StringKind::Text},
    // Upgrade dialog.
    {5000, 5002, StringKind::Rect},
    {5003, 5004, StringKind::Text},
    {5005, 5011, StringKind::Rect},
    {5012, 5012, StringKind::Text},
    {5013, 5013, StringKind::Rect},
    {5014, 5024, StringKind::Text},
    // Advanced page.
    {7000, 7006, StringKind::Rect},
    {7007, 7012, StringKind::Text},
    {7100, 7103, StringKind::Rect},
    {7200, 7201, StringKind::Color},
    // Status page.
    {8000, 8007, StringKind::Text},
    {8101, 8117, StringKind::Rect},
    {8200, 8202, StringKind::Color},
    // QoS page.
    {9000, 9024, StringKind::Text},
    {9026, 9026, StringKind::Text},
    {9100, 9134, StringKind::Rect},
    {9200, 9201, StringKind::Color},
    // About dialog.
    {10000, 10006, StringKind::Text},
    {10100, 10107, StringKind::Rect},
    // QoS page: the waiting text while the settings are read, and the reasons
    // Apply refuses to write.
    {9025, 9025, StringKind::Text},
    {9027, 9029, StringKind::Text},
};

// ---- Pictures (type "PNG") --------------------------------------------------
inline constexpr int kPngMessageBoxBackground = 130;  // also the size of the outcome shape
inline constexpr int kPngBody = 131;
inline constexpr int kPngTabBar = 132;
inline constexpr int kPngTitle = 133;
inline constexpr int kPngWarning = 143;
inline constexpr int kPngError = 144;
inline constexpr int kPngInformation = 145;  // also "succeeded"
inline constexpr int kPngNetworkPage = 182;
inline constexpr int kPngRowHover = 186;  // its size is the row size
inline constexpr int kPngAddDeviceBackground = 204;
inline constexpr int kPngAdvancedPage = 209;
inline constexpr int kPngResetBackground = 211;
inline constexpr int kPngUpgradeBackground = 218;
inline constexpr int kPngStatusPage = 223;
inline constexpr int kPngQosPage = 224;
inline constexpr int kPngRow = 229;
inline constexpr int kPngAboutBackground = 260;

// The four pictures of a skinned button, in the order SetButtonImages takes them.
struct ButtonImages {
    int normal;
    int hover;
    int pressed;
    int disabled;
};

// A skinned button: its control id, pictures and layout rectangle string.
struct ButtonSkin {
    int controlId;
    ButtonImages images;
    int layoutId;
};

// The usual groups "first to first + 3": pressed, disabled, normal, hover.
constexpr ButtonImages ImageGroup(int first) {
    return {first + 2, first + 3, first, first + 1};
}

inline constexpr ButtonImages kImagesOk = ImageGroup(146);
inline constexpr ButtonImages kImagesYes = ImageGroup(150);
inline constexpr ButtonImages kImagesNo = ImageGroup(154);
inline constexpr ButtonImages kImagesCancel = ImageGroup(158);
inline constexpr ButtonImages kImagesClose = ImageGroup(213);

inline constexpr ButtonSkin kMainButtons[] = {
    {1013, {170, 171, 168, 169}, 138},  // Status tab
    {1015, {180, 181, 178, 179}, 140},  // QoS tab
    {1012, {164, 165, 166, 163}, 137},  // Network tab
    {1014, {175, 176, 173, 174}, 139},  // Advanced tab (140 when QoS is not offered)
    {1001, {137, 138, 139, 137}, 136},  // close
    {1000, {140, 141, 136, 140}, 135},  // minimise
};
inline constexpr ButtonSkin kNetworkButtons[] = {
    {1025, {189, 190, 187, 188}, 2109},  // refresh
    {1026, {193, 194, 195, 192}, 2110},  // add a device
    {1027, {201, 202, 191, 200}, 2111},  // unused, hidden
    {1028, {197, 198, 199, 196}, 2112},  // refresh, hidden by the layout
};
inline constexpr ButtonSkin kNetworkRowButton = {1060, {201, 202, 191, 200}, 6006};
inline constexpr ButtonSkin kAddDeviceButtons[] = {
    {1033, {207, 208, 205, 206}, 3102},  // OK
    {1034, {160, 161, 158, 159}, 3103},  // cancel
    {1061, {215, 216, 213, 214}, 3104},  // close
};
inline constexpr ButtonSkin kStatusButtons[] = {
    {1098, {248, 249, 250, 247}, 8114},  // apply
    {1064, {252, 253, 254, 251}, 8115},  // refresh
};
inline constexpr ButtonSkin kQosButtons[] = {
    {1064, ImageGroup(230), 9100},  // apply
};
inline constexpr ButtonSkin kAdvancedButtons[] = {
    {1041, ImageGroup(243), 7100},  // reset the local device
    {1040, ImageGroup(239), 7101},  // upgrade
    {1042, ImageGroup(235), 7102},  // set the network name
    {1064, ImageGroup(255), 7103},  // reset all devices
};
inline constexpr ButtonSkin kResetButtons[] = {
    {1048, kImagesOk, 4002},
    {1049, kImagesCancel, 4003},
    {1047, kImagesClose, 4005},
};
inline constexpr ButtonSkin kUpgradeButtons[] = {
    {1052, ImageGroup(219), 5010}, {1053, ImageGroup(219), 5011}, {1054, kImagesOk, 5000},
    {1055, kImagesCancel, 5001},   {1058, kImagesClose, 5002},
};
inline constexpr ButtonSkin kMessageBoxButtons[] = {
    {1003, kImagesOk, 1016},  // 1021 when OK is alone
    {1005, kImagesCancel, 1017},
    {1002, kImagesYes, 1016},
    {1004, kImagesNo, 1017},
};
inline constexpr ButtonSkin kAboutButtons[] = {
    {1064, kImagesOk, 10100},
};

// Every skinned button, for the checks that pictures and rectangles agree.
inline constexpr std::span<const ButtonSkin> kAllButtonGroups[] = {
    kMainButtons,    kNetworkButtons,    {&kNetworkRowButton, 1}, kAddDeviceButtons,
    kStatusButtons,  kQosButtons,        kAdvancedButtons,        kResetButtons,
    kUpgradeButtons, kMessageBoxButtons, kAboutButtons,
};

// Backgrounds and single pictures (the button pictures come from the tables above).
inline constexpr int kRequiredPictures[] = {
    kPngMessageBoxBackground,
    kPngBody,
    kPngTabBar,
    kPngTitle,
    kPngWarning,
    kPngError,
    kPngInformation,
    kPngNetworkPage,
    kPngRowHover,
    kPngAddDeviceBackground,
    kPngAdvancedPage,
    kPngResetBackground,
    kPngUpgradeBackground,
    kPngStatusPage,
    kPngQosPage,
    kPngRow,
    kPngAboutBackground,
};

// Every dialog template and the controls the windows look up in it.
struct DialogControls {
    int dialogId;
    std::span<const int> controls;
};
inline constexpr int kMainControls[] = {1000, 1001, 1012, 1013, 1014, 1015};
inline constexpr int kMessageBoxControls[] = {1002, 1003, 1004, 1005, 1006,
                                              1007, 1008, 1009, 1010, 1011};
inline constexpr int kNetworkControls[] = {1016, 1017, 1018, 1019, 1020, 1021, 1022,
                                           1023, 1024, 1025, 1026, 1027, 1028, 1094,
                                           1095, 1096, 1097, 1098, 1099};
inline constexpr int kStatusControls[] = {1064, 1066, 1067, 1068, 1069, 1070, 1071, 1072, 1073,
                                          1074, 1075, 1076, 1077, 1095, 1096, 1097, 1098};
inline constexpr int kAdvancedControls[] = {1035, 1036, 1037, 1038, 1039, 1040,
                                            1041, 1042, 1043, 1044, 1064};
inline constexpr int kQosControls[] = {1064, 1069, 1070, 1071, 1072, 1073, 1074, 1075, 1076,
                                       1077, 1078, 1079, 1080, 1081, 1082, 1083, 1084, 1085,
                                       1086, 1087, 1088, 1089, 1090, 1091, 1092, 1093, 1094,
                                       1095, 1096, 1097, 1098, 1099, 1100, 1101, 1102};
inline constexpr int kRowControls[] = {1017, 1018, 1020, 1021, 1022, 1060};
inline constexpr int kAddDeviceControls[] = {1029, 1030, 1031, 1032, 1033, 1034, 1061, 1062, 1063};
inline constexpr int kResetControls[] = {1045, 1046, 1047, 1048, 1049};
inline constexpr int kUpgradeControls[] = {1046, 1050, 1051, 1052, 1053, 1054,
                                           1055, 1056, 1057, 1058, 1065};
inline constexpr int kAboutControls[] = {1064, 1103, 1104, 1105, 1106, 1107, 1108, 1109};

inline constexpr DialogControls kRequiredDialogs[] = {
    {kDialogMain, kMainControls},         {kDialogMessageBox, kMessageBoxControls},
    {kDialogNetwork, kNetworkControls},   {kDialogStatus, kStatusControls},
    {kDialogAdvanced, kAdvancedControls}, {kDialogQos, kQosControls},
    {kDialogNetworkRow, kRowControls},    {kDialogAddDevice, kAddDeviceControls},
    {kDialogReset, kResetControls},       {kDialogUpgrade, kUpgradeControls},
    {kDialogAbout, kAboutControls},
};

}  // namespace ambrel::res
