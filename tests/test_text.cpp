// SPDX-License-Identifier: GPL-3.0-or-later
// Japanese text: romaji and kana conversion, code page 932.
#include "text/Cp932.h"
#include "text/Kana.h"

#include <QtTest>

class TestText : public QObject {
    Q_OBJECT
private slots:
    void romaji_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kana");
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
        for (const auto& [typed, kana] : rows)
            QTest::newRow(typed) << QString::fromLatin1(typed) << QString::fromUtf16(kana);
    }
    void romaji()
    {
        QFETCH(QString, typed);
        QFETCH(QString, kana);
        CRomajiConverter conv;
        QString out;
        for (QChar c : typed)
            out += conv.Feed(c);
        out += conv.Flush();
        QCOMPARE(out, kana);
        QVERIFY(conv.Pending().isEmpty());
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

    void singleByteForms_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("ideographic space") << QStringLiteral("ｱ　ｲ") << QStringLiteral("ｱ ｲ");
        QTest::newRow("digits") << QStringLiteral("０１９") << QStringLiteral("019");
        QTest::newRow("letters") << QStringLiteral("ＡＺａｚ") << QStringLiteral("AZaz");
        QTest::newRow("signs") << QStringLiteral("！？／（）＿～") << QStringLiteral("!?/()_~");
        QTest::newRow("yen") << QStringLiteral("￥") << QStringLiteral("\\");
        QTest::newRow("kana pass") << QStringLiteral("かｶ") << QStringLiteral("かｶ");
    }
    void singleByteForms()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        QCOMPARE(ToSingleByteForms(in), out);
    }

    void halfWidthKana_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("hiragana") << QStringLiteral("かな") << QStringLiteral("ｶﾅ");
        QTest::newRow("voiced") << QStringLiteral("がぱヴ") << QStringLiteral("ｶﾞﾊﾟｳﾞ");
        QTest::newRow("combining marks") << QStringLiteral("か\u3099は\u309Aホ\u309A") << QStringLiteral("ｶﾞﾊﾟﾎﾟ");
        QTest::newRow("katakana") << QStringLiteral("モールス") << QStringLiteral("ﾓｰﾙｽ");
        QTest::newRow("small") << QStringLiteral("ちょっと") << QStringLiteral("ﾁｮｯﾄ");
        QTest::newRow("signs") << QStringLiteral("「ア、イ。」・") << QStringLiteral("｢ｱ､ｲ｡｣･");
        QTest::newRow("wo n") << QStringLiteral("をん") << QStringLiteral("ｦﾝ");
        QTest::newRow("latin passes") << QStringLiteral("CQ 1") << QStringLiteral("CQ 1");
        QTest::newRow("kanji passes") << QStringLiteral("漢") << QStringLiteral("漢");
    }
    void halfWidthKana()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        QCOMPARE(ToHalfWidthKatakana(in), out);
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

};

QTEST_GUILESS_MAIN(TestText)
#include "test_text.moc"
