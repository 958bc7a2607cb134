#include "platform/Kana.h"

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

// Romaji to full-width katakana; ToHalfWidthKatakana finishes the job.
const std::map<QString, QString>& RomajiTable()
{
    static const std::map<QString, QString> table = [] {
        std::map<QString, QString> t;
        struct Row { const char* cons; const char16_t* kana; }; // kana for a i u e o
        const Row rows[] = {
            {"", u"アイウエオ"}, {"k", u"カキクケコ"}, {"g", u"ガギグゲゴ"}, {"s", u"サシスセソ"},
            {"z", u"ザジズゼゾ"}, {"t", u"タチツテト"}, {"d", u"ダヂヅデド"}, {"n", u"ナニヌネノ"},
            {"h", u"ハヒフヘホ"}, {"b", u"バビブベボ"}, {"p", u"パピプペポ"}, {"m", u"マミムメモ"},
            {"r", u"ラリルレロ"}, {"x", u"ァィゥェォ"}, {"l", u"ァィゥェォ"},
        };
        const char* vowels = "aiueo";
        for (const Row& r : rows)
            for (int v = 0; v < 5; ++v)
                t[QString::fromLatin1(r.cons) + QChar(vowels[v])] = QString(QChar(r.kana[v]));
        // y-rows: base kana (i column) + small ya/yu/yo
        struct YRow { const char* cons; const char16_t* base; };
        const YRow yrows[] = {
            {"ky", u"キ"}, {"gy", u"ギ"}, {"sy", u"シ"}, {"sh", u"シ"}, {"zy", u"ジ"}, {"j", u"ジ"},
            {"jy", u"ジ"}, {"ty", u"チ"}, {"ch", u"チ"}, {"cy", u"チ"}, {"dy", u"ヂ"}, {"ny", u"ニ"},
            {"hy", u"ヒ"}, {"by", u"ビ"}, {"py", u"ピ"}, {"my", u"ミ"}, {"ry", u"リ"},
        };
        for (const YRow& r : yrows) {
            const QString c = QString::fromLatin1(r.cons);
            const QString base = QString::fromUtf16(r.base);
            t[c + "a"] = base + QChar(u'ャ');
            t[c + "u"] = base + QChar(u'ュ');
            t[c + "o"] = base + QChar(u'ョ');
            t[c + "e"] = base + QChar(u'ェ');
        }
        const std::pair<const char*, const char16_t*> extra[] = {
            {"ya", u"ヤ"}, {"yu", u"ユ"}, {"yo", u"ヨ"}, {"wa", u"ワ"}, {"wo", u"ヲ"},
            {"wi", u"ウィ"}, {"we", u"ウェ"}, {"nn", u"ン"}, {"n'", u"ン"}, {"xn", u"ン"},
            {"shi", u"シ"}, {"chi", u"チ"}, {"tsu", u"ツ"}, {"ji", u"ジ"}, {"fu", u"フ"},
            {"fa", u"ファ"}, {"fi", u"フィ"}, {"fe", u"フェ"}, {"fo", u"フォ"}, {"va", u"ヴァ"},
            {"vi", u"ヴィ"}, {"vu", u"ヴ"}, {"ve", u"ヴェ"}, {"vo", u"ヴォ"}, {"thi", u"ティ"},
            {"dhi", u"ディ"}, {"xtu", u"ッ"}, {"ltu", u"ッ"}, {"xtsu", u"ッ"}, {"xya", u"ャ"},
            {"xyu", u"ュ"}, {"xyo", u"ョ"}, {"lya", u"ャ"}, {"lyu", u"ュ"}, {"lyo", u"ョ"},
            {"xwa", u"ヮ"}, {"-", u"ー"}, {",", u"、"}, {".", u"。"}, {"[", u"「"}, {"]", u"」"},
            {"/", u"・"},
        };
        for (const auto& [r, k] : extra)
            t[QString::fromLatin1(r)] = QString::fromUtf16(k);
        return t;
    }();
    return table;
}

bool IsPrefixOfKey(const QString& s)
{
    const auto& t = RomajiTable();
    auto it = t.lower_bound(s);
    return it != t.end() && it->first.startsWith(s);
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
    return (c >= u'a' && c <= u'z') || QStringLiteral("-,.[]/'").contains(c);
}

QString CRomajiConverter::Feed(QChar ch)
{
    m_strPending += ch.toLower();
    QString out;
    while (!m_strPending.isEmpty()) {
        const auto& t = RomajiTable();
        if (auto it = t.find(m_strPending); it != t.end()) {
            out += ToHalfWidthKatakana(it->second);
            m_strPending.clear();
            break;
        }
        if (IsPrefixOfKey(m_strPending))
            break;
        const QChar c0 = m_strPending[0];
        // A doubled consonant, or t before ch, is a small tsu.
        const bool bDoubled = m_strPending.size() >= 2 && c0.isLetter() && c0 != u'n' && !IsVowel(c0)
            && (c0 == m_strPending[1] || m_strPending.startsWith(QStringLiteral("tc")));
        if (bDoubled) {
            out += u"ｯ"; // doubled consonant
            m_strPending.remove(0, 1);
        } else if (c0 == u'n' && m_strPending.size() >= 2) {
            out += u"ﾝ"; // n before a consonant
            m_strPending.remove(0, 1);
        } else {
            out += c0.toUpper();
            m_strPending.remove(0, 1);
        }
    }
    return out;
}

QString CRomajiConverter::Flush()
{
    QString out = m_strPending == "n" ? QStringLiteral("ﾝ") : m_strPending.toUpper();
    m_strPending.clear();
    return out;
}
