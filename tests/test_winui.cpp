// SPDX-License-Identifier: GPL-3.0-or-later
// Our layer over Qt Widgets: the up-down control, the cursor rest, the
// name an open dialog keeps.
#include "winui/BlinkTimeout.h"
#include "winui/Contrast.h"
#include "winui/FileDialog.h"
#include "winui/SpinButton.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

class TestWinUi : public QObject {
    Q_OBJECT
private slots:
    void readableOnTheBase_data()
    {
        QTest::addColumn<QColor>("base");
        QTest::addColumn<bool>("designed"); // the colours stay as they are
        QTest::newRow("white") << QColor(Qt::white) << true;
        QTest::newRow("light grey") << QColor(0xF0, 0xF0, 0xF0) << true;
        QTest::newRow("dark grey") << QColor(0x3D, 0x3D, 0x3D) << false;
        QTest::newRow("black") << QColor(Qt::black) << false;
        QTest::newRow("dark blue") << QColor(0x1E, 0x1E, 0x3C) << false;
    }
    void readableOnTheBase()
    {
        QFETCH(QColor, base);
        QFETCH(bool, designed);
        for (const QColor& text : {QColor(0, 0, 0), QColor(0, 128, 0), QColor(255, 0, 0)}) {
            const QColor shown = ReadableOn(text, base);
            if (designed)
                QCOMPARE(shown, text);
            else
                QVERIFY2(ContrastRatio(shown, base) >= 4.5, qPrintable(shown.name()));
        }
        QVERIFY(std::abs(ContrastRatio(Qt::black, Qt::white) - 21.0) < 0.01);
    }

    void cursorRestsAfterNoInput()
    {
        const int desktop = QGuiApplication::styleHints()->cursorFlashTime();
        QVERIFY(desktop > 0);
        {
            CBlinkTimeout blink(100);
            QLineEdit edit;
            edit.show();
            QTRY_COMPARE(QGuiApplication::styleHints()->cursorFlashTime(), 0);
            QTest::keyClick(&edit, Qt::Key_A); // typing blinks again
            QCOMPARE(QGuiApplication::styleHints()->cursorFlashTime(), desktop);
            QTRY_COMPARE(QGuiApplication::styleHints()->cursorFlashTime(), 0);
        }
        QCOMPARE(QGuiApplication::styleHints()->cursorFlashTime(), desktop);
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
    void openTakesTheNameAsTyped_data()
    {
        // What the user typed in the dialog, which files exist, what is kept.
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("kept");
        QTest::newRow("existing, no suffix") << "phrases" << QStringList{"phrases", "phrases.txt"} << "phrases";
        QTest::newRow("missing, no suffix") << "drill" << QStringList{} << "drill.txt";
        QTest::newRow("missing, with suffix") << "drill.cw" << QStringList{} << "drill.cw";
        QTest::newRow("existing txt") << "a.txt" << QStringList{"a.txt"} << "a.txt";
    }
    void openTakesTheNameAsTyped()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, existing);
        QFETCH(QString, kept);
        QTemporaryDir dir;
        for (const QString& name : existing) {
            QFile f(dir.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QCOMPARE(ResolveOpenName(dir.filePath(typed), QStringLiteral("txt")), dir.filePath(kept));
    }

};

QTEST_MAIN(TestWinUi)
#include "test_winui.moc"
