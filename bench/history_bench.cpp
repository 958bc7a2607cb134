// SPDX-License-Identifier: GPL-3.0-or-later
// The history's costs: storing one test (a committed transaction, as
// Evaluate does; and while another program holds the file), and opening the record window over a history of
// 100,000 tests (the history opened, this run's tests and characters
// read, the window filled and shown), each several times.
//
//   history_bench [runs]      offscreen; min/median/max in ms
#include "record/RecordDlg.h"
#include "history/History.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QThread>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

static HistoryTest MakeTest(int i, const QString& run, const QDateTime& when)
{
    HistoryTest t;
    t.when = when;
    t.strRun = run;
    t.nMode = i % 6;
    t.nFreq = 800;
    t.nWpm = 20;
    t.nVolume = 20;
    t.strOptions = QStringLiteral("ToneShape=square\nEdgeMs=5\nEffectiveWpm=0\nKochLesson=0\nWeightWeak=0\nKochAdvance=1");
    t.strSent = std::string(59, 'E');
    t.strTyped = std::string(57, 'E');
    t.nPositionPercent = 80;
    t.bAligned = true;
    t.nRight = 48;
    t.nWrong = 1;
    t.nMissing = 1;
    t.nCharsHeard = 50;
    t.dSeconds = 40;
    return t;
}

static std::map<unsigned char, CharStats> SomeChars(int i)
{
    std::map<unsigned char, CharStats> chars;
    for (int k = 0; k < 20; ++k) {
        CharStats& st = chars[static_cast<unsigned char>('A' + (i + k) % 26)];
        st.nSent = 2;
        st.nRight = 1;
        st.confusions["X"] = 1;
    }
    return chars;
}

static void Report(const char* what, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    std::printf("%-44s min %7.2f  median %7.2f  max %7.2f ms  (%zu runs)\n", what, ms.front(), ms[ms.size() / 2],
                ms.back(), ms.size());
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    QTemporaryDir dir;
    const QString path = dir.filePath("history.sqlite");
    const QDateTime now = QDateTime::currentDateTimeUtc();
    {
        // 100,000 tests over two years, in one transaction (set-up only).
        CHistory h;
        h.Open(path);
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "fill");
        db.setDatabaseName(path);
        db.open();
        db.transaction();
        QSqlQuery q(db);
        q.exec("PRAGMA synchronous = OFF");
        QSqlQuery c(db);
        q.prepare("INSERT INTO tests(at, run, mode, tone_hz, wpm, volume, options, koch_lesson, sent, typed,"
                  " position_percent, right_count, wrong_count, missing_count, extra_count, chars_heard, seconds, stopped)"
                  " VALUES(?, 'old', ?, 800, 20, 20, '', 0, ?, ?, 80, 48, 1, 1, 0, 50, 40, 0)");
        c.prepare("INSERT INTO chars(test_id, ch, sent, right_count) VALUES(?, ?, 2, 1)");
        for (int i = 0; i < 100000; ++i) {
            q.addBindValue(now.addSecs(-qint64(i) * 630).toString(Qt::ISODate));
            q.addBindValue(i % 6);
            q.addBindValue(QByteArray(59, 'E'));
            q.addBindValue(QByteArray(57, 'E'));
            q.exec();
            const qint64 id = q.lastInsertId().toLongLong();
            for (int k = 0; k < 20; ++k) {
                c.addBindValue(id);
                c.addBindValue('A' + (i + k) % 26);
                c.exec();
            }
        }
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase("fill");

    std::vector<double> insert, open;
    CHistory h;
    h.Open(path);
    for (int r = 0; r < std::max(runs, 20); ++r) {
        HistoryTest t = MakeTest(r, "this run", QDateTime::currentDateTimeUtc());
        const auto chars = SomeChars(r);
        QElapsedTimer timer;
        timer.start();
        h.Add(t, chars);
        insert.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer timer;
        timer.start();
        CHistory fresh;
        fresh.Open(path);
        CRecordDlg dlg; // opens on the last week: about 960 of the tests
        dlg.Refresh(&fresh, QStringLiteral("this run"), {}, {});
        dlg.show();
        QApplication::processEvents();
        while (dlg.Loading())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QApplication::processEvents();
        open.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    // Another program holds a write transaction: what Evaluate waits for
    // before the test is kept to be stored later.
    std::vector<double> locked;
    {
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "locker");
        other.setDatabaseName(path);
        other.open();
        QSqlQuery(other).exec("BEGIN IMMEDIATE");
        for (int r = 0; r < runs; ++r) {
            HistoryTest t = MakeTest(r, "this run", QDateTime::currentDateTimeUtc());
            QElapsedTimer timer;
            timer.start();
            h.Add(t, SomeChars(r));
            locked.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
        QSqlQuery(other).exec("ROLLBACK");
        other.close();
    }
    QSqlDatabase::removeDatabase("locker");
    const size_t kept = h.PendingCount();
    h.StorePending();
    std::printf("history of %d tests (%zu kept during the lock, %zu left)\n", int(h.Tests().size()), kept, h.PendingCount());
    Report("store one test (committed)", insert);
    Report("Evaluate's wait while another program writes", locked);
    Report("open the record window (last 7 days)", open);
    std::vector<double> all, holds;
    for (int r = 0; r < runs; ++r) {
        CHistory fresh;
        fresh.Open(path);
        CRecordDlg dlg;
        dlg.m_pPeriod->setCurrentIndex(int(RecordPeriod::All));
        QElapsedTimer timer;
        timer.start();
        dlg.Refresh(&fresh, QStringLiteral("this run"), {}, {});
        dlg.show();
        // The longest the window is held while all of it is read and shown.
        double held = double(timer.nsecsElapsed()) / 1e6, longest = held;
        QElapsedTimer slice;
        while (dlg.Loading()) {
            slice.start();
            QApplication::processEvents();
            longest = std::max(longest, double(slice.nsecsElapsed()) / 1e6);
            QThread::usleep(500);
        }
        all.push_back(double(timer.nsecsElapsed()) / 1e6);
        holds.push_back(longest);
    }
    Report("show all 100,000 tests (period 全部)", all);
    Report("  the longest the window is held meanwhile", holds);
    return 0;
}
