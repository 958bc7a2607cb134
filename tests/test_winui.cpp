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
    void readableOnTheBase()
    {
        // On a light base the designed colours stay; on a dark one they
        // change to be readable.
        const std::pair<QColor, bool> bases[] = {
            {Qt::white, true}, {QColor(0xF0, 0xF0, 0xF0), true}, {QColor(0x3D, 0x3D, 0x3D), false},
            {Qt::black, false}, {QColor(0x1E, 0x1E, 0x3C), false},
        };
        for (const auto& [base, designed] : bases)
            for (const QColor& text : {QColor(0, 0, 0), QColor(0, 128, 0), QColor(255, 0, 0)}) {
                const QColor shown = ReadableOn(text, base);
                QVERIFY2(designed ? shown == text : ContrastRatio(shown, base) >= 4.5, qPrintable(base.name()));
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

    void spinStopsAtBounds()
    {
        // The box's text, the steps taken by the buttons (or the arrow keys
        // in the box), what the box shows then.
        const struct { const char* start; int steps; bool keys; const char* end; } rows[] = {
            {"998", 5, false, "1000"}, {"252", -5, false, "250"}, {"2000", 1, false, "1000"},
            {"10", -1, false, "250"},  {"abc", 1, false, "801"},  {"998", 3, true, "1000"}, {"251", -2, true, "250"},
        };
        for (const auto& r : rows) {
            QLineEdit buddy;
            CSpinButtonCtrl spin;
            spin.SetBuddy(&buddy);
            spin.SetRange(250, 1000);
            spin.SetPos(800);
            buddy.setText(r.start);
            QSignalSpy scrolls(&spin, &CSpinButtonCtrl::VScroll);
            for (int i = 0; i < std::abs(r.steps); ++i) {
                if (r.keys)
                    QTest::keyClick(&buddy, r.steps > 0 ? Qt::Key_Up : Qt::Key_Down);
                else
                    (r.steps > 0 ? spin.UpButton() : spin.DownButton())->click();
            }
            QCOMPARE(buddy.text(), QString(r.end));
            if (!r.keys)
                QCOMPARE(int(scrolls.count()), 2 * std::abs(r.steps));
            // The box still takes any text.
            buddy.setText("12x");
            QCOMPARE(buddy.text(), QStringLiteral("12x"));
        }
    }

    void openTakesTheNameAsTyped()
    {
        // What the user typed in the dialog, which files exist, what is kept.
        const struct { const char* typed; QStringList existing; const char* kept; } rows[] = {
            {"phrases", {"phrases", "phrases.txt"}, "phrases"}, {"drill", {}, "drill.txt"},
            {"drill.cw", {}, "drill.cw"},                       {"a.txt", {"a.txt"}, "a.txt"},
        };
        for (const auto& r : rows) {
            QTemporaryDir dir;
            for (const QString& name : r.existing)
                QVERIFY(QFile(dir.filePath(name)).open(QIODevice::WriteOnly));
            QCOMPARE(ResolveOpenName(dir.filePath(r.typed), QStringLiteral("txt")), dir.filePath(r.kept));
        }
    }
};
QTEST_MAIN(TestWinUi)
#include "test_winui.moc"
