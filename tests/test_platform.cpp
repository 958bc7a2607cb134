// Our layer over Qt: romaji and kana, CP932, the lock, the up-down.
#include "platform/BlinkTimeout.h"
#include "platform/Cp932.h"
#include "platform/InstanceLock.h"
#include "platform/InputMode.h"
#include "platform/Kana.h"
#include "platform/SpinButton.h"

#include <QLineEdit>
#include <QToolButton>
#include <QSignalSpy>
#include <QDir>
#include <QScrollBar>
#include <QStyleHints>
#include <QtTest>

class TestPlatform : public QObject {
    Q_OBJECT
private slots:
    void romaji_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kana");
        const std::pair<const char*, const char16_t*> rows[] = {
            {"ka", u"ｶ"}, {"shi", u"ｼ"}, {"si", u"ｼ"}, {"tsu", u"ﾂ"}, {"tu", u"ﾂ"},
            {"ga", u"ｶﾞ"}, {"pa", u"ﾊﾟ"}, {"kya", u"ｷｬ"}, {"sha", u"ｼｬ"}, {"cho", u"ﾁｮ"},
            {"ja", u"ｼﾞｬ"}, {"wo", u"ｦ"}, {"fu", u"ﾌ"}, {"-", u"ｰ"},
            {"kitte", u"ｷｯﾃ"}, {"zasshi", u"ｻﾞｯｼ"}, {"matcha", u"ﾏｯﾁｬ"},
            {"konnnichiha", u"ｺﾝﾆﾁﾊ"}, {"sanpo", u"ｻﾝﾎﾟ"}, {"kanji", u"ｶﾝｼﾞ"},
            {"hon", u"ﾎﾝ"}, {"kinyou", u"ｷﾆｮｳ"}, {"kin'you", u"ｷﾝﾖｳ"}, {"ra-men", u"ﾗｰﾒﾝ"},
            {"xtu", u"ｯ"}, {"la", u"ｧ"}, {"k", u"K"}, {"moorusu", u"ﾓｵﾙｽ"},
            // upper case converts exactly as lower case
            {"KA", u"ｶ"}, {"GAKKOU", u"ｶﾞｯｺｳ"}, {"NN", u"ﾝ"}, {"Kyo", u"ｷｮ"},
            // spellings of mainstream input methods
            {"qa", u"ｸｧ"}, {"qi", u"ｸｨ"}, {"qu", u"ｸ"}, {"qe", u"ｸｪ"}, {"qo", u"ｸｫ"},
            {"kwa", u"ｸｧ"}, {"gwa", u"ｸﾞｧ"}, {"tsa", u"ﾂｧ"}, {"tsi", u"ﾂｨ"}, {"tse", u"ﾂｪ"},
            {"tso", u"ﾂｫ"}, {"wha", u"ｳｧ"}, {"whi", u"ｳｨ"}, {"whu", u"ｳ"}, {"whe", u"ｳｪ"},
            {"who", u"ｳｫ"}, {"wu", u"ｳ"}, {"ye", u"ｲｪ"}, {"fya", u"ﾌｬ"}, {"fyu", u"ﾌｭ"},
            {"fyo", u"ﾌｮ"}, {"vya", u"ｳﾞｬ"}, {"vyu", u"ｳﾞｭ"}, {"vyo", u"ｳﾞｮ"}, {"tha", u"ﾃｬ"},
            {"thi", u"ﾃｨ"}, {"thu", u"ﾃｭ"}, {"the", u"ﾃｪ"}, {"tho", u"ﾃｮ"}, {"dha", u"ﾃﾞｬ"},
            {"dhi", u"ﾃﾞｨ"}, {"dhu", u"ﾃﾞｭ"}, {"dhe", u"ﾃﾞｪ"}, {"dho", u"ﾃﾞｮ"}, {"twu", u"ﾄｩ"},
            {"dwu", u"ﾄﾞｩ"}, {"ca", u"ｶ"}, {"ci", u"ｼ"}, {"cu", u"ｸ"}, {"ce", u"ｾ"}, {"co", u"ｺ"},
            {"ltsu", u"ｯ"}, {"lwa", u"ﾜ"}, {"xka", u"ｶ"}, {"xke", u"ｹ"}, {"lka", u"ｶ"}, {"lke", u"ｹ"},
            {"wyi", u"ｲ"}, {"wye", u"ｴ"}, {"t'i", u"ﾃｨ"}, {"d'yu", u"ﾃﾞｭ"}, {"hwyu", u"ﾌｭ"},
            {"z/", u"･"}, {"z[", u"『"},
            // rules: doubled consonants, n before a consonant
            {"qqa", u"ｯｸｧ"}, {"wwa", u"ｯﾜ"}, {"cchi", u"ｯﾁ"}, {"tt", u"ｯT"}, {"n'a", u"ﾝｱ"},
            {"nk", u"ﾝK"}, {"kk", u"ｯK"},
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

    // Steps typed into an answer box, and the bytes it then holds:
    // "k:" keys, "S:" keys each with Shift held (Shift pressed first),
    // "c:" a system input method's commit, "u" Ctrl+Z, "b" Backspace, "r" Enter.
    void answerBoxStores_data()
    {
        QTest::addColumn<bool>("kana");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("shift per letter") << true << QStringList{"S:ka"} << QByteArray("\xB6");
        QTest::newRow("shift gakkou") << true << QStringList{"S:gakkou"} << QByteArray("\xB6\xDE\xAF\xBA\xB3");
        QTest::newRow("shift nn") << true << QStringList{"S:nn"} << QByteArray("\xDD");
        QTest::newRow("undo whole kana") << true << QStringList{"k:kaki", "u"} << QByteArray("\xB6");
        QTest::newRow("undo with pending") << true << QStringList{"k:kak", "u"} << QByteArray("\xB6");
        QTest::newRow("undo all") << true << QStringList{"k:ka", "u", "u"} << QByteArray();
        QTest::newRow("backspace pending") << true << QStringList{"k:ky", "b", "k:a"} << QByteArray("\xB6");
        QTest::newRow("pending not stored") << true << QStringList{"k:kitte", "r", "k:k"} << QByteArray("\xB7\xAF\xC3\r\n");
        QTest::newRow("kana commit full-width space") << true << QStringList{"c:かな　ｶﾅ"} << QByteArray("\xB6\xC5 \xB6\xC5");
        QTest::newRow("full-width letters") << false << QStringList{"c:ＡＢｃ　１２！"} << QByteArray("ABC 12!");
        QTest::newRow("not in code page 932") << false << QStringList{"c:A😀B€C한"} << QByteArray("A?B?C?");
        QTest::newRow("combining mark") << false << QStringList{"c:e\u0301"} << QByteArray("E?");
        QTest::newRow("latin keys") << false << QStringList{"S:cq", "k:de"} << QByteArray("CQDE");
    }
    void answerBoxStores()
    {
        QFETCH(bool, kana);
        QFETCH(QStringList, steps);
        QFETCH(QByteArray, bytes);
        CEditCtrl edit;
        edit.show();
        if (kana) {
            edit.InputContext().bOpen = 1;
            edit.InputContext().dwConversion = IME_CMODE_NATIVE | IME_CMODE_KATAKANA;
        }
        for (const QString& step : steps) {
            const QString arg = step.mid(2);
            if (step.startsWith("k:")) {
                QTest::keyClicks(&edit, arg);
            } else if (step.startsWith("S:")) {
                for (QChar c : arg) {
                    QKeyEvent shift(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
                    QApplication::sendEvent(&edit, &shift);
                    QKeyEvent key(QEvent::KeyPress, c.toUpper().unicode(), Qt::ShiftModifier, QString(c.toUpper()));
                    QApplication::sendEvent(&edit, &key);
                    QKeyEvent up(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
                    QApplication::sendEvent(&edit, &up);
                }
            } else if (step.startsWith("c:")) {
                QInputMethodEvent commit;
                commit.setCommitString(arg);
                QApplication::sendEvent(&edit, &commit);
            } else if (step == "u") {
                QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier);
            } else if (step == "b") {
                QTest::keyClick(&edit, Qt::Key_Backspace);
            } else if (step == "r") {
                QTest::keyClick(&edit, Qt::Key_Return);
            }
        }
        const std::string got = edit.GetWindowTextBytes();
        QCOMPARE(QByteArray::fromStdString(got), bytes);
        for (char c : got)
            QVERIFY2(!(c >= 'a' && c <= 'z'), "a lower-case letter in the box");
    }

    void answerBoxScrollsOneLineSideways()
    {
        CEditCtrl edit;
        edit.resize(200, 50);
        edit.show();
        QTest::keyClicks(&edit, QString(120, QChar(u'E')));
        QCOMPARE(edit.document()->lineCount(), 1); // not wrapped
        QVERIFY(edit.horizontalScrollBar()->value() > 0);
        QVERIFY(!edit.horizontalScrollBar()->isVisible());
        QVERIFY(!edit.verticalScrollBar()->isVisible());
    }

    void cursorRestsAfterNoInput()
    {
        const int desktop = QGuiApplication::styleHints()->cursorFlashTime();
        QVERIFY(desktop > 0);
        {
            CBlinkTimeout blink(100);
            CEditCtrl edit;
            edit.show();
            QTRY_COMPARE(QGuiApplication::styleHints()->cursorFlashTime(), 0);
            QTest::keyClick(&edit, Qt::Key_A); // typing blinks again
            QCOMPARE(QGuiApplication::styleHints()->cursorFlashTime(), desktop);
            QTRY_COMPARE(QGuiApplication::styleHints()->cursorFlashTime(), 0);
        }
        QCOMPARE(QGuiApplication::styleHints()->cursorFlashTime(), desktop);
    }

    void halfWidthKana_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("hiragana") << QStringLiteral("かな") << QStringLiteral("ｶﾅ");
        QTest::newRow("voiced") << QStringLiteral("がぱヴ") << QStringLiteral("ｶﾞﾊﾟｳﾞ");
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

    void instanceLock_data()
    {
        // What stands at the lock's path before the lock is tried.
        QTest::addColumn<QString>("blocker");
        QTest::addColumn<bool>("held");
        QTest::addColumn<bool>("heldElsewhere");
        QTest::newRow("nothing") << "" << true << false;
        QTest::newRow("running holder") << "lock" << false << true;
        QTest::newRow("directory") << "dir" << false << false;
        QTest::newRow("empty file") << "empty" << false << false;
    }
    void instanceLock()
    {
        QFETCH(QString, blocker);
        QFETCH(bool, held);
        QFETCH(bool, heldElsewhere);
        const QString name = QStringLiteral("DRAVIK_TEST_LOCK_%1_%2")
                                 .arg(QCoreApplication::applicationPid())
                                 .arg(QTest::currentDataTag());
        const QString path = CInstanceLock::PathFor(name);
        std::unique_ptr<CInstanceLock> holder;
        if (blocker == "lock")
            holder = std::make_unique<CInstanceLock>(name);
        else if (blocker == "dir")
            QVERIFY(QDir().mkpath(path));
        else if (blocker == "empty")
            QVERIFY(QFile(path).open(QIODevice::WriteOnly));
        {
            CInstanceLock lock(name);
            QCOMPARE(lock.IsHeld(), held);
            QCOMPARE(lock.IsHeldElsewhere(), heldElsewhere);
        }
        holder.reset();
        if (blocker == "lock") {
            CInstanceLock again(name); // the holder has gone
            QVERIFY(again.IsHeld());
        }
        QDir(path).removeRecursively();
        QFile::remove(path);
    }

    void spinStopsAtBounds_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("steps");
        QTest::addColumn<QString>("end");
        QTest::newRow("up to 1000") << "998" << 5 << "1000";
        QTest::newRow("down to 250") << "252" << -5 << "250";
        QTest::newRow("typed above range") << "2000" << 1 << "1000";
        QTest::newRow("typed below range") << "10" << -1 << "250";
        QTest::newRow("not a number") << "abc" << 1 << "801";
    }
    void spinStopsAtBounds()
    {
        QFETCH(QString, start);
        QFETCH(int, steps);
        QFETCH(QString, end);
        QLineEdit buddy;
        CSpinButtonCtrl spin;
        spin.SetBuddy(&buddy);
        spin.SetRange(250, 1000);
        spin.SetPos(800);
        buddy.setText(start);
        QSignalSpy scrolls(&spin, &CSpinButtonCtrl::VScroll);
        for (int i = 0; i < std::abs(steps); ++i)
            (steps > 0 ? spin.UpButton() : spin.DownButton())->click();
        QCOMPARE(buddy.text(), end);
        QCOMPARE(int(scrolls.count()), 2 * std::abs(steps));
        // The box still takes any text.
        buddy.setText("12x");
        QCOMPARE(buddy.text(), QStringLiteral("12x"));
    }

    void arrowKeysInBuddy()
    {
        QLineEdit buddy;
        CSpinButtonCtrl spin;
        spin.SetBuddy(&buddy);
        spin.SetRange(5, 120);
        spin.SetPos(119);
        QTest::keyClick(&buddy, Qt::Key_Up);
        QTest::keyClick(&buddy, Qt::Key_Up);
        QCOMPARE(buddy.text(), QStringLiteral("120"));
        QTest::keyClick(&buddy, Qt::Key_Down);
        QCOMPARE(buddy.text(), QStringLiteral("119"));
    }
};

QTEST_MAIN(TestPlatform)
#include "test_platform.moc"
