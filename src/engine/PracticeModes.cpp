// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/PracticeModes.h"

#include <iterator>

static constexpr PracticeModeDef kModes[] = {
    // mode           key               name                 wabun  source              group form
    {kLatinRandom1,   "latin-random1",  "欧文ﾗﾝﾀﾞﾑ1",         false, TextSource::Random, 1,    true},
    {kLatinRandom5,   "latin-random5",  "欧文ﾗﾝﾀﾞﾑ5",         false, TextSource::Random, 5,    true},
    {kLatinPhrase,    "latin-phrase",   "欧文定型文",         false, TextSource::Phrase, 1,    true},
    {kWabunRandom1,   "wabun-random1",  "和文ﾗﾝﾀﾞﾑ1",         true,  TextSource::Random, 1,    true},
    {kWabunRandom5,   "wabun-random5",  "和文ﾗﾝﾀﾞﾑ5",         true,  TextSource::Random, 5,    true},
    {kWabunPhrase,    "wabun-phrase",   "和文定型文",         true,  TextSource::Phrase, 1,    true},
    {kExamWabun,      "exam-wabun",     "試験 和文",          true,  TextSource::Phrase, 1,    false},
    {kExamLatinCode,  "exam-code",      "試験 欧文暗語",      false, TextSource::Phrase, 1,    false},
    {kExamLatinPlain, "exam-plain",     "試験 欧文普通語",    false, TextSource::Phrase, 1,    false},
};

static constexpr bool RowsInOrder()
{
    for (int i = 0; i < int(std::size(kModes)); ++i)
        if (kModes[i].eMode != i)
            return false;
    return true;
}
static_assert(RowsInOrder());

std::span<const PracticeModeDef> PracticeModes() { return kModes; }

const PracticeModeDef* FindPracticeMode(int nMode)
{
    return nMode >= 0 && nMode < int(std::size(kModes)) ? &kModes[nMode] : nullptr;
}

const PracticeModeDef* FindPracticeMode(std::string_view key)
{
    for (const PracticeModeDef& m : kModes)
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
