// SPDX-License-Identifier: GPL-3.0-or-later
#include "drills/Drills.h"
#include "engine/MorseTable.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <string_view>

const unsigned char kKochLatin[26] = {
    'K', 'M', 'U', 'R', 'E', 'S', 'N', 'A', 'P', 'T', 'L', 'W', 'I',
    'J', 'Z', 'F', 'O', 'Y', 'V', 'G', 'Q', 'H', 'B', 'C', 'D', 'X',
};

// Code length first: one element, then two, ... ; kana order within.
const unsigned char kKochWabun[46] = {
    0xCD, 0xD1,                                                 // ﾍ ﾑ          (1)
    0xB2, 0xC0, 0xD6,                                           // ｲ ﾀ ﾖ        (2)
    0xB3, 0xC5, 0xCE, 0xD4, 0xD7, 0xD8, 0xDA, 0xDC,             // ｳ ﾅ ﾎ ﾔ ﾗ ﾘ ﾚ ﾜ (3)
    0xB6, 0xB8, 0xB9, 0xBA, 0xBF, 0xC1, 0xC2, 0xC6, 0xC7, 0xC8, // ｶ ｸ ｹ ｺ ｿ ﾁ ﾂ ﾆ ﾇ ﾈ (4)
    0xC9, 0xCA, 0xCC, 0xCF, 0xDB, 0xA6,                         // ﾉ ﾊ ﾌ ﾏ ﾛ ｦ
    0xB1, 0xB4, 0xB5, 0xB7, 0xBB, 0xBC, 0xBD, 0xBE, 0xC3, 0xC4, // ｱ ｴ ｵ ｷ ｻ ｼ ｽ ｾ ﾃ ﾄ (5)
    0xCB, 0xD0, 0xD2, 0xD3, 0xD5, 0xD9, 0xDD,                   // ﾋ ﾐ ﾒ ﾓ ﾕ ﾙ ﾝ
};

std::vector<unsigned char> KochOrder(bool bWabun, int nLatinSet)
{
    if (bWabun) {
        std::vector<unsigned char> order(std::begin(kKochWabun), std::end(kKochWabun));
        if (nLatinSet > 0) {
            // ﾞ ﾟ ｰ ､ ｣ ( ), the figures, ﾎﾚ (the start signal's ･) and ﾗﾀ.
            static const unsigned char kSigns[] = {0xDE, 0xDF, 0xB0, 0xA4, 0xA3, '(', ')', '1', '2', '3',
                                                   '4',  '5',  '6',  '7',  '8',  '9', '0', 0xA5, kProsignRaTa};
            order.insert(order.end(), std::begin(kSigns), std::end(kSigns));
        }
        return order;
    }
    if (nLatinSet <= 0)
        return {std::begin(kKochLatin), std::end(kKochLatin)};
    static const std::string kLcwo = "KMURESNAPTLWI.JZ=FOY,VG5/Q92H38B?47C1D60X+-():'\"@";
    std::vector<unsigned char> order;
    for (char c : kLcwo) {
        const bool letter = c >= 'A' && c <= 'Z';
        const bool figure = c >= '0' && c <= '9';
        if (letter || figure || nLatinSet >= 2)
            order.push_back(static_cast<unsigned char>(c));
    }
    if (nLatinSet >= 3)
        for (unsigned char p = kProsignAR; p <= kProsignBK; ++p)
            order.push_back(p);
    return order;
}

int KochLessonCount(bool bWabun, int nSet) { return int(KochOrder(bWabun, nSet).size()); }

std::vector<unsigned char> KochSet(int nLesson, bool bWabun, int nSet)
{
    if (nLesson <= 0)
        return {};
    std::vector<unsigned char> order = KochOrder(bWabun, nSet);
    order.resize(std::min(size_t(nLesson) + 1, order.size()));
    return order;
}

FarnsworthGaps FarnsworthExtra(int nWpm, int nEffectiveWpm, int nDotMs)
{
    if (nEffectiveWpm <= 0 || nEffectiveWpm >= nWpm || nDotMs <= 0)
        return {};
    const double c = nWpm;
    const double s = nEffectiveWpm;
    const double ta = (60.0 * c - 37.2 * s) / (s * c); // seconds
    const double samples = 8000.0 * ta;
    const int dot = 8 * nDotMs;
    FarnsworthGaps g;
    g.nCharExtra = std::max(0, int(std::lround(3.0 * samples / 19.0)) - 3 * dot);
    g.nWordExtra = std::max(0, int(std::lround(7.0 * samples / 19.0)) - 7 * dot);
    return g;
}

