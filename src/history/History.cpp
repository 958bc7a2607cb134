// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/History.h"
#include "engine/PracticeModes.h"
#include "scoring/Scoring.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QUuid>

#include <functional>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Each step brings the schema from its index to the next version.
static const char* const kMigrations[] = {
    // 0 -> 1
    "CREATE TABLE tests("
    " id INTEGER PRIMARY KEY,"
    " at TEXT NOT NULL,"                 // UTC, ISO 8601
    " run TEXT NOT NULL,"
    " mode INTEGER NOT NULL, tone_hz INTEGER NOT NULL, wpm INTEGER NOT NULL, volume INTEGER NOT NULL,"
    " options TEXT NOT NULL, koch_lesson INTEGER NOT NULL,"
    " sent BLOB NOT NULL, typed BLOB NOT NULL,"   // code page 932
    " position_percent INTEGER NOT NULL,"
    " right_count INTEGER, wrong_count INTEGER, missing_count INTEGER, extra_count INTEGER," // NULL until aligned
    " chars_heard INTEGER NOT NULL, seconds REAL NOT NULL,"
    " stopped INTEGER NOT NULL);"
    "CREATE INDEX tests_at ON tests(at);"
    "CREATE INDEX tests_run ON tests(run);"
    "CREATE TABLE chars(test_id INTEGER NOT NULL REFERENCES tests(id) ON DELETE CASCADE,"
    " ch INTEGER NOT NULL, sent INTEGER NOT NULL, right_count INTEGER NOT NULL);"
    "CREATE INDEX chars_test ON chars(test_id);"
    "CREATE TABLE confusions(test_id INTEGER NOT NULL REFERENCES tests(id) ON DELETE CASCADE,"
    " ch INTEGER NOT NULL, typed BLOB NOT NULL, count INTEGER NOT NULL);"
    "CREATE INDEX confusions_test ON confusions(test_id);",
    // 1 -> 2: modes kept by name; the numbers are those of version 1, where
    // the exams' parts followed the six modes of the form.
    "ALTER TABLE tests ADD COLUMN mode_key TEXT NOT NULL DEFAULT '';"
    "UPDATE tests SET mode_key = CASE mode"
    " WHEN 0 THEN 'latin-random1' WHEN 1 THEN 'latin-random5' WHEN 2 THEN 'latin-phrase'"
    " WHEN 3 THEN 'wabun-random1' WHEN 4 THEN 'wabun-random5' WHEN 5 THEN 'wabun-phrase'"
    " WHEN 6 THEN 'exam-wabun' WHEN 7 THEN 'exam-code' WHEN 8 THEN 'exam-plain' ELSE '' END;"
    "CREATE INDEX tests_mode ON tests(mode_key);",
    // 2 -> 3: each character answered on its own, with its response time.
    "CREATE TABLE answers("
    " id INTEGER PRIMARY KEY,"
    " at TEXT NOT NULL, run TEXT NOT NULL, mode_key TEXT NOT NULL,"
    " ch INTEGER NOT NULL, typed BLOB NOT NULL,"
    " ms INTEGER NOT NULL,"          // from the character's end as heard, less the key latency
    " latency_ms INTEGER NOT NULL,"  // the learner's key latency taken off
    " correct INTEGER NOT NULL, wpm INTEGER NOT NULL);"
    "CREATE INDEX answers_at ON answers(at);",
};
static_assert(std::size(kMigrations) == CHistory::kSchemaVersion);

// The name a mode is kept under; the mode's index stays in the old column
// for readers of version 1.
static QString ModeKey(int nMode)
{
    const PracticeModeDef* pMode = FindPracticeMode(nMode);
    return QLatin1String(pMode ? pMode->pszKey : "");
}

static QString IsoUtc(const QDateTime& t) { return t.toUTC().toString(Qt::ISODate); }

void HistoryTest::SetCounts(const Alignment& a)
{
    bAligned = true;
    nRight = a.nRight;
    nWrong = a.nWrong;
    nMissing = a.nMissing;
    nExtra = a.nExtra;
}

Alignment HistoryTest::Counts() const
{
    Alignment a;
    a.nRight = nRight;
    a.nWrong = nWrong;
    a.nMissing = nMissing;
    a.nExtra = nExtra;
    a.nSent = nRight + nWrong + nMissing;
    return a;
}

