// SPDX-License-Identifier: GPL-3.0-or-later
// Japanese text: romaji and kana conversion, code page 932.
#include "text/Cp932.h"
#include "text/Kana.h"

#include <QtTest>

class TestText : public QObject {
    Q_OBJECT
private slots:
    void romaji()
    {
        const std::pair<const char*, const char16_t*> rows[] = {
            // one spelling of each kind of row; the table itself is data
            {"ka", u"ｶ"}, {"shi", u"ｼ"}, {"tsu", u"ﾂ"}, {"ga", u"ｶﾞ"}, {"pa", u"ﾊﾟ"},
            {"kya", u"ｷｬ"}, {"ja", u"ｼﾞｬ"}, {"wo", u"ｦ"}, {"-", u"ｰ"}, {"qa", u"ｸｧ"},
            {"tsa", u"ﾂｧ"}, {"who", u"ｳｫ"}, {"vyu", u"ｳﾞｭ"}, {"dhi", u"ﾃﾞｨ"}, {"t'i", u"ﾃｨ"},
            {"d'yu", u"ﾃﾞｭ"}, {"hwyu", u"ﾌｭ"}, {"ltsu", u"ｯ"}, {"z[", u"『"}, {"moorusu", u"ﾓｵﾙｽ"},
            // upper case converts exactly as lower case
            {"KA", u"ｶ"}, {"GAKKOU", u"ｶﾞｯｺｳ"}, {"Kyo", u"ｷｮ"},
            // rules: doubled consonants, t before ch, n before a consonant,
            // nn and n', letters that make nothing
            {"kitte", u"ｷｯﾃ"}, {"matcha", u"ﾏｯﾁｬ"}, {"qqa", u"ｯｸｧ"}, {"wwa", u"ｯﾜ"}, {"tt", u"ｯT"},
            {"konnnichiha", u"ｺﾝﾆﾁﾊ"}, {"sanpo", u"ｻﾝﾎﾟ"}, {"hon", u"ﾎﾝ"}, {"kinyou", u"ｷﾆｮｳ"},
            {"kin'you", u"ｷﾝﾖｳ"}, {"NN", u"ﾝ"}, {"nk", u"ﾝK"}, {"k", u"K"},
        };
        for (const auto& [typed, kana] : rows) {
            CRomajiConverter conv;
            QString out;
            for (char c : std::string(typed))
                out += conv.Feed(QChar(c));
            out += conv.Flush();
            QCOMPARE(out, QString::fromUtf16(kana));
            QVERIFY(conv.Pending().isEmpty());
        }
    }

    void pendingRomaji()
    {
        CRomajiConverter conv;
        QCOMPARE(conv.Feed(u'k'), QString());
        QCOMPARE(conv.Pending(), QStringLiteral("k"));
        QCOMPARE(conv.Feed(u'y'), QString());
        QCOMPARE(conv.Feed(u'o'), QStringLiteral("ｷｮ"));
        QCOMPARE(conv.Feed(u'n'), QString()); // may still be na, nya, nn
        QCOMPARE(conv.Feed(u'k'), QStringLiteral("ﾝ"));
        QCOMPARE(conv.Pending(), QStringLiteral("k"));
    }

    void singleByteAndHalfWidthForms()
    {
        const std::pair<const char16_t*, const char16_t*> single[] = {
            {u"ｱ　ｲ", u"ｱ ｲ"}, {u"０１９", u"019"}, {u"ＡＺａｚ", u"AZaz"}, {u"！？／（）＿～", u"!?/()_~"},
            {u"￥", u"\\"}, {u"かｶ", u"かｶ"},
        };
        for (const auto& [in, out] : single)
            QCOMPARE(ToSingleByteForms(QString::fromUtf16(in)), QString::fromUtf16(out));
        // Voiced marks of an input method may come as combining U+3099/309A.
        const std::pair<const char16_t*, const char16_t*> half[] = {
            {u"かな", u"ｶﾅ"}, {u"がぱヴ", u"ｶﾞﾊﾟｳﾞ"}, {u"か\u3099は\u309Aホ\u309A", u"ｶﾞﾊﾟﾎﾟ"},
            {u"モールス", u"ﾓｰﾙｽ"}, {u"ちょっと", u"ﾁｮｯﾄ"}, {u"「ア、イ。」・", u"｢ｱ､ｲ｡｣･"},
            {u"をん", u"ｦﾝ"}, {u"CQ 1", u"CQ 1"}, {u"漢", u"漢"},
        };
        for (const auto& [in, out] : half)
            QCOMPARE(ToHalfWidthKatakana(QString::fromUtf16(in)), QString::fromUtf16(out));
    }

    void cp932()
    {
        // Every half-width katakana byte decodes to one character and back.
        std::string bytes;
        for (int b = 0xA1; b <= 0xDF; ++b)
            bytes += char(b);
        const QString text = Cp932ToQString(bytes);
        QCOMPARE(text.size(), qsizetype(0xDF - 0xA1 + 1));
        QCOMPARE(text.at(0), QChar(0xFF61));
        QCOMPARE(QStringToCp932(text), bytes);
        QCOMPARE(Cp932ToQString("\x82\xA0"), QStringLiteral("あ"));
        QCOMPARE(QStringToCp932(QStringLiteral("ｱあA")), std::string("\xB1\x82\xA0" "A"));
    }

    void prosigns()
    {
        // Written as peers write them, any case; what is no prosign stays.
        const std::pair<std::string, std::string> rows[] = {
            {"CQ <AR> <sk>", "CQ \x01 \x02"}, {"<BT><KN><AS><BK>", "\x03\x04\x05\x06"},
            {"<XY> <AR <A>", "<XY> <AR <A>"}, {"\x82\xA0<AR>", "\x82\xA0\x01"},
            // Wabun's ﾎﾚ is the start signal's ･, its ﾗﾀ a sign of its own;
            // kana bytes match exactly.
            {"<\xCE\xDA>\xBA<\xD7\xC0>", "\xA5\xBA\x07"}, {"<\xEE\xFA>", "<\xEE\xFA>"},
        };
        for (const auto& [written, folded] : rows) {
            QCOMPARE(FoldProsigns(written), folded);
            QCOMPARE(FoldProsigns(ShowProsigns(folded)), folded);
        }
        QCOMPARE(Cp932ToQString("73 \x02 \xB1"), QStringLiteral("73 <SK> ｱ"));
    }

};

QTEST_GUILESS_MAIN(TestText)
#include "test_text.moc"
