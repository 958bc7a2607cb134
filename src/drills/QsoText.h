// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whole QSOs as the Latin phrase modes can send them instead of the phrase
// file: a rag-chew, a contest run or a DX pile-up, generated from our own
// templates with call signs (CallSign), names, reports and places. Lines
// are the overs, in the order the stations send them.
#include "audio/Band.h"

#include <string>

enum class QsoKind { RagChew, Contest, Dx };

// bProsigns: the set has prosigns, written <AR>; otherwise they are sent
// as the letters most operators key for them (AR, SK, KN, BK).
std::string QsoText(QsoKind eKind, CBandRandom& random, bool bProsigns);
// One of the kinds, drawn.
std::string QsoText(CBandRandom& random, bool bProsigns);