CHistory::CHistory() : m_strConnection(QStringLiteral("history-") + QUuid::createUuid().toString(QUuid::WithoutBraces)) {}

CHistory::~CHistory() { Close(); }

QString CHistory::DefaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/history.sqlite");
}

void CHistory::Close()
{
    if (QSqlDatabase::contains(m_strConnection)) {
        QSqlDatabase::database(m_strConnection, false).close();
        QSqlDatabase::removeDatabase(m_strConnection);
    }
    m_bOpen = false;
}

void CHistory::NoteError(const QSqlError& error)
{
    m_strError = error.text();
    // SQLite's primary codes for a file that is no database, or a damaged
    // one; a full disk, a lock or a refused write are none of these.
    const int code = error.nativeErrorCode().toInt() & 0xFF;
    m_bNotHistory = m_bNotHistory || code == 26 /* NOTADB */ || code == 11 /* CORRUPT */;
}

bool CHistory::Exec(const QString& sql)
{
    QSqlQuery q(QSqlDatabase::database(m_strConnection, false));
    if (q.exec(sql))
        return true;
    NoteError(q.lastError());
    return false;
}

int CHistory::SchemaVersion(int nTables)
{
    QSqlQuery q(QSqlDatabase::database(m_strConnection, false));
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next()) {
        NoteError(q.lastError());
        return -1;
    }
    const int version = q.value(0).toInt();
    q.finish();
    if (version > kSchemaVersion) {
        m_strError = QStringLiteral("この履歴ファイルは新しい版の Dravik で作られています (版 %1)").arg(version);
        return -1;
    }
    // A new history is an empty file; tables without our version are
    // another program's.
    if (version == 0 && nTables > 0) {
        m_strError = QStringLiteral("Dravik の成績の履歴ではないデータベースです");
        m_bNotHistory = true;
        return -1;
    }
    return version;
}

bool CHistory::Migrate(int version)
{
    QSqlDatabase db = QSqlDatabase::database(m_strConnection, false);
    for (int v = version; v < kSchemaVersion; ++v) {
        if (!db.transaction()) {
            m_strError = db.lastError().text();
            return false;
        }
        for (const QString& statement : QString::fromUtf8(kMigrations[v]).split(QLatin1Char(';'), Qt::SkipEmptyParts))
            if (!Exec(statement)) {
                db.rollback();
                return false;
            }
        if (!Exec(QStringLiteral("PRAGMA user_version = %1").arg(v + 1)) || !db.commit()) {
            db.rollback();
            return false;
        }
    }
    return true;
}

// The history's file made or taken for the user alone: a regular file
// only (a FIFO would hang the open, a link lead elsewhere), mode 0600,
// and the same for SQLite's files beside it. False with the reason.
static bool PrepareHistoryFile(const QString& path, QString& error)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = fd < 0 && errno != ELOOP ? QString::fromLocal8Bit(std::strerror(errno))
                                         : QStringLiteral("通常のファイルではありません (リンク、FIFO など)");
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    ::fchmod(fd, 0600);
    ::close(fd);
    for (const char* suffix : {"-wal", "-shm"}) {
        const QByteArray beside = name + suffix;
        if (::lstat(beside.constData(), &st) == 0 && S_ISREG(st.st_mode))
            ::chmod(beside.constData(), 0600);
    }
    return true;
}