namespace {

// One family of calls: prefixes (space separated), the digits allowed,
// the suffix's first letters and its length, and how often it is heard.
struct CallFamily {
    const char* pszPrefixes;
    const char* pszDigits;
    const char* pszFirst; // the suffix's first letter; the rest A-Z
    int nMinSuffix, nMaxSuffix;
    int nWeight;
    bool bPortable;       // a Japanese individual's, that may go "/N"
};

constexpr const char* kAnyDigit = "0123456789";
constexpr const char* kAnyLetter = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr const char* kToX = "ABCDEFGHIJKLMNOPQRSTUVWX";

constexpr CallFamily kCallFamilies[] = {
    // Japan
    {"JA JE JF JG JH JI JJ JK JL JM JN JO JP JQ JR JS", kAnyDigit, kToX, 3, 3, 40, true},
    {"JA", kAnyDigit, kAnyLetter, 2, 2, 4, true},
    {"JA JE JF JG JH JI JJ JK JL JM JN JO JR JS", kAnyDigit, "YZ", 3, 3, 3, false}, // clubs
    {"7K 7L 7M 7N", "1234", kToX, 3, 3, 8, true},
    {"7J", kAnyDigit, "ABCD", 3, 3, 1, true},
    {"JD", "1", kToX, 3, 3, 1, false},
    {"8J 8N", kAnyDigit, kAnyLetter, 1, 3, 3, false}, // special stations
    // The world
    {"K W N", kAnyDigit, kAnyLetter, 2, 3, 8, false},
    {"AA AB AC AD AE AF AG AI AJ AK KA KB KC KD KE KF KG KI KJ KK WA WB", kAnyDigit, kAnyLetter, 1, 3, 4, false},
    {"VE VA", kAnyDigit, kAnyLetter, 2, 3, 1, false},
    {"DL DK DJ DF DO DG", kAnyDigit, kAnyLetter, 2, 3, 3, false},
    {"G M 2E", kAnyDigit, kAnyLetter, 2, 3, 2, false},
    {"F I EA ON PA OH SM LA OK SP HA YO LZ S5 9A OE HB EI OZ CT SV YL ES LY OM YU", kAnyDigit, kAnyLetter, 2, 3, 5,
     false},
    {"UA RA R RK RN RU RW UR UT US", kAnyDigit, kAnyLetter, 2, 3, 3, false},
    {"VK ZL", kAnyDigit, kAnyLetter, 2, 3, 2, false},
    {"BY BA BD BG BH HL DS", kAnyDigit, kAnyLetter, 2, 3, 4, false},
    {"DU YB 9M HS E2 VU 4X ZS PY LU XE CE", kAnyDigit, kAnyLetter, 2, 3, 3, false},
};

// A suffix must not read as a distress, urgency or safety signal, nor as
// a Q code (QRA-QTZ), which Japan's rules keep out of its calls.
bool Assignable(const std::string& suffix)
{
    if (suffix == "SOS" || suffix == "OSO" || suffix == "TTT" || suffix == "XXX")
        return false;
    return !(suffix.size() == 3 && suffix[0] == 'Q' && suffix[1] >= 'R' && suffix[1] <= 'T');
}

std::string_view PickWord(const char* pszWords, int n)
{
    std::string_view words(pszWords);
    for (; n > 0; --n)
        words.remove_prefix(words.find(' ') + 1);
    return words.substr(0, words.find(' '));
}

} // namespace

