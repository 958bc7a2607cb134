// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whole QSOs as the phrase modes can send them instead of the phrase file:
// in Latin a rag-chew, a contest run or a DX pile-up; in Wabun the usual
// 和文 QSO, its kana between ﾎﾚ and ﾗﾀ and its calls in Latin. Generated
// from our own templates with call signs (CallSign), names, reports and
// places; lines are the overs, in the order the stations send them.
#include "audio/Band.h"

#include <string>

enum class QsoKind { RagChew, Contest, Dx };

// bProsigns: the set has prosigns, written <AR>; otherwise they are sent
// as the letters most operators key for them (AR, SK, KN, BK).
std::string QsoText(QsoKind eKind, CBandRandom& random, bool bProsigns);
// One of the kinds, drawn.
std::string QsoText(CBandRandom& random, bool bProsigns);
// A 和文 QSO in code page 932. bSigns: ﾎﾚ and ﾗﾀ written <ﾎﾚ> <ﾗﾀ> as
// their own signs; otherwise ﾎﾚ as the start signal's ･ and ﾗﾀ as its two
// kana, as the designed table keys them.
std::string WabunQsoText(CBandRandom& random, bool bSigns);
