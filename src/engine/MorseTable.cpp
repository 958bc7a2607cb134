// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/MorseTable.h"

// Indexed by the unsigned byte. Latin capitals and small letters share
// their patterns; Wabun kana are the half-width katakana bytes.
const char* const MorseTable[255] = {
    "", "", "", "", "", "", "", "", // 0x00..0x07
    "", "", "", "", "", "", "", "", // 0x08..0x0F
    "", "", "", "", "", "", "", "", // 0x10..0x17
    "", "", "", "", "", "", "", "", // 0x18..0x1F
    "", "", "", "", "", "", "", "", // 0x20..0x27
    "-.--.-",  // 0x28 (
    ".-..-.",  // 0x29 )
    "", "", "", "", "", // 0x2A..0x2E
    "-..-.",   // 0x2F /
    "-----",   // 0x30 0
    ".----",   // 0x31 1
    "..---",   // 0x32 2
    "...--",   // 0x33 3
    "....-",   // 0x34 4
    ".....",   // 0x35 5
    "-....",   // 0x36 6
    "--...",   // 0x37 7
    "---..",   // 0x38 8
    "----.",   // 0x39 9
    "", "", "", "", "", // 0x3A..0x3E
    "..--..",  // 0x3F ?
    "", // 0x40..0x40
    ".-",      // 0x41 A
    "-...",    // 0x42 B
    "-.-.",    // 0x43 C
    "-..",     // 0x44 D
    ".",       // 0x45 E
    "..-.",    // 0x46 F
    "--.",     // 0x47 G
    "....",    // 0x48 H
    "..",      // 0x49 I
    ".---",    // 0x4A J
    "-.-",     // 0x4B K
    ".-..",    // 0x4C L
    "--",      // 0x4D M
    "-.",      // 0x4E N
    "---",     // 0x4F O
    ".--.",    // 0x50 P
    "--.-",    // 0x51 Q
    ".-.",     // 0x52 R
    "...",     // 0x53 S
    "-",       // 0x54 T
    "..-",     // 0x55 U
    "...-",    // 0x56 V
    ".--",     // 0x57 W
    "-..-",    // 0x58 X
    "-.--",    // 0x59 Y
    "--..",    // 0x5A Z
    "", // 0x5B..0x5B
    "-...-",   // 0x5C backslash
    ".-.-.",   // 0x5D ]
    "", "", "", // 0x5E..0x60
    ".-",      // 0x61 a
    "-...",    // 0x62 b
    "-.-.",    // 0x63 c
    "-..",     // 0x64 d
    ".",       // 0x65 e
    "..-.",    // 0x66 f
    "--.",     // 0x67 g
    "....",    // 0x68 h
    "..",      // 0x69 i
    ".---",    // 0x6A j
    "-.-",     // 0x6B k
    ".-..",    // 0x6C l
    "--",      // 0x6D m
    "-.",      // 0x6E n
    "---",     // 0x6F o
    ".--.",    // 0x70 p
    "--.-",    // 0x71 q
    ".-.",     // 0x72 r
    "...",     // 0x73 s
    "-",       // 0x74 t
    "..-",     // 0x75 u
    "...-",    // 0x76 v
    ".--",     // 0x77 w
    "-..-",    // 0x78 x
    "-.--",    // 0x79 y
    "--..",    // 0x7A z
    "", "", "", "", "", "", "", "", // 0x7B..0x82
    "", "", "", "", "", "", "", "", // 0x83..0x8A
    "", "", "", "", "", "", "", "", // 0x8B..0x92
    "", "", "", "", "", "", "", "", // 0x93..0x9A
    "", "", "", "", "", "", "", "", // 0x9B..0xA2
    ".-.-..",  // 0xA3 ｣
    ".-.-.-",  // 0xA4 ､
    "-..---",  // 0xA5 ･
    ".---",    // 0xA6 ｦ
    "--.--",   // 0xA7 ｧ
    ".-",      // 0xA8 ｨ
    "..-",     // 0xA9 ｩ
    "-.---",   // 0xAA ｪ
    ".-...",   // 0xAB ｫ
    ".--",     // 0xAC ｬ
    "-..--",   // 0xAD ｭ
    "--",      // 0xAE ｮ
    ".--.",    // 0xAF ｯ
    ".--.-",   // 0xB0 ｰ
    "--.--",   // 0xB1 ｱ
    ".-",      // 0xB2 ｲ
    "..-",     // 0xB3 ｳ
    "-.---",   // 0xB4 ｴ
    ".-...",   // 0xB5 ｵ
    ".-..",    // 0xB6 ｶ
    "-.-..",   // 0xB7 ｷ
    "...-",    // 0xB8 ｸ
    "-.--",    // 0xB9 ｹ
    "----",    // 0xBA ｺ
    "-.-.-",   // 0xBB ｻ
    "--.-.",   // 0xBC ｼ
    "---.-",   // 0xBD ｽ
    ".---.",   // 0xBE ｾ
    "---.",    // 0xBF ｿ
    "-.",      // 0xC0 ﾀ
    "..-.",    // 0xC1 ﾁ
    ".--.",    // 0xC2 ﾂ
    ".-.--",   // 0xC3 ﾃ
    "..-..",   // 0xC4 ﾄ
    ".-.",     // 0xC5 ﾅ
    "-.-.",    // 0xC6 ﾆ
    "....",    // 0xC7 ﾇ
    "--.-",    // 0xC8 ﾈ
    "..--",    // 0xC9 ﾉ
    "-...",    // 0xCA ﾊ
    "--..-",   // 0xCB ﾋ
    "--..",    // 0xCC ﾌ
    ".",       // 0xCD ﾍ
    "-..",     // 0xCE ﾎ
    "-..-",    // 0xCF ﾏ
    "..-.-",   // 0xD0 ﾐ
    "-",       // 0xD1 ﾑ
    "-...-",   // 0xD2 ﾒ
    "-..-.",   // 0xD3 ﾓ
    ".--",     // 0xD4 ﾔ
    "-..--",   // 0xD5 ﾕ
    "--",      // 0xD6 ﾖ
    "...",     // 0xD7 ﾗ
    "--.",     // 0xD8 ﾘ
    "-.--.",   // 0xD9 ﾙ
    "---",     // 0xDA ﾚ
    ".-.-",    // 0xDB ﾛ
    "-.-",     // 0xDC ﾜ
    ".-.-.",   // 0xDD ﾝ
    "..",      // 0xDE ﾞ
    "..--.",   // 0xDF ﾟ
    "", "", "", "", "", "", "", "", // 0xE0..0xE7
    "", "", "", "", "", "", "", "", // 0xE8..0xEF
    "", "", "", "", "", "", "", "", // 0xF0..0xF7
    "", "", "", "", "", "", "", // 0xF8..0xFE
};

