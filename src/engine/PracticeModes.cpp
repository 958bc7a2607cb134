// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/PracticeModes.h"

#include <iterator>

static constexpr bool RowsInOrder()
{
    for (int i = 0; i < int(std::size(kPracticeModes)); ++i)
        if (kPracticeModes[i].eMode != i)
            return false;
    return true;
}
static_assert(RowsInOrder());

std::span<const PracticeModeDef> PracticeModes() { return kPracticeModes; }

const PracticeModeDef* FindPracticeMode(int nMode)
{
    return nMode >= 0 && nMode < int(std::size(kPracticeModes)) ? &kPracticeModes[nMode] : nullptr;
}

const PracticeModeDef* FindPracticeMode(std::string_view key)
{
    for (const PracticeModeDef& m : kPracticeModes)
        if (key == m.pszKey)
            return &m;
    return nullptr;
}

bool IsWabunMode(int nMode)
{
    const PracticeModeDef* m = FindPracticeMode(nMode);
    return m && m->bWabun;
}

bool IsPhraseMode(int nMode)
{
    const PracticeModeDef* m = FindPracticeMode(nMode);
    return m && m->eSource == TextSource::Phrase;
}

int GroupSize(int nMode)
{
    const PracticeModeDef* m = FindPracticeMode(nMode);
    return m ? m->nGroupSize : 1;
}