CHistory::Opened CHistory::Open(const QString& path)
{
    Close();
    m_strPath = path;
    m_strRenamedTo.clear();
    m_strError.clear();
    m_bNotHistory = false;
    // The data folder and the history are readable by the user alone.
    const QString folder = QFileInfo(path).absolutePath();
    QDir().mkpath(folder);
    ::chmod(QFile::encodeName(folder).constData(), 0700);
    if (!PrepareHistoryFile(path, m_strError))
        return Opened::Unavailable;
    for (int attempt = 0; attempt < 2; ++attempt) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_strConnection);
        db.setDatabaseName(path);
        // A history another program holds is not waited for at start: it
        // is left as it is, and said so.
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kOpenBusyMs));
        bool ok = db.open();
        if (ok) {
            // Reading the schema finds a file that is no database at all
            // at once, whatever its size; damage deeper in shows when a
            // test is stored, and is told then.
            QSqlQuery q(db);
            ok = q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) && q.next();
            const int tables = ok ? q.value(0).toInt() : 0;
            if (!ok)
                NoteError(q.lastError());
            q.finish(); // an open statement would keep a transaction open
            // Nothing is written to a file before it is known to be ours.
            int version = -1;
            ok = ok && (version = SchemaVersion(tables)) >= 0 && Exec(QStringLiteral("PRAGMA journal_mode = WAL"))
                && Exec(QStringLiteral("PRAGMA synchronous = FULL")) && Exec(QStringLiteral("PRAGMA foreign_keys = ON"))
                && Migrate(version);
        } else {
            NoteError(db.lastError());
        }
        ok = ok && Exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(kBusyMs));
        if (ok) {
            m_bOpen = true;
            return m_strRenamedTo.isEmpty() ? Opened::Fresh : Opened::RenamedAside;
        }
        db = QSqlDatabase();
        Close();
        // A history that cannot be used now (a full disk, a lock, a newer
        // program's) is left as it is; only a file that is no history is
        // put aside.
        if (attempt > 0 || !m_bNotHistory || !QFileInfo::exists(path))
            break;
        // Kept aside whole with the date, and a new history begun.
        const QString aside = path + QStringLiteral(".broken-")
            + QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        if (!QFile::rename(path, aside))
            break;
        for (const char* suffix : {"-wal", "-shm"})
            QFile::rename(path + QLatin1String(suffix), aside + QLatin1String(suffix));
        m_strRenamedTo = aside;
        m_bNotHistory = false;
        if (!PrepareHistoryFile(path, m_strError))
            break;
    }
    return Opened::Unavailable;
}

bool CHistory::OpenForReading(const QString& path)
{
    Close();
    m_strPath = path;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_strConnection);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    QSqlQuery q(db);
    m_bOpen = db.open() && q.exec(QStringLiteral("PRAGMA user_version")) && q.next()
        && q.value(0).toInt() == kSchemaVersion;
    if (!m_bOpen) {
        m_strError = db.lastError().isValid() ? db.lastError().text() : q.lastError().text();
        q = QSqlQuery();
        db = QSqlDatabase();
        Close();
    }
    return m_bOpen;
}

static bool AddChars(QSqlDatabase& db, qint64 nId, const std::map<unsigned char, CharStats>& chars, QSqlError& error)
{
    QSqlQuery c(db), k(db);
    c.prepare(QStringLiteral("INSERT INTO chars(test_id, ch, sent, right_count) VALUES(?, ?, ?, ?)"));
    k.prepare(QStringLiteral("INSERT INTO confusions(test_id, ch, typed, count) VALUES(?, ?, ?, ?)"));
    for (const auto& [ch, st] : chars) {
        c.addBindValue(nId);
        c.addBindValue(int(ch));
        c.addBindValue(st.nSent);
        c.addBindValue(st.nRight);
        if (!c.exec()) {
            error = c.lastError();
            return false;
        }
        for (const auto& [typed, count] : st.confusions) {
            k.addBindValue(nId);
            k.addBindValue(int(ch));
            k.addBindValue(QByteArray::fromStdString(typed));
            k.addBindValue(count);
            if (!k.exec()) {
                error = k.lastError();
                return false;
            }
        }
    }
    return true;
}

bool CHistory::InTransaction(const std::function<bool(QSqlDatabase& db, QSqlError& error)>& work)
{
    if (!m_bOpen)
        return false;
    QSqlDatabase db = QSqlDatabase::database(m_strConnection, false);
    QSqlError error;
    if (db.transaction() && work(db, error) && db.commit())
        return true;
    if (!error.isValid())
        error = db.lastError();
    m_strError = error.text();
    // SQLite's BUSY and LOCKED: another program holds the file for now.
    const int code = error.nativeErrorCode().toInt() & 0xFF;
    m_bLocked = code == 5 || code == 6;
    db.rollback();
    return false;
}

bool CHistory::Add(HistoryTest& t, const std::map<unsigned char, CharStats>& chars)
{
    if (StorePending() && Store(t, chars))
        return true;
    if (!m_bLocked)
        return false;
    // Held by another program: kept, never lost, and stored after those
    // before it.
    t.nId = -++m_nLastPendingId;
    m_pending.push_back({t, chars});
    return true;
}

bool CHistory::AddAnswer(const HistoryAnswer& a)
{
    m_pendingAnswers.push_back(a);
    if (StorePending() || m_bLocked)
        return true;
    m_pendingAnswers.pop_back();
    return false;
}

