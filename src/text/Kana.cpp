// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/Kana.h"

#include <map>

namespace {

// Full-width katakana U+30A1 .. U+30F6 in code order, and their half forms.
const char16_t* const kHalfOfKatakana[] = {
    u"ｧ", u"ｱ", u"ｨ", u"ｲ", u"ｩ", u"ｳ", u"ｪ", u"ｴ", u"ｫ", u"ｵ",                 // ァ..オ
    u"ｶ", u"ｶﾞ", u"ｷ", u"ｷﾞ", u"ｸ", u"ｸﾞ", u"ｹ", u"ｹﾞ", u"ｺ", u"ｺﾞ",             // カ..ゴ
    u"ｻ", u"ｻﾞ", u"ｼ", u"ｼﾞ", u"ｽ", u"ｽﾞ", u"ｾ", u"ｾﾞ", u"ｿ", u"ｿﾞ",             // サ..ゾ
    u"ﾀ", u"ﾀﾞ", u"ﾁ", u"ﾁﾞ", u"ｯ", u"ﾂ", u"ﾂﾞ", u"ﾃ", u"ﾃﾞ", u"ﾄ", u"ﾄﾞ",      // タ..ド
    u"ﾅ", u"ﾆ", u"ﾇ", u"ﾈ", u"ﾉ",                                               // ナ..ノ
    u"ﾊ", u"ﾊﾞ", u"ﾊﾟ", u"ﾋ", u"ﾋﾞ", u"ﾋﾟ", u"ﾌ", u"ﾌﾞ", u"ﾌﾟ",                 // ハ..プ
    u"ﾍ", u"ﾍﾞ", u"ﾍﾟ", u"ﾎ", u"ﾎﾞ", u"ﾎﾟ",                                     // ヘ..ポ
    u"ﾏ", u"ﾐ", u"ﾑ", u"ﾒ", u"ﾓ",                                               // マ..モ
    u"ｬ", u"ﾔ", u"ｭ", u"ﾕ", u"ｮ", u"ﾖ",                                         // ャ..ヨ
    u"ﾗ", u"ﾘ", u"ﾙ", u"ﾚ", u"ﾛ",                                               // ラ..ロ
    u"ﾜ", u"ﾜ", u"ｲ", u"ｴ", u"ｦ", u"ﾝ", u"ｳﾞ", u"ｶ", u"ｹ",                      // ヮ..ヶ
};
constexpr char16_t kFirstKatakana = 0x30A1;
constexpr char16_t kLastKatakana = 0x30F6;
static_assert(sizeof(kHalfOfKatakana) / sizeof(kHalfOfKatakana[0]) == kLastKatakana - kFirstKatakana + 1);

const std::map<char16_t, const char16_t*> kHalfOfSign = {
    {u'ー', u"ｰ"}, {u'、', u"､"}, {u'。', u"｡"}, {u'「', u"｢"}, {u'」', u"｣"},
    {u'・', u"･"}, {u'゛', u"ﾞ"}, {u'゜', u"ﾟ"}, {u'\u3099', u"ﾞ"}, {u'\u309A', u"ﾟ"},
};

// Romaji as a mainstream kana input method spells it, with the kana it
// gives (hiragana; ToHalfWidthKatakana finishes the job). A doubled
// consonant (kk, tt, ...) and t before ch give a small tsu, and n before
// a consonant gives n: those two are rules in CRomajiConverter::Feed.
struct RomajiRow {
    const char* romaji;
    const char16_t* kana;
};
const RomajiRow kRomajiRows[] = {
    // vowels and small vowels
    {"a", u"あ"}, {"i", u"い"}, {"u", u"う"}, {"e", u"え"}, {"o", u"お"},
    {"wu", u"う"}, {"ye", u"いぇ"},
    {"xa", u"ぁ"}, {"xi", u"ぃ"}, {"xu", u"ぅ"}, {"xe", u"ぇ"}, {"xo", u"ぉ"},
    {"la", u"ぁ"}, {"li", u"ぃ"}, {"lu", u"ぅ"}, {"le", u"ぇ"}, {"lo", u"ぉ"},
    {"xyi", u"ぃ"}, {"lyi", u"ぃ"}, {"xye", u"ぇ"}, {"lye", u"ぇ"},
    // k g, with c and q spellings
    {"ka", u"か"}, {"ki", u"き"}, {"ku", u"く"}, {"ke", u"け"}, {"ko", u"こ"},
    {"ca", u"か"}, {"ci", u"し"}, {"cu", u"く"}, {"ce", u"せ"}, {"co", u"こ"},
    {"qa", u"くぁ"}, {"qi", u"くぃ"}, {"qu", u"く"}, {"qe", u"くぇ"}, {"qo", u"くぉ"},
    {"kwa", u"くぁ"}, {"kwi", u"くぃ"}, {"kwe", u"くぇ"}, {"kwo", u"くぉ"}, {"gwa", u"ぐぁ"},
    {"kya", u"きゃ"}, {"kyi", u"きぃ"}, {"kyu", u"きゅ"}, {"kye", u"きぇ"}, {"kyo", u"きょ"},
    {"xka", u"ヵ"}, {"xke", u"ヶ"}, {"lka", u"ヵ"}, {"lke", u"ヶ"},
    {"ga", u"が"}, {"gi", u"ぎ"}, {"gu", u"ぐ"}, {"ge", u"げ"}, {"go", u"ご"},
    {"gya", u"ぎゃ"}, {"gyi", u"ぎぃ"}, {"gyu", u"ぎゅ"}, {"gye", u"ぎぇ"}, {"gyo", u"ぎょ"},
    // s z j
    {"sa", u"さ"}, {"si", u"し"}, {"su", u"す"}, {"se", u"せ"}, {"so", u"そ"},
    {"shi", u"し"}, {"sha", u"しゃ"}, {"shu", u"しゅ"}, {"she", u"しぇ"}, {"sho", u"しょ"},
    {"sya", u"しゃ"}, {"syi", u"しぃ"}, {"syu", u"しゅ"}, {"sye", u"しぇ"}, {"syo", u"しょ"},
    {"za", u"ざ"}, {"zi", u"じ"}, {"zu", u"ず"}, {"ze", u"ぜ"}, {"zo", u"ぞ"},
    {"zya", u"じゃ"}, {"zyi", u"じぃ"}, {"zyu", u"じゅ"}, {"zye", u"じぇ"}, {"zyo", u"じょ"},
    {"ja", u"じゃ"}, {"ji", u"じ"}, {"ju", u"じゅ"}, {"je", u"じぇ"}, {"jo", u"じょ"},
    {"jya", u"じゃ"}, {"jyi", u"じぃ"}, {"jyu", u"じゅ"}, {"jye", u"じぇ"}, {"jyo", u"じょ"},
    // t d, with ts, ch, th, dh, tw, dw
    {"ta", u"た"}, {"ti", u"ち"}, {"tu", u"つ"}, {"te", u"て"}, {"to", u"と"},
    {"chi", u"ち"}, {"tsu", u"つ"},
    {"tya", u"ちゃ"}, {"tyi", u"ちぃ"}, {"tyu", u"ちゅ"}, {"tye", u"ちぇ"}, {"tyo", u"ちょ"},
    {"cha", u"ちゃ"}, {"chu", u"ちゅ"}, {"che", u"ちぇ"}, {"cho", u"ちょ"},
    {"cya", u"ちゃ"}, {"cyi", u"ちぃ"}, {"cyu", u"ちゅ"}, {"cye", u"ちぇ"}, {"cyo", u"ちょ"},
    {"tsa", u"つぁ"}, {"tsi", u"つぃ"}, {"tse", u"つぇ"}, {"tso", u"つぉ"},
    {"tha", u"てゃ"}, {"thi", u"てぃ"}, {"thu", u"てゅ"}, {"the", u"てぇ"}, {"tho", u"てょ"},
    {"t'i", u"てぃ"}, {"t'yu", u"てゅ"},
    {"twa", u"とぁ"}, {"twi", u"とぃ"}, {"twu", u"とぅ"}, {"twe", u"とぇ"}, {"two", u"とぉ"},
    {"t'u", u"とぅ"},
    {"xtu", u"っ"}, {"xtsu", u"っ"}, {"ltu", u"っ"}, {"ltsu", u"っ"},
    {"da", u"だ"}, {"di", u"ぢ"}, {"du", u"づ"}, {"de", u"で"}, {"do", u"ど"},
    {"dya", u"ぢゃ"}, {"dyi", u"ぢぃ"}, {"dyu", u"ぢゅ"}, {"dye", u"ぢぇ"}, {"dyo", u"ぢょ"},
    {"dha", u"でゃ"}, {"dhi", u"でぃ"}, {"dhu", u"でゅ"}, {"dhe", u"でぇ"}, {"dho", u"でょ"},
    {"d'i", u"でぃ"}, {"d'yu", u"でゅ"},
    {"dwa", u"どぁ"}, {"dwi", u"どぃ"}, {"dwu", u"どぅ"}, {"dwe", u"どぇ"}, {"dwo", u"どぉ"},
    {"d'u", u"どぅ"},
    // n
    {"na", u"な"}, {"ni", u"に"}, {"nu", u"ぬ"}, {"ne", u"ね"}, {"no", u"の"},
    {"nya", u"にゃ"}, {"nyi", u"にぃ"}, {"nyu", u"にゅ"}, {"nye", u"にぇ"}, {"nyo", u"にょ"},
    {"n", u"ん"}, {"nn", u"ん"}, {"n'", u"ん"}, {"xn", u"ん"},
    // h b p f
    {"ha", u"は"}, {"hi", u"ひ"}, {"hu", u"ふ"}, {"he", u"へ"}, {"ho", u"ほ"},
    {"hya", u"ひゃ"}, {"hyi", u"ひぃ"}, {"hyu", u"ひゅ"}, {"hye", u"ひぇ"}, {"hyo", u"ひょ"},
    {"fa", u"ふぁ"}, {"fi", u"ふぃ"}, {"fu", u"ふ"}, {"fe", u"ふぇ"}, {"fo", u"ふぉ"},
    {"fya", u"ふゃ"}, {"fyu", u"ふゅ"}, {"fyo", u"ふょ"},
    {"hwa", u"ふぁ"}, {"hwi", u"ふぃ"}, {"hwe", u"ふぇ"}, {"hwo", u"ふぉ"}, {"hwyu", u"ふゅ"},
    {"ba", u"ば"}, {"bi", u"び"}, {"bu", u"ぶ"}, {"be", u"べ"}, {"bo", u"ぼ"},
    {"bya", u"びゃ"}, {"byi", u"びぃ"}, {"byu", u"びゅ"}, {"bye", u"びぇ"}, {"byo", u"びょ"},
    {"pa", u"ぱ"}, {"pi", u"ぴ"}, {"pu", u"ぷ"}, {"pe", u"ぺ"}, {"po", u"ぽ"},
    {"pya", u"ぴゃ"}, {"pyi", u"ぴぃ"}, {"pyu", u"ぴゅ"}, {"pye", u"ぴぇ"}, {"pyo", u"ぴょ"},
    // m y r w v
    {"ma", u"ま"}, {"mi", u"み"}, {"mu", u"む"}, {"me", u"め"}, {"mo", u"も"},
    {"mya", u"みゃ"}, {"myi", u"みぃ"}, {"myu", u"みゅ"}, {"mye", u"みぇ"}, {"myo", u"みょ"},
    {"ya", u"や"}, {"yu", u"ゆ"}, {"yo", u"よ"},
    {"xya", u"ゃ"}, {"xyu", u"ゅ"}, {"xyo", u"ょ"}, {"lya", u"ゃ"}, {"lyu", u"ゅ"}, {"lyo", u"ょ"},
    {"ra", u"ら"}, {"ri", u"り"}, {"ru", u"る"}, {"re", u"れ"}, {"ro", u"ろ"},
    {"rya", u"りゃ"}, {"ryi", u"りぃ"}, {"ryu", u"りゅ"}, {"rye", u"りぇ"}, {"ryo", u"りょ"},
    {"wa", u"わ"}, {"wi", u"うぃ"}, {"we", u"うぇ"}, {"wo", u"を"},
    {"wyi", u"ゐ"}, {"wye", u"ゑ"}, {"xwa", u"ゎ"}, {"lwa", u"ゎ"},
    {"wha", u"うぁ"}, {"whi", u"うぃ"}, {"whu", u"う"}, {"whe", u"うぇ"}, {"who", u"うぉ"},
    {"va", u"ゔぁ"}, {"vi", u"ゔぃ"}, {"vu", u"ゔ"}, {"ve", u"ゔぇ"}, {"vo", u"ゔぉ"},
    {"vya", u"ゔゃ"}, {"vyi", u"ゔぃ"}, {"vyu", u"ゔゅ"}, {"vye", u"ゔぇ"}, {"vyo", u"ゔょ"},
    // signs
    {"-", u"ー"}, {"~", u"～"}, {".", u"。"}, {",", u"、"}, {"[", u"「"}, {"]", u"」"},
    {"/", u"・"}, {"z/", u"・"}, {"z.", u"…"}, {"z,", u"‥"}, {"z-", u"～"},
    {"z[", u"『"}, {"z]", u"』"}, {"zh", u"←"}, {"zj", u"↓"}, {"zk", u"↑"}, {"zl", u"→"},
};

const std::map<QString, QString>& RomajiTable()
{
    static const std::map<QString, QString> table = [] {
        std::map<QString, QString> t;
        for (const RomajiRow& row : kRomajiRows)
            t[QString::fromLatin1(row.romaji)] = QString::fromUtf16(row.kana);
        return t;
    }();
    return table;
}

// The longest spelling that begins s, or none.
std::map<QString, QString>::const_iterator LongestKeyAtStart(const QString& s)
{
    const auto& t = RomajiTable();
    for (qsizetype len = s.size(); len > 0; --len)
        if (auto it = t.find(s.left(len)); it != t.end())
            return it;
    return t.end();
}

bool IsVowel(QChar c) { return QStringLiteral("aiueo").contains(c); }

} // namespace

