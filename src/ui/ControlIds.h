// The ids of the controls of every dialog, named by kind and purpose.
#pragma once

namespace tc {

// Texts and frames that no code addresses.
constexpr int IDC_STATIC = -1;

// Links of the selection and setup dialogs.
constexpr int IDL_ABOUT = 1024;
constexpr int IDL_CHECK_FOR_UPDATES = 1025;

// Starter selection dialog.
constexpr int IDC_SELECT_LIST = 1012;
constexpr int IDB_SELECT_SETUP = 1013;

// Setup dialog: the J2SE half, the J2ME half, and the file-association link.
constexpr int IDC_J2SE_LIST = 1000;
constexpr int IDB_J2SE_ADD = 1001;
constexpr int IDB_J2SE_EDIT = 1002;
constexpr int IDB_J2SE_DELETE = 1003;
constexpr int IDB_J2SE_SCAN = 1004;
constexpr int IDC_J2SE_ACTION = 1010;
constexpr int IDB_J2SE_COPY = 1012;
constexpr int IDC_J2ME_LIST = 1005;
constexpr int IDB_J2ME_ADD = 1006;
constexpr int IDB_J2ME_EDIT = 1007;
constexpr int IDB_J2ME_DELETE = 1008;
constexpr int IDB_J2ME_SCAN = 1009;
constexpr int IDC_J2ME_ACTION = 1011;
constexpr int IDB_J2ME_COPY = 1013;
constexpr int IDL_FILE_ASSOCIATIONS = 1026;
// The one-shot timer after which an empty catalogue is pointed out.
constexpr int IDT_SCAN_NOTE = 1;

// Starter editors.
constexpr int IDC_STARTER_NAME = 1011;
constexpr int IDC_STARTER_EXECUTABLE = 1013;
constexpr int IDB_STARTER_BROWSE = 1014;
constexpr int IDC_STARTER_ARGUMENTS = 1015;
constexpr int IDB_STARTER_PRESETS = 1026;

// About box.
constexpr int IDL_WEB_SITE = 1023;
constexpr int IDC_ABOUT_VERSION = 1028;

// Update progress dialog.
constexpr int IDC_UPDATE_PROGRESS = 1027;

// Size mismatch dialog.
constexpr int IDC_SIZE_MISMATCH_TEXT = 1022;
constexpr int IDB_TEMPORARY_JAD = 1013;

// Java version dialog.
constexpr int IDC_JAVA_VERSION_TEXT = 1022;
constexpr int IDB_START_ANYWAY = 1015;
constexpr int IDB_GET_JAVA = 1019;

// Start failure dialog.
constexpr int IDC_START_FAILURE_TEXT = 1016;
constexpr int IDC_START_FAILURE_OUTPUT = 1017;
constexpr int IDB_COPY_DETAILS = 1018;

// Security warning before a program from the internet runs.
constexpr int IDC_SECURITY_TEXT = 1030;
constexpr int IDC_SECURITY_NAME = 1031;
constexpr int IDC_SECURITY_FROM = 1032;
constexpr int IDC_ALWAYS_ASK = 1033;
constexpr int IDB_RUN = 1034;
constexpr int IDC_SECURITY_ICON = 1035;  // the Win32 host finds it by its id to set the system's icon

// Get Java dialog, and the dialog shown while Java is installed.
constexpr int IDC_GET_JAVA_TEXT = 1016;
constexpr int IDB_OPEN_DOWNLOAD_PAGE = 1020;
constexpr int IDC_INSTALLING_TEXT = 1016;
constexpr int IDC_INSTALLING_PROGRESS = 1021;
// The timer at which the installing dialog looks whether the installation has ended.
constexpr int IDT_INSTALL_ENDED = 1;

// Start Options dialog: the starter and the program's own arguments; how a desktop program runs and what its Java
// is given; a game's screen.
constexpr int IDC_OPTIONS_STARTER = 1030;
constexpr int IDC_OPTIONS_ARGUMENTS = 1031;
constexpr int IDC_OPTIONS_RUNS = 1032;
constexpr int IDC_OPTIONS_SCALING = 1033;
constexpr int IDC_OPTIONS_MEMORY = 1034;
constexpr int IDC_OPTIONS_JAVA_OPTIONS = 1035;
constexpr int IDC_OPTIONS_WIDTH = 1036;
constexpr int IDC_OPTIONS_HEIGHT = 1037;
constexpr int IDB_OPTIONS_FORGET = 1038;

}  // namespace tc