bool CHistory::StoreAnswers()
{
    const bool stored = m_pendingAnswers.empty() || InTransaction([&](QSqlDatabase& db, QSqlError& error) {
        QSqlQuery q(db);
        q.prepare(QStringLiteral("INSERT INTO answers(at, run, mode_key, ch, typed, ms, latency_ms, correct, wpm)"
                                 " VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        for (const HistoryAnswer& a : m_pendingAnswers) {
            for (const QVariant& v : {QVariant(IsoUtc(a.when)), QVariant(a.strRun.isNull() ? QStringLiteral("") : a.strRun), QVariant(ModeKey(a.nMode)),
                                      QVariant(int(a.ch)), QVariant(QByteArray::fromStdString(a.strTyped)),
                                      QVariant(a.nMs), QVariant(a.nLatencyMs), QVariant(a.bRight ? 1 : 0),
                                      QVariant(a.nWpm)})
                q.addBindValue(v);
            if (!q.exec()) {
                error = q.lastError();
                return false;
            }
        }
        return true;
    });
    if (stored)
        m_pendingAnswers.clear();
    return stored;
}

std::vector<HistoryAnswer> CHistory::Answers(const QDateTime& since, int nMode) const
{
    std::vector<HistoryAnswer> answers;
    if (!m_bOpen)
        return answers;
    QSqlQuery q(QSqlDatabase::database(m_strConnection, false));
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT at, run, mode_key, ch, typed, ms, latency_ms, correct, wpm FROM answers%1"
                             " ORDER BY at, id")
                  .arg(WhereClause(since, nMode, {})));
    if (q.exec())
        while (q.next()) {
            HistoryAnswer a;
            a.when = QDateTime::fromString(q.value(0).toString(), Qt::ISODate);
            a.strRun = q.value(1).toString();
            const PracticeModeDef* pMode = FindPracticeMode(q.value(2).toString().toStdString());
            a.nMode = pMode ? pMode->eMode : -1;
            a.ch = static_cast<unsigned char>(q.value(3).toInt());
            a.strTyped = q.value(4).toByteArray().toStdString();
            a.nMs = q.value(5).toInt();
            a.nLatencyMs = q.value(6).toInt();
            a.bRight = q.value(7).toInt() != 0;
            a.nWpm = q.value(8).toInt();
            answers.push_back(a);
        }
    // Those kept while the file was held are answers too.
    answers.insert(answers.end(), m_pendingAnswers.begin(), m_pendingAnswers.end());
    return answers;
}

bool CHistory::StorePending(int nWaitMs)
{
    if (m_pending.empty() && m_pendingAnswers.empty())
        return true;
    if (nWaitMs != kBusyMs)
        Exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(nWaitMs));
    while (!m_pending.empty()) {
        Pending& p = m_pending.front();
        const qint64 kept = p.test.nId;
        if (!Store(p.test, p.chars))
            break;
        m_storedPending[kept] = p.test.nId;
        m_pending.pop_front();
    }
    if (m_pending.empty())
        StoreAnswers();
    if (nWaitMs != kBusyMs)
        Exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(kBusyMs));
    return m_pending.empty() && m_pendingAnswers.empty();
}

bool CHistory::SetAligned(qint64 nId, const Alignment& a, const std::map<unsigned char, CharStats>& chars)
{
    if (nId < 0) {
        const auto stored = m_storedPending.find(nId);
        if (stored != m_storedPending.end())
            return StorePending() && StoreAligned(stored->second, a, chars);
        for (Pending& p : m_pending)
            if (p.test.nId == nId) {
                p.test.SetCounts(a);
                p.chars = chars;
                return true;
            }
        return false;
    }
    return StorePending() && StoreAligned(nId, a, chars);
}

