// SPDX-License-Identifier: GPL-3.0-or-later
#include "res/Templates.h"
#include "res/Resource.h"

// Installed stand-ins for the fonts the templates name.
static const std::vector<const char*> kPGothicFallbacks = {"MS PGothic", "IPAPGothic", "IPA Pゴシック",
                                                           "IPAGothic", "Sans Serif"};

const DlgTemplate g_dlgForm = {
    0x40000040, 307, 266, nullptr, "ＭＳ Ｐゴシック", 9, kPGothicFallbacks,
    {
        // id                     class                 caption          style       x    y    cx   cy
        {IDC_EDIT_FREQ,           "EDIT",              "",              0x50810080,  15,  22,  37,  13},
        {IDC_SPIN_FREQ,           "msctls_updown32",   nullptr,         0x50000036,  43,  20,  10,  19},
        {IDC_STATIC,              "STATIC",            "Hz",            0x50020000,  55,  26,  15,  10},
        {IDC_EDIT_WPM,            "EDIT",              "",              0x50810080,  15,  53,  37,  13},
        {IDC_SPIN_WPM,            "msctls_updown32",   nullptr,         0x50000036,  43,  52,  10,  17},
        {IDC_STATIC,              "STATIC",            "WPM",           0x50020000,  55,  56,  15,  10},
        {IDC_STATIC,              "BUTTON",            "モード選択",      0x50000007,  75,  15, 119,  60},
        {IDC_RADIO_LATIN_RANDOM1, "BUTTON",            "欧文ﾗﾝﾀﾞﾑ1",     0x50030009,  79,  33,  53,  10},
        {IDC_RADIO_LATIN_RANDOM5, "BUTTON",            "欧文ﾗﾝﾀﾞﾑ5",     0x50000009,  79,  47,  51,  10},
        {IDC_RADIO_LATIN_PHRASE,  "BUTTON",            "欧文定型文",      0x50000009,  79,  61,  50,  10},
        {IDC_RADIO_WABUN_RANDOM1, "BUTTON",            "和文ﾗﾝﾀﾞﾑ1",     0x50000009, 139,  33,  50,  10},
        {IDC_RADIO_WABUN_RANDOM5, "BUTTON",            "和文ﾗﾝﾀﾞﾑ5",     0x50000009, 139,  47,  51,  10},
        {IDC_RADIO_WABUN_PHRASE,  "BUTTON",            "和文定型文",      0x50000009, 139,  61,  50,  10},
        {IDC_STATIC,              "BUTTON",            "VOL",           0x50000007, 205,  15,  24,  60},
        {IDC_SLIDER_VOLUME,       "msctls_trackbar32", nullptr,         0x50010026, 209,  25,  13,  48},
        {IDC_BUTTON_START,        "BUTTON",            "ｽﾀｰﾄ",           0x50010000, 240,  20,  50,  15},
        {IDC_BUTTON_STOP,         "BUTTON",            "ｽﾄｯﾌﾟ",          0x50010000, 240,  40,  50,  15},
        {IDC_BUTTON_EVALUATE,     "BUTTON",            "評価",           0x50010000, 240,  60,  50,  15},
        {IDC_STATIC,              "BUTTON",            "ｵﾍﾟﾚｰｼｮﾝ",       0x50000007,   5,   5, 300,  80},
        {IDC_STATIC,              "BUTTON",            "CWﾃﾞｰﾀ表示",      0x50000007,   5,  90, 300, 115},
        {IDC_STATIC,              "BUTTON",            "ｷｰﾎﾞｰﾄﾞ入力",     0x50000007,   5, 210, 300,  50},
        {IDC_STATIC_GRAPH,        "STATIC",            "",              0x40800007,  10, 100, 290, 100},
        {IDC_RICHEDIT_RESULTS,    "RICHEDIT",          "",              0x50B118CC,  10, 100, 290,  99},
        {IDC_EDIT_ANSWER,         "EDIT",              "",              0x508110CC,  10, 220, 290,  34},
    },
};

