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
