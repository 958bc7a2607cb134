// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Resource and command ids.

constexpr int IDR_MAINFRAME = 128;
constexpr int IDD_ABOUTBOX = 100;
constexpr int IDD_DRAVIK_FORM = 101;

constexpr int IDC_EDIT_FREQ = 1000;
constexpr int IDC_EDIT_WPM = 1001;
constexpr int IDC_RADIO_LATIN_RANDOM1 = 1004;
constexpr int IDC_RADIO_LATIN_RANDOM5 = 1005;
constexpr int IDC_BUTTON_START = 1006;
constexpr int IDC_BUTTON_STOP = 1007;
constexpr int IDC_BUTTON_EVALUATE = 1008;
constexpr int IDC_SPIN_FREQ = 1012;
constexpr int IDC_SPIN_WPM = 1013;
constexpr int IDC_RADIO_LATIN_PHRASE = 1014;
constexpr int IDC_RICHEDIT_RESULTS = 1015;
constexpr int IDC_SLIDER_VOLUME = 1016;
constexpr int IDC_RADIO_WABUN_RANDOM1 = 1017;
constexpr int IDC_RADIO_WABUN_RANDOM5 = 1018;
constexpr int IDC_RADIO_WABUN_PHRASE = 1019;
constexpr int IDC_EDIT_ANSWER = 1020;
constexpr int IDC_STATIC_GRAPH = 1021;
constexpr int IDC_STATIC = -1;
constexpr int IDOK_BUTTON = 1;

constexpr int ID_FILE_NEW = 57600;
constexpr int ID_FILE_OPEN = 57601;
constexpr int ID_FILE_SAVE = 57603;
constexpr int ID_EDIT_COPY = 57634;
constexpr int ID_EDIT_CUT = 57635;
constexpr int ID_EDIT_PASTE = 57637;
constexpr int ID_EDIT_UNDO = 57643;
constexpr int ID_APP_ABOUT = 57664;
constexpr int ID_APP_EXIT = 57665;
constexpr int ID_NEXT_PANE = 57680;
constexpr int ID_PREV_PANE = 57681;
constexpr int ID_SYSMENU_VERSION = 32771;
constexpr int ID_SYSMENU_HELP = 32772;
constexpr int ID_HELP = 0xE146; // F1
constexpr int ID_FILE_SAVE_WAVE = 32780;
constexpr int ID_OPTIONS_SETTINGS = 32781;
constexpr int ID_OPTIONS_RECORD = 32782;
constexpr int ID_TEST_START = 32783;
constexpr int ID_TEST_STOP = 32784;
constexpr int ID_TEST_EVALUATE = 32785;
constexpr int ID_OPTIONS_CLEAR_HISTORY = 32786;
constexpr int ID_OPTIONS_EXAM = 32787;
constexpr int ID_OPTIONS_CALLSIGNS = 32788;
constexpr int ID_OPTIONS_CHARDRILL = 32789;

// The options dialog.
constexpr int IDD_OPTIONS = 102;
constexpr int IDC_RADIO_SQUARE = 1101;
constexpr int IDC_RADIO_SHAPED = 1102;
constexpr int IDC_EDIT_EDGE = 1103;
constexpr int IDC_SPIN_EDGE = 1104;
constexpr int IDC_EDIT_EFFECTIVE = 1105;
constexpr int IDC_SPIN_EFFECTIVE = 1106;
constexpr int IDC_STATIC_EFFECTIVE = 1107;
constexpr int IDC_EDIT_KOCH = 1108;
constexpr int IDC_SPIN_KOCH = 1109;
constexpr int IDC_STATIC_KOCH = 1110;
constexpr int IDC_CHECK_WEAK = 1111;
constexpr int IDC_CHECK_KOCH_ADVANCE = 1112;
constexpr int IDC_CHECK_KEEP_HISTORY = 1113;
constexpr int IDC_CHECK_NOISE = 1114;
constexpr int IDC_EDIT_SNR = 1115;
constexpr int IDC_SPIN_SNR = 1116;
constexpr int IDC_EDIT_QSB_DEPTH = 1117;
constexpr int IDC_SPIN_QSB_DEPTH = 1118;
constexpr int IDC_EDIT_QSB_PERIOD = 1119;
constexpr int IDC_SPIN_QSB_PERIOD = 1120;
constexpr int IDC_EDIT_QRM_STATIONS = 1121;
constexpr int IDC_SPIN_QRM_STATIONS = 1122;
constexpr int IDC_EDIT_QRM_LEVEL = 1123;
constexpr int IDC_SPIN_QRM_LEVEL = 1124;
constexpr int IDC_EDIT_JITTER = 1125;
constexpr int IDC_SPIN_JITTER = 1126;
constexpr int IDC_EDIT_FILTER = 1127;
constexpr int IDC_SPIN_FILTER = 1128;
constexpr int IDC_EDIT_SEED = 1129;
constexpr int IDC_SPIN_SEED = 1130;
// The Latin set's radios, in the order of LatinSet.
constexpr int IDC_RADIO_LATIN_LETTERS = 1131;
constexpr int IDC_RADIO_LATIN_FIGURES = 1132;
constexpr int IDC_RADIO_LATIN_PUNCTUATION = 1133;
constexpr int IDC_RADIO_LATIN_PROSIGNS = 1134;
constexpr int IDC_RADIO_PHRASE_FILE = 1135;
constexpr int IDC_RADIO_PHRASE_QSO = 1136;
constexpr int IDC_RADIO_WABUN_KANA = 1137;
constexpr int IDC_RADIO_WABUN_SIGNS = 1138;
constexpr int IDC_EDIT_ROOM = 1139;
constexpr int IDC_SPIN_ROOM = 1140;
constexpr int IDCANCEL_BUTTON = 2;