bool CHistory::Store(HistoryTest& t, const std::map<unsigned char, CharStats>& chars)
{
    return InTransaction([&](QSqlDatabase& db, QSqlError& error) {
        QSqlQuery q(db);
        q.prepare(QStringLiteral(
            "INSERT INTO tests(at, run, mode, mode_key, tone_hz, wpm, volume, options, koch_lesson, sent, typed, position_percent,"
            " right_count, wrong_count, missing_count, extra_count, chars_heard, seconds, stopped)"
            " VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        const QVariant none;
        for (const QVariant& v :
             {QVariant(IsoUtc(t.when)), QVariant(t.strRun), QVariant(t.nMode), QVariant(ModeKey(t.nMode)), QVariant(t.nFreq), QVariant(t.nWpm),
              QVariant(t.nVolume), QVariant(t.strOptions), QVariant(t.nKochLesson),
              QVariant(QByteArray::fromStdString(t.strSent)), QVariant(QByteArray::fromStdString(t.strTyped)),
              QVariant(t.nPositionPercent), t.bAligned ? QVariant(t.nRight) : none, t.bAligned ? QVariant(t.nWrong) : none,
              t.bAligned ? QVariant(t.nMissing) : none, t.bAligned ? QVariant(t.nExtra) : none, QVariant(t.nCharsHeard),
              QVariant(t.dSeconds), QVariant(t.bStopped ? 1 : 0)})
            q.addBindValue(v);
        if (!q.exec()) {
            error = q.lastError();
            return false;
        }
        t.nId = q.lastInsertId().toLongLong();
        return !t.bAligned || AddChars(db, t.nId, chars, error);
    });
}

bool CHistory::StoreAligned(qint64 nId, const Alignment& a, const std::map<unsigned char, CharStats>& chars)
{
    return InTransaction([&](QSqlDatabase& db, QSqlError& error) {
        QSqlQuery q(db);
        q.prepare(QStringLiteral(
            "UPDATE tests SET right_count = ?, wrong_count = ?, missing_count = ?, extra_count = ? WHERE id = ?"));
        for (const QVariant& v : {QVariant(a.nRight), QVariant(a.nWrong), QVariant(a.nMissing), QVariant(a.nExtra), QVariant(nId)})
            q.addBindValue(v);
        if (!q.exec()) {
            error = q.lastError();
            return false;
        }
        return AddChars(db, nId, chars, error);
    });
}

QString CHistory::WhereClause(const QDateTime& since, int nMode, const QString& run) const
{
    QStringList where;
    if (since.isValid())
        where << QStringLiteral("at >= '%1'").arg(IsoUtc(since));
    if (nMode >= 0)
        where << QStringLiteral("mode_key = '%1'").arg(ModeKey(nMode));
    if (!run.isEmpty())
        where << QStringLiteral("run = :run");
    return where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
}

static HistoryTest ReadTest(const QSqlQuery& q, bool bTexts)
{
    HistoryTest t;
    t.nId = q.value(0).toLongLong();
    t.when = QDateTime::fromString(q.value(1).toString(), Qt::ISODate);
    t.strRun = q.value(2).toString();
    const PracticeModeDef* pMode = FindPracticeMode(q.value(3).toString().toStdString());
    t.nMode = pMode ? pMode->eMode : -1;
    t.nFreq = q.value(4).toInt();
    t.nWpm = q.value(5).toInt();
    t.nVolume = q.value(6).toInt();
    t.strOptions = q.value(7).toString();
    t.nKochLesson = q.value(8).toInt();
    t.nPositionPercent = q.value(9).toInt();
    t.bAligned = !q.value(10).isNull();
    t.nRight = q.value(10).toInt();
    t.nWrong = q.value(11).toInt();
    t.nMissing = q.value(12).toInt();
    t.nExtra = q.value(13).toInt();
    t.nCharsHeard = q.value(14).toInt();
    t.dSeconds = q.value(15).toDouble();
    t.bStopped = q.value(16).toInt() != 0;
    if (bTexts) {
        t.strSent = q.value(17).toByteArray().toStdString();
        t.strTyped = q.value(18).toByteArray().toStdString();
    }
    return t;
}

static const char kColumns[] =
    "id, at, run, mode_key, tone_hz, wpm, volume, options, koch_lesson, position_percent, right_count, wrong_count,"
    " missing_count, extra_count, chars_heard, seconds, stopped";

std::vector<HistoryTest> CHistory::Tests(const QDateTime& since, int nMode, const QString& run, bool bTexts) const
{
    std::vector<HistoryTest> tests;
    if (!m_bOpen)
        return tests;
    QSqlQuery q(QSqlDatabase::database(m_strConnection, false));
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT %1%2 FROM tests%3 ORDER BY at, id")
                  .arg(QLatin1String(kColumns), bTexts ? QStringLiteral(", sent, typed") : QString(),
                       WhereClause(since, nMode, run)));
    if (!run.isEmpty())
        q.bindValue(QStringLiteral(":run"), run);
    if (q.exec())
        while (q.next())
            tests.push_back(ReadTest(q, bTexts));
    return tests;
}

bool CHistory::ReadTexts(HistoryTest& t) const
{
    if (!m_bOpen)
        return false;
    QSqlQuery q(QSqlDatabase::database(m_strConnection, false));
    q.prepare(QStringLiteral("SELECT sent, typed FROM tests WHERE id = ?"));
    q.addBindValue(t.nId);
    if (!q.exec() || !q.next())
        return false;
    t.strSent = q.value(0).toByteArray().toStdString();
    t.strTyped = q.value(1).toByteArray().toStdString();
    return true;
}

std::vector<HistoryTest> CHistory::Unaligned() const
{
    std::vector<HistoryTest> tests;
    if (!m_bOpen)
        return tests;
    QSqlQuery q(QSqlDatabase::database(m_strConnection, false));
    q.setForwardOnly(true);
    if (q.exec(QStringLiteral("SELECT %1, sent, typed FROM tests WHERE right_count IS NULL ORDER BY id")
                   .arg(QLatin1String(kColumns))))
        while (q.next())
            tests.push_back(ReadTest(q, true));
    return tests;
}

std::vector<CHistory::Scored> CHistory::Score(const std::vector<HistoryTest>& tests)
{
    std::vector<Scored> scored;
    for (const HistoryTest& t : tests) {
        Alignment a = AlignCopy(t.strSent, t.strTyped);
        auto chars = CharStatsOf(a, t.strSent, t.strTyped);
        scored.push_back({t.nId, std::move(a), std::move(chars)});
    }
    return scored;
}

bool CHistory::SetAligned(const std::vector<Scored>& scored)
{
    bool ok = true;
    for (const Scored& s : scored)
        ok = SetAligned(s.nId, s.counts, s.chars) && ok;
    return ok;
}

std::vector<HistoryTest> CHistory::Latest(int nCount) const
{
    std::vector<HistoryTest> tests;
    if (!m_bOpen)
        return tests;
    QSqlQuery q(QSqlDatabase::database(m_strConnection, false));
    q.setForwardOnly(true);
    if (q.exec(QStringLiteral("SELECT %1 FROM tests ORDER BY id DESC LIMIT %2").arg(QLatin1String(kColumns)).arg(nCount)))
        while (q.next())
            tests.push_back(ReadTest(q, false));
    return tests;
}

std::map<unsigned char, CharStats> CHistory::Chars(const QDateTime& since, int nMode, const QString& run) const
{
    std::map<unsigned char, CharStats> chars;
    if (!m_bOpen)
        return chars;
    const QString tests = QStringLiteral("SELECT id FROM tests") + WhereClause(since, nMode, run);
    QSqlQuery q(QSqlDatabase::database(m_strConnection, false));
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT ch, SUM(sent), SUM(right_count) FROM chars WHERE test_id IN (%1) GROUP BY ch").arg(tests));
    if (!run.isEmpty())
        q.bindValue(QStringLiteral(":run"), run);
    if (q.exec())
        while (q.next()) {
            CharStats& st = chars[static_cast<unsigned char>(q.value(0).toInt())];
            st.nSent = q.value(1).toInt();
            st.nRight = q.value(2).toInt();
        }
    q.prepare(QStringLiteral("SELECT ch, typed, SUM(count) FROM confusions WHERE test_id IN (%1) GROUP BY ch, typed").arg(tests));
    if (!run.isEmpty())
        q.bindValue(QStringLiteral(":run"), run);
    if (q.exec())
        while (q.next())
            chars[static_cast<unsigned char>(q.value(0).toInt())].confusions[q.value(1).toByteArray().toStdString()] =
                q.value(2).toInt();
    return chars;
}

bool CHistory::Clear()
{
    const bool cleared = InTransaction([&](QSqlDatabase& db, QSqlError& error) {
        QSqlQuery q(db);
        for (const char* table : {"confusions", "chars", "tests"})
            if (!q.exec(QStringLiteral("DELETE FROM %1").arg(QLatin1String(table)))) {
                error = q.lastError();
                return false;
            }
        return true;
    });
    return cleared && Exec(QStringLiteral("VACUUM"));
}
