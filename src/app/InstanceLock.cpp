// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/InstanceLock.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>

#include <cerrno>
#include <limits>
#include <signal.h>

QString CInstanceLock::PathFor(const QString& name)
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    QDir().mkpath(dir);
    return dir + QLatin1Char('/') + name;
}

static bool IsRunning(qint64 pid)
{
    // Another user's process answers EPERM: it runs.
    return pid > 0 && pid <= std::numeric_limits<pid_t>::max()
        && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

CInstanceLock::CInstanceLock(const QString& name) : m_pLock(std::make_unique<QLockFile>(PathFor(name)))
{
    // No age limit: only a holder that no longer runs makes a lock stale.
    m_pLock->setStaleLockTime(0);
    m_bHeld = m_pLock->tryLock(0);
    if (m_bHeld || m_pLock->error() != QLockFile::LockFailedError)
        return; // ours, or the lock cannot be made at all (read-only, full)
    // Something is at the lock's path. Only a readable lock of a running
    // process counts as another instance; a holder may still be writing
    // its lock, so look twice.
    for (int attempt = 0; attempt < 2 && !m_bHeldElsewhere; ++attempt) {
        qint64 pid = 0;
        QString host, app;
        m_bHeldElsewhere = m_pLock->getLockInfo(&pid, &host, &app) && IsRunning(pid);
        if (!m_bHeldElsewhere && attempt == 0)
            QThread::msleep(50);
    }
    // Empty, garbage or a dead holder's: stale. Take it, so that the next
    // start is guarded again.
    if (!m_bHeldElsewhere && m_pLock->removeStaleLockFile())
        m_bHeld = m_pLock->tryLock(0);
}

CInstanceLock::~CInstanceLock() = default;