QString ToHalfWidthKatakana(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (QChar qc : text) {
        char16_t c = qc.unicode();
        if (c >= 0x3041 && c <= 0x3096)
            c = char16_t(c + 0x60); // hiragana to katakana
        if (c >= kFirstKatakana && c <= kLastKatakana) {
            out += QString::fromUtf16(kHalfOfKatakana[c - kFirstKatakana]);
        } else if (auto it = kHalfOfSign.find(c); it != kHalfOfSign.end()) {
            out += QString::fromUtf16(it->second);
        } else {
            out += qc;
        }
    }
    return out;
}

bool CRomajiConverter::Accepts(QChar ch)
{
    const QChar c = ch.toLower();
    return (c >= u'a' && c <= u'z') || QStringLiteral("-~.,[]/'").contains(c);
}

QString CRomajiConverter::Feed(QChar ch)
{
    m_strPending += ch.toLower();
    QString out;
    const auto& t = RomajiTable();
    while (!m_strPending.isEmpty()) {
        // Wait while a longer spelling may still come (n: na, nya, nn).
        const bool bLonger = [&] {
            auto it = t.upper_bound(m_strPending);
            return it != t.end() && it->first.startsWith(m_strPending);
        }();
        if (bLonger)
            break;
        if (auto it = t.find(m_strPending); it != t.end()) {
            out += ToHalfWidthKatakana(it->second);
            m_strPending.clear();
            break;
        }
        const QChar c0 = m_strPending[0];
        // A doubled consonant, or t before ch, is a small tsu.
        const bool bDoubled = m_strPending.size() >= 2 && c0.isLetter() && c0 != u'n' && !IsVowel(c0)
            && (c0 == m_strPending[1] || m_strPending.startsWith(QStringLiteral("tc")));
        if (bDoubled) {
            out += u"ｯ";
            m_strPending.remove(0, 1);
        } else if (auto it = LongestKeyAtStart(m_strPending); it != t.end()) {
            out += ToHalfWidthKatakana(it->second); // n before a consonant
            m_strPending.remove(0, it->first.size());
        } else {
            out += c0.toUpper(); // no spelling: the letter stays a letter
            m_strPending.remove(0, 1);
        }
    }
    return out;
}

QString CRomajiConverter::Flush()
{
    QString out;
    while (!m_strPending.isEmpty()) {
        if (auto it = LongestKeyAtStart(m_strPending); it != RomajiTable().end()) {
            out += ToHalfWidthKatakana(it->second);
            m_strPending.remove(0, it->first.size());
        } else {
            out += m_strPending[0].toUpper();
            m_strPending.remove(0, 1);
        }
    }
    return out;
}

QString ToSingleByteForms(const QString& text)
{
    QString out = text;
    for (QChar& qc : out) {
        const char16_t c = qc.unicode();
        if (c == 0x3000)
            qc = QChar(u' ');
        else if (c >= 0xFF01 && c <= 0xFF5E)
            qc = QChar(char16_t(c - 0xFF01 + 0x21));
        else if (c == 0xFFE5)
            qc = QChar(u'\\'); // the yen sign is 0x5C in code page 932
    }
    return out;
}