const DlgTemplate g_dlgAbout = {
    0x80C800C0, 235, 55, "Pilvoのﾊﾞｰｼﾞｮﾝ情報", "ＭＳ Ｐゴシック", 9, kPGothicFallbacks,
    {
        // id         class     caption               style       x    y   cx   cy
        {IDC_STATIC,  "STATIC", "",                   0x50000003,  11, 17,  20,  20}, // icon 128
        {IDC_STATIC,  "STATIC", "Pilvo Version 1.01", 0x50020080,  40, 10, 119,   8},
        {IDOK_BUTTON, "BUTTON", "OK",                 0x50030001, 178,  7,  50,  14},
    },
};

const DlgTemplate g_dlgOptions = {
    0x80C800C0, 440, 214, "ｵﾌﾟｼｮﾝ", "ＭＳ Ｐゴシック", 9, kPGothicFallbacks,
    {
        // id                    class               caption                      style       x    y   cx   cy
        {IDC_STATIC,             "BUTTON",           "音の形",                     0x50000007,   5,   5, 210,  46},
        {IDC_RADIO_SQUARE,       "BUTTON",           "方形波(標準)",               0x50030009,  12,  18,  90,  10},
        {IDC_RADIO_SHAPED,       "BUTTON",           "なめらか(正弦波)",           0x50000009,  12,  33,  90,  10},
        {IDC_STATIC,             "STATIC",           "立ち上がり",                 0x50020000, 110,  34,  40,  10},
        {IDC_EDIT_EDGE,          "EDIT",             "",                          0x50810080, 150,  32,  28,  13},
        {IDC_SPIN_EDGE,          "msctls_updown32",  nullptr,                     0x50000036, 170,  31,  10,  15},
        {IDC_STATIC,             "STATIC",           "ms",                        0x50020000, 182,  34,  20,  10},
        {IDC_STATIC,             "BUTTON",           "実効速度(ﾌｧｰﾝｽﾞﾜｰｽ)",        0x50000007,   5,  56, 210,  46},
        {IDC_EDIT_EFFECTIVE,     "EDIT",             "",                          0x50810080,  12,  69,  28,  13},
        {IDC_SPIN_EFFECTIVE,     "msctls_updown32",  nullptr,                     0x50000036,  32,  68,  10,  15},
        {IDC_STATIC,             "STATIC",           "WPM (0 = 使わない)",         0x50020000,  44,  71, 100,  10},
        {IDC_STATIC_EFFECTIVE,   "STATIC",           "",                          0x50020000,  12,  87, 196,  10},
        {IDC_STATIC,             "BUTTON",           "ｺｯﾎ法",                     0x50000007,   5, 107, 210,  60},
        {IDC_EDIT_KOCH,          "EDIT",             "",                          0x50810080,  12, 120,  28,  13},
        {IDC_SPIN_KOCH,          "msctls_updown32",  nullptr,                     0x50000036,  32, 119,  10,  15},
        {IDC_STATIC,             "STATIC",           "ﾚｯｽﾝ (0 = すべての文字)",    0x50020000,  44, 122, 110,  10},
        {IDC_STATIC_KOCH,        "STATIC",           "",                          0x50020000,  12, 138, 196,  10},
        {IDC_CHECK_KOCH_ADVANCE, "BUTTON",           "2回続けて90%以上なら次のﾚｯｽﾝへ", 0x50010003, 12, 152, 196,  10},
        {IDC_CHECK_WEAK,         "BUTTON",           "苦手な文字を多めに出す",     0x50010003,   8, 171, 150,  10},
        {IDC_CHECK_KEEP_HISTORY, "BUTTON",           "成績を記録する",             0x50010003,   8, 183, 150,  10},
        {IDC_STATIC,             "BUTTON",           "受信状態",                   0x50000007, 225,   5, 210, 150},
        {IDC_CHECK_NOISE,        "BUTTON",           "雑音 (SN比)",                0x50010003, 232,  19,  62,  10},
        {IDC_EDIT_SNR,           "EDIT",             "",                          0x50810080, 296,  17,  28,  13},
        {IDC_SPIN_SNR,           "msctls_updown32",  nullptr,                     0x50000036, 316,  16,  10,  15},
        {IDC_STATIC,             "STATIC",           "dB",                        0x50020000, 328,  19, 100,  10},
        {IDC_STATIC,             "STATIC",           "ﾌｪｰｼﾞﾝｸﾞの深さ",             0x50020000, 232,  35,  62,  10},
        {IDC_EDIT_QSB_DEPTH,     "EDIT",             "",                          0x50810080, 296,  33,  28,  13},
        {IDC_SPIN_QSB_DEPTH,     "msctls_updown32",  nullptr,                     0x50000036, 316,  32,  10,  15},
        {IDC_STATIC,             "STATIC",           "dB (0 = なし)",              0x50020000, 328,  35, 100,  10},
        {IDC_STATIC,             "STATIC",           "ﾌｪｰｼﾞﾝｸﾞの周期",             0x50020000, 232,  51,  62,  10},
        {IDC_EDIT_QSB_PERIOD,    "EDIT",             "",                          0x50810080, 296,  49,  28,  13},
        {IDC_SPIN_QSB_PERIOD,    "msctls_updown32",  nullptr,                     0x50000036, 316,  48,  10,  15},
        {IDC_STATIC,             "STATIC",           "秒",                        0x50020000, 328,  51, 100,  10},
        {IDC_STATIC,             "STATIC",           "混信の局数",                 0x50020000, 232,  67,  62,  10},
        {IDC_EDIT_QRM_STATIONS,  "EDIT",             "",                          0x50810080, 296,  65,  28,  13},
        {IDC_SPIN_QRM_STATIONS,  "msctls_updown32",  nullptr,                     0x50000036, 316,  64,  10,  15},
        {IDC_STATIC,             "STATIC",           "局 (0 = なし)",              0x50020000, 328,  67, 100,  10},
        {IDC_STATIC,             "STATIC",           "混信の強さ",                 0x50020000, 232,  83,  62,  10},
        {IDC_EDIT_QRM_LEVEL,     "EDIT",             "",                          0x50810080, 296,  81,  28,  13},
        {IDC_SPIN_QRM_LEVEL,     "msctls_updown32",  nullptr,                     0x50000036, 316,  80,  10,  15},
        {IDC_STATIC,             "STATIC",           "dB (受信する信号に対して)",  0x50020000, 328,  83, 100,  10},
        {IDC_STATIC,             "STATIC",           "手送りのゆらぎ",             0x50020000, 232,  99,  62,  10},
        {IDC_EDIT_JITTER,        "EDIT",             "",                          0x50810080, 296,  97,  28,  13},
        {IDC_SPIN_JITTER,        "msctls_updown32",  nullptr,                     0x50000036, 316,  96,  10,  15},
        {IDC_STATIC,             "STATIC",           "% (0 = なし)",               0x50020000, 328,  99, 100,  10},
        {IDC_STATIC,             "STATIC",           "受信ﾌｨﾙﾀの幅",               0x50020000, 232, 115,  62,  10},
        {IDC_EDIT_FILTER,        "EDIT",             "",                          0x50810080, 296, 113,  28,  13},
        {IDC_SPIN_FILTER,        "msctls_updown32",  nullptr,                     0x50000036, 316, 112,  10,  15},
        {IDC_STATIC,             "STATIC",           "Hz (0 = なし)",              0x50020000, 328, 115, 100,  10},
        {IDC_STATIC,             "STATIC",           "乱数の種",                   0x50020000, 232, 131,  62,  10},
        {IDC_EDIT_SEED,          "EDIT",             "",                          0x50810080, 296, 129,  50,  13},
        {IDC_SPIN_SEED,          "msctls_updown32",  nullptr,                     0x50000036, 338, 128,  10,  15},
        {IDC_STATIC,             "STATIC",           "(0 = 毎回変える)",           0x50020000, 350, 131,  80,  10},
        {IDOK_BUTTON,            "BUTTON",           "OK",                        0x50030001, 330, 196,  50,  14},
        {IDCANCEL_BUTTON,        "BUTTON",           "ｷｬﾝｾﾙ",                     0x50010000, 385, 196,  50,  14},
    },
};