const char* MorsePattern(unsigned char ch)
{
    return ch < 255 ? MorseTable[ch] : "";
}

namespace {

struct AirSign {
    unsigned char ch;
    const char* pszPattern;
};

// ITU-R M.1677-1, International Morse code, part I.
constexpr AirSign kAirSigns[] = {
    {'.', ".-.-.-"},  {',', "--..--"}, {'?', "..--.."}, {'/', "-..-."},
    {'=', "-...-"},   {'+', ".-.-."},  {'-', "-....-"}, {'(', "-.--."},
    {')', "-.--.-"},  {':', "---..."}, {'\'', ".----."}, {'"', ".-..-."},
    {'@', ".--.-."},
    {kProsignAR, ".-.-."},   {kProsignSK, "...-.-"}, {kProsignBT, "-...-"},
    {kProsignKN, "-.--."},   {kProsignAS, ".-..."},  {kProsignBK, "-...-.-"},
};

const AirSign* FindAirSign(unsigned char ch)
{
    for (const AirSign& s : kAirSigns)
        if (s.ch == ch)
            return &s;
    return nullptr;
}

} // namespace

const char* FullSetPattern(unsigned char ch, bool bWabun)
{
    if (bWabun)
        return ch == kProsignRaTa ? "...-." : MorsePattern(ch);
    const AirSign* s = FindAirSign(ch);
    return s ? s->pszPattern : MorsePattern(ch);
}

const char* TelegramPattern(unsigned char ch)
{
    static const char* const kShort[] = {"-", ".-", "..-", "...-", "....-", ".....", "-....", "-...", "-..", "-."};
    if (IsShortFigure(ch))
        return kShort[ch - kShortFigure0];
    return ch == kTelegramBreak ? "..--.." : nullptr;
}
