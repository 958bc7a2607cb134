// SPDX-License-Identifier: GPL-3.0-or-later
// The answer box: what typing, input methods and undo store.
#include "TestRegistry.h"
#include "copytest/CharEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

class TestCharEdit : public QObject {
    Q_OBJECT
private slots:
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
        // 半角/全角 (or Ctrl+Space) between kana and Latin in a Wabun test.
        QTest::newRow("toggle to latin and back") << true << QStringList{"t", "k:ka", "z", "k:ja1", "z", "k:ta"}
                                                  << QByteArray("\xB6JA1\xC0");
        QTest::newRow("toggle ends pending") << true << QStringList{"t", "k:kan", "s", "k:k"} << QByteArray("\xB6\xDDK");
        QTest::newRow("no toggle outside wabun") << true << QStringList{"k:ka", "z", "k:ta"} << QByteArray("\xB6\xC0");
    }
    void answerBoxStores()
    {
        QFETCH(bool, kana);
        QFETCH(QStringList, steps);
        QFETCH(QByteArray, bytes);
        CCharEdit edit;
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
            } else if (step == "t") {
                edit.SetKanaToggle(true);
            } else if (step == "z") {
                QKeyEvent key(QEvent::KeyPress, Qt::Key_Zenkaku_Hankaku, Qt::NoModifier);
                QApplication::sendEvent(&edit, &key);
            } else if (step == "s") {
                QTest::keyClick(&edit, Qt::Key_Space, Qt::ControlModifier);
            }
        }
        const std::string got = edit.GetWindowTextBytes();
        QCOMPARE(QByteArray::fromStdString(got), bytes);
        for (char c : got)
            QVERIFY2(!(c >= 'a' && c <= 'z'), "a lower-case letter in the box");
    }

    void heldToTheWindowsLimit()
    {
        CCharEdit edit;
        QSignalSpy cut(&edit, &CCharEdit::PasteCut);
        QApplication::clipboard()->setText(QString(1 << 20, QChar(u'e')));
        edit.paste(); // 1 MiB pasted: cut, and said so
        QCOMPARE(edit.CharCount(), CCharEdit::kMaxChars);
        QCOMPARE(cut.count(), 1);
        QCOMPARE(cut.at(0).at(0).toInt(), CCharEdit::kMaxChars);
        QTest::keyClicks(&edit, "ab"); // typing is refused at the limit
        QTest::keyClick(&edit, Qt::Key_Return);
        QCOMPARE(edit.CharCount(), CCharEdit::kMaxChars);
        QTest::keyClick(&edit, Qt::Key_Backspace); // room for one again
        QTest::keyClicks(&edit, "ab");
        QCOMPARE(edit.toPlainText().right(2), QStringLiteral("EA"));
        QCOMPARE(cut.count(), 1);
    }
};

DRAVIK_REGISTER_TEST(TestCharEdit)
#include "copytest_charedit.moc"