std::string CallSign(CBandRandom& random)
{
    auto pick = [&](int n) { return int(random.Uniform() * n); };
    auto letter = [&](const char* set) { return set[pick(int(std::char_traits<char>::length(set)))]; };
    int total = 0;
    for (const CallFamily& f : kCallFamilies)
        total += f.nWeight;
    int at = pick(total);
    const CallFamily* family = kCallFamilies;
    while (at >= family->nWeight)
        at -= family++->nWeight;

    const int prefixes = 1 + int(std::count(family->pszPrefixes, family->pszPrefixes + std::strlen(family->pszPrefixes), ' '));
    std::string call(PickWord(family->pszPrefixes, pick(prefixes)));
    call += letter(family->pszDigits);
    std::string suffix;
    do {
        suffix.assign(1, letter(family->pszFirst));
        for (int n = family->nMinSuffix + pick(family->nMaxSuffix - family->nMinSuffix + 1); int(suffix.size()) < n;)
            suffix += letter(kAnyLetter);
    } while (!Assignable(suffix));
    call += suffix;
    // Portable elsewhere in Japan, about one call in ten.
    if (family->bPortable && pick(10) == 0)
        call += '/' + std::string(1, kAnyDigit[pick(10)]);
    return call;
}

namespace {

// Abbreviations and Q codes of the air (ITU-R M.1172 for the Q codes and
// the service abbreviations; the rest as radio amateurs send them).
constexpr const char* kAbbreviations[] = {
    "73",  "88",  "5NN", "599", "CQ",   "DE",  "TU",  "TNX", "UR",  "RST", "OM",  "YL",  "XYL", "HR",
    "FB",  "ES",  "FER", "GM",  "GA",   "GE",  "GN",  "CUL", "AGN", "PSE", "NR",  "RPT", "SRI", "WX",
    "ANT", "RIG", "PWR", "HW",  "CPY",  "OP",  "ABT", "DX",  "GL",  "VY",  "HPE", "BK",  "QRL", "QRM",
    "QRN", "QRO", "QRP", "QRQ", "QRS",  "QRT", "QRU", "QRV", "QRX", "QRZ", "QSB", "QSL", "QSO", "QSY",
    "QTH", "QRG", "QSK", "TEST", "NAME", "INFO", "WKD", "BURO", "SKED", "TMW",
};

// Common English words, our own choice of the everyday ones.
constexpr const char* kWords[] = {
    "THE",   "AND",   "FOR",   "ARE",   "BUT",   "NOT",   "YOU",   "ALL",   "ANY",   "CAN",   "HAD",   "HER",
    "WAS",   "ONE",   "OUR",   "OUT",   "DAY",   "GET",   "HAS",   "HIM",   "HIS",   "HOW",   "MAN",   "NEW",
    "NOW",   "OLD",   "SEE",   "TWO",   "WAY",   "WHO",   "DID",   "LET",   "PUT",   "SAY",   "SHE",   "TOO",
    "USE",   "ABOUT", "AFTER", "AGAIN", "ALSO",  "BACK",  "BEEN",  "BEST",  "CALL",  "CAME",  "COME",  "COULD",
    "EACH",  "EVEN",  "FIND",  "FIRST", "FROM",  "GIVE",  "GOOD",  "GREAT", "HAVE",  "HERE",  "HOME",  "INTO",
    "JUST",  "KNOW",  "LAST",  "LIKE",  "LITTLE", "LONG", "LOOK",  "MADE",  "MAKE",  "MANY",  "MORE",  "MOST",
    "MUCH",  "MUST",  "NEVER", "NEXT",  "NIGHT", "ONLY",  "OTHER", "OVER",  "PART",  "PLACE", "RIGHT", "SAME",
    "SHOULD", "SMALL", "SOME", "STILL", "SUCH",  "TAKE",  "THAN",  "THAT",  "THEM",  "THEN",  "THERE", "THESE",
    "THEY",  "THING", "THINK", "THIS",  "TIME",  "UNDER", "VERY",  "WATER", "WELL",  "WENT",  "WERE",  "WHAT",
    "WHEN",  "WHERE", "WHICH", "WHILE", "WITH",  "WORD",  "WORK",  "WORLD", "WOULD", "WRITE", "YEAR",  "YOUR",
    "QUICK", "JUMP",  "ZERO",  "QUIET", "JOIN",  "PRIZE", "JAZZ",  "BOX",   "SIX",   "EXTRA", "MAJOR", "QUITE",
};

} // namespace

std::string PracticeWord(CBandRandom& random)
{
    auto pick = [&](int n) { return int(random.Uniform() * n); };
    if (pick(2) == 0)
        return kAbbreviations[pick(int(std::size(kAbbreviations)))];
    return kWords[pick(int(std::size(kWords)))];
}
