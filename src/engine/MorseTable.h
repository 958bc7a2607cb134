// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "text/Cp932.h"

// Morse pattern of every byte 0x00..0xFE; "" means no sign.
extern const char* const MorseTable[255];

// Lookup that stays inside the table: 0xFF has no sign either.
const char* MorsePattern(unsigned char ch);

// The whole set sent on the air (ITU-R M.1677-1): the Latin letters and
// figures, the punctuation . , ? / = + - ( ) : ' " @ and the prosigns;
// any other byte as the designed table keys it. Wabun (bWabun) keeps the
// designed table, whose ( ) are Wabun's brackets, and adds ﾗﾀ. Only a test
// of the whole set keys from this, so the designed test keeps its table.
const char* FullSetPattern(unsigned char ch, bool bWabun = false);

// The sign a test keys for a byte: the whole set's when it keys the whole
// set (bFullSet), else the designed table's.
inline const char* KeyedPattern(unsigned char ch, bool bFullSet, bool bWabun)
{
    return bFullSet ? FullSetPattern(ch, bWabun) : MorsePattern(ch);
}

// The telegram bytes' signs (..--.. for the mark; 略体 .- ..- ...- ....-
// ..... -.... -... -.. -. - for 1..9, 0); null for any other byte.
const char* TelegramPattern(unsigned char ch);
