// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The learner's history: every evaluated test, kept across runs in one
// SQLite file (Qt SQL, QSQLITE). Each test is committed in its own
// transaction (WAL, synchronous FULL), so a killed program loses nothing
// committed. A file that is not a readable history is renamed aside and a
// fresh one started; a disk that refuses a write is reported, and the
// program goes on without it.
#include "scoring/CharStats.h"

#include <QDateTime>
#include <QString>

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

class QSqlDatabase;
class QSqlError;

// One evaluated test as the history keeps it.
struct HistoryTest {
    qint64 nId = 0;
    QDateTime when;         // UTC
    QString strRun;         // the program run it was taken in
    int nMode = 0;          // kept by its name; -1: a mode this build does not know
    int nFreq = 0;
    int nWpm = 0;
    int nVolume = 0;
    QString strOptions;     // every option in force, "key=value" lines
    int nKochLesson = 0;
    std::string strSent;    // code page 932
    std::string strTyped;
    int nPositionPercent = 0;
    bool bAligned = false;  // the counts below are known
    int nRight = 0, nWrong = 0, nMissing = 0, nExtra = 0;
    int nCharsHeard = 0;    // characters of the text heard, start signals not counted
    double dSeconds = 0;    // how long they took to send
    bool bStopped = false;  // ended by Stop before its text did

    double Accuracy() const { return nRight + nWrong + nMissing > 0 ? 100.0 * nRight / (nRight + nWrong + nMissing) : 0; }
    Alignment Counts() const;
    // The aligned counts known: bAligned and the four counts from a.
    void SetCounts(const Alignment& a);
    // An exam-style score means something only for a whole test.
    bool HasExamScore() const { return bAligned && !bStopped; }
    SentSpeed Speed() const { return SpeedOf(nCharsHeard, dSeconds); }
};

// One character answered on its own (the one-character drill).
struct HistoryAnswer {
    QDateTime when; // UTC
    QString strRun;
    int nMode = 0;
    unsigned char ch = 0;  // code page 932
    std::string strTyped;
    int nMs = 0;           // response time less the key latency; below 0: early
    int nLatencyMs = 0;    // the key latency taken off
    bool bRight = false;
    int nWpm = 0;
};

class CHistory {
public:
    enum class Opened {
        Fresh,          // opened (or created) and readable
        RenamedAside,   // the old file was unreadable: renamed, a new one begun
        Unavailable,    // no history this run (see Error())
    };

    CHistory();
    ~CHistory();
    CHistory(const CHistory&) = delete;
    CHistory& operator=(const CHistory&) = delete;

    // history.sqlite under the user's data folder.
    static QString DefaultPath();
    // The schema this build writes; older files are brought up to it.
    static constexpr int kSchemaVersion = 3;
    // How long a lock of another program's is waited for: at open, when a
    // test is stored (the window waits on it), and for the tests kept
    // waiting when the program ends.
    static constexpr int kOpenBusyMs = 250;
    static constexpr int kBusyMs = 50;
    static constexpr int kAtExitBusyMs = 5000;

    Opened Open(const QString& path);
    // A second reader of a history another connection keeps: opened as it
    // is, never created, changed or put aside; false when it cannot be read.
    bool OpenForReading(const QString& path);
    bool IsOpen() const { return m_bOpen; }
    const QString& Path() const { return m_strPath; }
    // Where a file that was no history went (it is kept there whole).
    const QString& RenamedTo() const { return m_strRenamedTo; }
    // The last failure, in the system's words.
    const QString& Error() const { return m_strError; }

    // Stores a test with its per-character results; fills nId. While
    // another program holds the file, the test is kept here (nId below 0)
    // and stored, in order, with the next one or by StorePending(): true
    // then too. False when it could not be committed for another reason.
    bool Add(HistoryTest& test, const std::map<unsigned char, CharStats>& chars);
    // The aligned counts and characters of a test stored (or kept) before
    // they were known (a long copy aligned in the background).
    bool SetAligned(qint64 nId, const Alignment& counts, const std::map<unsigned char, CharStats>& chars);
    // Tests kept while the file was held, and another attempt at them,
    // waiting up to nWaitMs for the lock: true when none is left.
    size_t PendingCount() const { return m_pending.size() + m_pendingAnswers.size(); }
    bool StorePending(int nWaitMs = kBusyMs);

    // Stores an answer in its own transaction; kept, as tests are, while
    // another program holds the file. False when it could not be stored
    // for another reason (it is then dropped).
    bool AddAnswer(const HistoryAnswer& answer);
    // Answers from since on (all when invalid), of one mode (-1: all),
    // oldest first.
    std::vector<HistoryAnswer> Answers(const QDateTime& since = {}, int nMode = -1) const;

    // Tests stored before their counts and never given them (the program
    // ended while a long copy was aligned), with their texts.
    std::vector<HistoryTest> Unaligned() const;
    struct Scored {
        qint64 nId;
        Alignment counts;
        std::map<unsigned char, CharStats> chars;
    };
    // Aligns such tests; free of the database, so it may run on any thread.
    static std::vector<Scored> Score(const std::vector<HistoryTest>& tests);
    bool SetAligned(const std::vector<Scored>& scored);

    // Tests from since on (all when invalid), of one mode (-1: all), of
    // one run (empty: all), oldest first; the texts only with bTexts.
    std::vector<HistoryTest> Tests(const QDateTime& since = {}, int nMode = -1, const QString& run = {},
                                   bool bTexts = false) const;
    // The per-character results over the same choice.
    std::map<unsigned char, CharStats> Chars(const QDateTime& since = {}, int nMode = -1, const QString& run = {}) const;
    // Fills a test's sent and typed texts from the file (by its nId).
    bool ReadTexts(HistoryTest& test) const;
    // The newest tests, newest first.
    std::vector<HistoryTest> Latest(int nCount) const;

    bool Clear();

private:
    bool Exec(const QString& sql);
    bool Store(HistoryTest& test, const std::map<unsigned char, CharStats>& chars);
    bool StoreAligned(qint64 nId, const Alignment& counts, const std::map<unsigned char, CharStats>& chars);
    // work in one transaction, committed whole or not at all.
    bool InTransaction(const std::function<bool(QSqlDatabase& db, QSqlError& error)>& work);
    QString WhereClause(const QDateTime& since, int nMode, const QString& run) const;
    // The file's schema version, or -1 (see Error()) when it is not ours;
    // nTables: the tables it holds.
    int SchemaVersion(int nTables);
    bool Migrate(int version);
    void Close();

    QString m_strConnection;
    QString m_strPath;
    QString m_strRenamedTo;
    QString m_strError;
    bool m_bOpen = false;
    // The last failure says the file is no history of ours (not a
    // database, damaged, or another program's tables): only such a file
    // is put aside.
    bool m_bNotHistory = false;
    bool m_bLocked = false; // the last failure was another program's lock
    struct Pending {
        HistoryTest test;
        std::map<unsigned char, CharStats> chars;
    };
    std::deque<Pending> m_pending;
    std::deque<HistoryAnswer> m_pendingAnswers; // stored after the tests before them
    bool StoreAnswers();
    qint64 m_nLastPendingId = 0;
    std::map<qint64, qint64> m_storedPending; // kept id -> stored id
    void NoteError(const QSqlError& error);
};
