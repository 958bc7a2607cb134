// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <string>

// Code page 932 bytes <-> QString, only at the widget boundary.
QString Cp932ToQString(const std::string& bytes);
std::string QStringToCp932(const QString& text);

// The first byte of a double-byte character, which takes the next byte
// with it (the second may look like any single-byte character).
inline bool IsCp932LeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// The prosigns, each a single sign keyed without character gaps inside,
// kept as one byte each (no byte of code page 932 text uses these) and
// written as peers write them, "<AR>".
enum Prosign : unsigned char {
    kProsignAR = 0x01, kProsignSK, kProsignBT, kProsignKN, kProsignAS, kProsignBK,
    kProsignRaTa, // Wabun's ﾗﾀ, back to Latin; its ﾎﾚ is the start signal's byte ･
};
constexpr unsigned char kLastProsign = kProsignRaTa;
// Bytes of the exams' telegrams, keyed only where a test asks for them: the
// mark after every 60th character of a body (..--.. and a pause), and the
// figures 0..9 in their short forms (略体) for the time handed in.
constexpr unsigned char kTelegramBreak = 0x08;
constexpr unsigned char kShortFigure0 = 0x10; // .. 0x19 for 9
inline bool IsShortFigure(unsigned char ch) { return ch >= kShortFigure0 && ch <= kShortFigure0 + 9; }
// "<AR>" for a prosign's byte, the figure for a short figure, "?" for the
// telegram's mark; null for any other byte.
const char* ProsignName(unsigned char ch);
// A text's "<AR>" (any case) as prosign bytes, and prosign bytes back as
// "<AR>"; every other byte as it is. Cp932ToQString shows them so too.
std::string FoldProsigns(const std::string& text);
std::string ShowProsigns(const std::string& text);

