// SPDX-License-Identifier: GPL-3.0-or-later
// The history on disk: what it keeps and gives back, and that it loses
// nothing committed when the program is killed, the file is broken or
// the disk is full.
#include "FileSizeLimit.h"
#include "TestFiles.h"
#include "TestRegistry.h"
#include "TestWait.h"
#include "engine/PracticeModes.h"
#include "history/History.h"
#include "history/SaveFile.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

static HistoryTest MakeTest(int mode, const QString& run, int right, const QDateTime& when)
{
    HistoryTest t;
    t.when = when;
    t.strRun = run;
    t.nMode = mode;
    t.nFreq = 800;
    t.nWpm = 20;
    t.nVolume = 20;
    t.strOptions = QStringLiteral("EdgeMs=5");
    t.strSent = "ABCDE";
    t.strTyped = "ABCXE";
    t.nPositionPercent = right * 20;
    t.bAligned = true;
    t.nRight = right;
    t.nWrong = 5 - right;
    t.nCharsHeard = 5;
    t.dSeconds = 3.0;
    t.nKochLesson = 3;
    return t;
}

class TestHistory : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void keepsAndGivesBack()
    {
        const QString path = m_dir.filePath("keeps.sqlite");
        CHistory h;
        QCOMPARE(h.Open(path), CHistory::Opened::Fresh);
        QCOMPARE(QFileInfo(path).permissions() & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());
        const QDateTime now = QDateTime::currentDateTimeUtc();
        CharStats d;
        d.nSent = 1;
        d.confusions["X"] = 1;
        const std::map<unsigned char, CharStats> chars{{'A', {1, 1, {}}}, {'D', d}};
        HistoryTest old = MakeTest(0, "run 1", 5, now.addDays(-10));
        HistoryTest mine = MakeTest(3, "run 2", 4, now);
        QVERIFY(h.Add(old, chars));
        QVERIFY(h.Add(mine, chars));
        QVERIFY(mine.nId > old.nId);
        // Reopened: everything as it was stored, and for the user alone
        // again, the folder too (an older build left them readable).
        const QString folder = m_dir.filePath("data"), moved = folder + "/keeps.sqlite";
        QVERIFY(QDir().mkpath(folder) && QFile::copy(path, moved));
        for (const QString& p : {folder, moved})
            QCOMPARE(::chmod(QFile::encodeName(p).constData(), 0755), 0);
        CHistory again;
        QCOMPARE(again.Open(moved), CHistory::Opened::Fresh);
        auto mode = [](const QString& p) {
            struct stat st {};
            return ::stat(QFile::encodeName(p).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
        };
        QCOMPARE(mode(moved), 0600);
        QCOMPARE(mode(folder), 0700);
        QCOMPARE(again.Open(path), CHistory::Opened::Fresh);
        const std::vector<HistoryTest> all = again.Tests({}, -1, {}, true);
        QCOMPARE(int(all.size()), 2);
        QCOMPARE(all[1].when.toString(Qt::ISODate), mine.when.toString(Qt::ISODate));
        QCOMPARE(all[1].strSent, std::string("ABCDE"));
        QCOMPARE(all[1].nRight, 4);
        QCOMPARE(all[1].nKochLesson, 3);
        QCOMPARE(all[1].Speed().dCharsPerMinute, 100.0); // 5 characters in 3 s
        QCOMPARE(all[1].Speed().dWpm, 20.0);
        QCOMPARE(SpeedOf(50, 0).dWpm, 0.0); // no time, no speed
        // By period, by mode, by run.
        QCOMPARE(int(again.Tests(now.addDays(-7)).size()), 1);
        QCOMPARE(int(again.Tests({}, 0).size()), 1);
        QCOMPARE(int(again.Tests({}, -1, "run 2").size()), 1);
        QCOMPARE(again.Latest(1).front().nId, mine.nId);
        const auto sum = again.Chars();
        QCOMPARE(sum.at('A').nRight, 2);
        QCOMPARE(sum.at('D').confusions.at("X"), 2);
        QCOMPARE(again.Chars(now.addDays(-7)).at('D').nSent, 1);
        QVERIFY(again.Clear());
        QVERIFY(again.Tests().empty() && again.Chars().empty());
    }

    void onlyAFileThatIsNoHistoryIsPutAside()
    {
        // What stands at the history's path; how it opens. Only what is no
        // history is renamed (and kept whole); a history that cannot be
        // used now, and anything but a regular file, is left as it is.
        const struct { const char* kind; CHistory::Opened opened; } rows[] = {
            {"garbage", CHistory::Opened::RenamedAside}, {"foreign", CHistory::Opened::RenamedAside},
            {"empty", CHistory::Opened::Fresh},          {"locked", CHistory::Opened::Unavailable},
            {"fifo", CHistory::Opened::Unavailable},     {"link", CHistory::Opened::Unavailable},
        };
        for (const auto& [kind, opened] : rows) {
            DRAVIK_ROW(kind);
            const QString path = m_dir.filePath(QStringLiteral("at-%1.sqlite").arg(kind));
            const QByteArray k = kind;
            QSqlDatabase other;
            if (k == "garbage" || k == "empty") {
                QVERIFY(SaveWhole(path, k == "garbage" ? QByteArray(4096, 'x') : QByteArray(), nullptr));
            } else if (k == "fifo") {
                QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
            } else if (k == "link") {
                QVERIFY(SaveWhole(m_dir.filePath("target"), {}, nullptr));
                QVERIFY(QFile::link(m_dir.filePath("target"), path));
            } else {
                if (k == "locked") { // a history of one test, held by another program
                    CHistory h;
                    QCOMPARE(h.Open(path), CHistory::Opened::Fresh);
                    HistoryTest t = MakeTest(0, "r", 5, QDateTime::currentDateTimeUtc());
                    QVERIFY(h.Add(t, {}));
                }
                other = QSqlDatabase::addDatabase("QSQLITE", QStringLiteral("other-%1").arg(kind));
                other.setDatabaseName(path);
                QVERIFY(other.open());
                QSqlQuery q(other);
                QVERIFY(k == "foreign" ? q.exec("CREATE TABLE tests(x)")
                                       : q.exec("PRAGMA locking_mode = EXCLUSIVE") && q.exec("BEGIN EXCLUSIVE"));
            }
            const QByteArray before = k == "fifo" ? QByteArray() : ReadAll(path);
            if (k == "garbage") { // the record window's reader leaves it as it is
                CHistory reader;
                QVERIFY(!reader.OpenForReading(path));
            }
            CHistory h;
            QCOMPARE(h.Open(path), opened);
            QCOMPARE(h.IsOpen(), opened != CHistory::Opened::Unavailable);
            if (opened == CHistory::Opened::RenamedAside)
                QCOMPARE(ReadAll(h.RenamedTo()), before); // kept, not lost
            else
                QVERIFY(QDir(m_dir.path()).entryList({QFileInfo(path).fileName() + ".broken-*"}).isEmpty());
            if (opened == CHistory::Opened::Unavailable)
                QVERIFY(!h.Error().isEmpty());
            if (k == "link")
                QVERIFY(QFileInfo(path).isSymLink() && QFileInfo(m_dir.filePath("target")).size() == 0);
            if (other.isValid()) {
                other.close();
                other = QSqlDatabase();
                QSqlDatabase::removeDatabase(QStringLiteral("other-%1").arg(kind));
            }
            if (k == "locked") { // the lock gone, every test is there
                CHistory again;
                QCOMPARE(again.Open(path), CHistory::Opened::Fresh);
                QCOMPARE(int(again.Tests().size()), 1);
            }
        }
    }

    void olderSchemaMigratesNewerStaysAlone()
    {
        // A history written by the build before modes were kept by name: a
        // test of each form mode and exam part, one of them not yet aligned.
        const QString older = m_dir.filePath("v1.sqlite"), newer = m_dir.filePath("v9.sqlite");
        QVERIFY(QFile::copy(QStringLiteral(DRAVIK_TEST_DATA "/history-v1.sqlite"), older));
        QFile::setPermissions(older, QFile::ReadOwner | QFile::WriteOwner);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "make");
            db.setDatabaseName(newer);
            QVERIFY(db.open());
            QVERIFY(QSqlQuery(db).exec("PRAGMA user_version = 9"));
            db.close();
        }
        QSqlDatabase::removeDatabase("make");
        CHistory h;
        QCOMPARE(h.Open(older), CHistory::Opened::Fresh);
        const std::vector<HistoryTest> all = h.Tests({}, -1, {}, true);
        QCOMPARE(int(all.size()), 9);
        for (int mode = 0; mode < 9; ++mode) {
            const HistoryTest& t = all[size_t(mode)];
            QCOMPARE(t.nMode, mode);
            QCOMPARE(t.nFreq, 600 + mode);
            QCOMPARE(t.bAligned, mode != kLatinPhrase);
            QCOMPARE(t.strTyped.size(), size_t(2));
            const std::vector<HistoryTest> one = h.Tests({}, mode);
            QVERIFY(one.size() == 1 && one[0].nId == t.nId);
        }
        // The test a killed run left unaligned is scored, and only it.
        const std::vector<HistoryTest> pending = h.Unaligned();
        QCOMPARE(int(pending.size()), 1);
        QVERIFY(h.SetAligned(CHistory::Score(pending)));
        QVERIFY(h.Unaligned().empty());
        const HistoryTest scored = h.Tests({}, kLatinPhrase, {}, true).front();
        QVERIFY(scored.bAligned && scored.nRight + scored.nWrong + scored.nMissing == int(scored.strSent.size()));
        QVERIFY(!h.Chars({}, kLatinPhrase).empty());
        HistoryTest t = MakeTest(kExamLatinPlain, "r", 5, QDateTime::currentDateTimeUtc());
        QVERIFY(h.Add(t, {}));
        QCOMPARE(int(h.Tests({}, kExamLatinPlain).size()), 2);
        // The migrated file keeps answers of the one-character drill too.
        HistoryAnswer a;
        a.when = QDateTime::currentDateTimeUtc();
        a.nMode = kWabunChars;
        a.ch = 0xB6;
        a.strTyped = "\xB7";
        a.nMs = -40;
        a.nLatencyMs = 180;
        QVERIFY2(h.AddAnswer(a), qPrintable(h.Error()));
        const std::vector<HistoryAnswer> answers = h.Answers({}, kWabunChars);
        QCOMPARE(int(answers.size()), 1);
        QCOMPARE(answers[0].strTyped, a.strTyped);
        QCOMPARE(answers[0].nMs, -40);
        QCOMPARE(answers[0].nLatencyMs, 180);
        QVERIFY(h.Answers({}, kLatinChars).empty());
        CHistory n;
        QCOMPARE(n.Open(newer), CHistory::Opened::Unavailable);
        QVERIFY(QFile::exists(newer)); // for the newer program, untouched
        QVERIFY(n.Error().contains("9"));
    }

    void unusableFolderAndFullDisk()
    {
        // A file where the folder should be: no history, and said why.
        const QString blocker = m_dir.filePath("blocker");
        QFile f(blocker);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        CHistory none;
        QCOMPARE(none.Open(blocker + "/history.sqlite"), CHistory::Opened::Unavailable);
        QVERIFY(!none.Error().isEmpty());
        HistoryTest t = MakeTest(0, "r", 5, QDateTime::currentDateTimeUtc());
        QVERIFY(!none.Add(t, {}));
        // A disk that fills: the test is refused, the history stays usable.
        CHistory h;
        QCOMPARE(h.Open(m_dir.filePath("full.sqlite")), CHistory::Opened::Fresh);
        HistoryTest big = MakeTest(0, "r", 5, QDateTime::currentDateTimeUtc());
        big.strSent.assign(200000, 'E');
        bool stored;
        {
            CFileSizeLimit limit(64 * 1024);
            stored = h.Add(big, {});
        }
        QVERIFY(!stored);
        QVERIFY(!h.Error().isEmpty());
        HistoryTest small = MakeTest(0, "r", 5, QDateTime::currentDateTimeUtc());
        QVERIFY(h.Add(small, {}));
        QCOMPARE(int(h.Tests().size()), 1);
    }

    void lockedHistoryKeepsTestsUntilFree()
    {
        // Another program holds a write transaction: tests are kept, in
        // order, aligned counts too, and stored once it lets go.
        const QString path = m_dir.filePath("locked.sqlite");
        CHistory h;
        QCOMPARE(h.Open(path), CHistory::Opened::Fresh);
        std::vector<HistoryTest> tests;
        for (int mode = 0; mode < 4; ++mode)
            tests.push_back(MakeTest(mode, "r", 4, QDateTime::currentDateTimeUtc()));
        tests[2].bAligned = false;
        QVERIFY(h.Add(tests[0], {}));
        {
            QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "locker");
            other.setDatabaseName(path);
            QVERIFY(other.open() && QSqlQuery(other).exec("BEGIN IMMEDIATE"));
            QVERIFY(h.Add(tests[1], {}) && h.Add(tests[2], {}));
            QVERIFY(tests[1].nId < 0 && tests[2].nId < 0 && !h.StorePending());
            Alignment a;
            a.nMissing = 2;
            QVERIFY(h.SetAligned(tests[2].nId, a, {{'A', {2, 1, {}}}}));
            // An answer of the drill is kept too, and read back meanwhile.
            HistoryAnswer answer;
            answer.when = QDateTime::currentDateTimeUtc();
            answer.nMode = kLatinChars;
            answer.ch = 'K';
            QVERIFY(h.AddAnswer(answer));
            QCOMPARE(int(h.Answers().size()), 1);
            QVERIFY(QSqlQuery(other).exec("ROLLBACK"));
        }
        QSqlDatabase::removeDatabase("locker");
        QVERIFY(h.Add(tests[3], {}) && tests[3].nId > 0 && h.PendingCount() == 0);
        std::vector<int> modes;
        for (const HistoryTest& t : h.Tests())
            modes.push_back(t.nMode);
        QCOMPARE(modes, (std::vector<int>{0, 1, 2, 3}));
        QCOMPARE(h.Tests({}, 2).front().nMissing, 2);
        QCOMPARE(h.Chars().at('A').nSent, 2);
        QCOMPARE(int(h.Answers({}, kLatinChars).size()), 1);
    }

    void killedWhileWritingLosesNothingCommitted()
    {
        // A child stores tests as fast as it can and reports each one
        // committed; it is killed at some moment of that.
        const QString path = m_dir.filePath("killed.sqlite");
        for (int round = 0; round < 3; ++round) {
            int fds[2];
            QCOMPARE(pipe(fds), 0);
            const pid_t pid = fork();
            if (pid == 0) {
                close(fds[0]);
                CHistory h;
                if (h.Open(path) == CHistory::Opened::Unavailable)
                    _exit(1);
                for (;;) {
                    HistoryTest t = MakeTest(0, "child", 4, QDateTime::currentDateTimeUtc());
                    if (!h.Add(t, {{'A', {1, 1, {}}}}))
                        _exit(1);
                    const qint64 id = t.nId;
                    if (write(fds[1], &id, sizeof id) != sizeof id)
                        _exit(1);
                }
            }
            close(fds[1]);
            // Killed after a count of commits, not after a time: a loaded
            // machine may take any time to commit the first one.
            std::vector<qint64> committed;
            qint64 id = 0;
            const size_t killAfter = 1 + 7 * size_t(round);
            while (committed.size() < killAfter && read(fds[0], &id, sizeof id) == sizeof id)
                committed.push_back(id);
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            while (read(fds[0], &id, sizeof id) == sizeof id)
                committed.push_back(id);
            close(fds[0]);
            QCOMPARE_GE(committed.size(), killAfter);
            CHistory h;
            QCOMPARE(h.Open(path), CHistory::Opened::Fresh); // readable: not put aside
            std::set<qint64> stored;
            for (const HistoryTest& t : h.Tests())
                stored.insert(t.nId);
            for (qint64 c : committed)
                QVERIFY2(stored.count(c), qPrintable(QString::number(c)));
        }
    }
};

DRAVIK_REGISTER_TEST(TestHistory)
#include "training_history.moc"
