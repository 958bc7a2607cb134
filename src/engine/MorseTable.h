// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Morse pattern of every byte 0x00..0xFE; "" means no sign.
extern const char* const MorseTable[255];

// Lookup that stays inside the table: 0xFF has no sign either.
const char* MorsePattern(unsigned char ch);
