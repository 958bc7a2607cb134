#include "platform/InstanceLock.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

QString CInstanceLock::PathFor(const QString& name)
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    QDir().mkpath(dir);
    return dir + QLatin1Char('/') + name;
}

CInstanceLock::CInstanceLock(const QString& name) : m_pLock(std::make_unique<QLockFile>(PathFor(name)))
{
    // No age limit: only a holder that no longer runs makes a lock stale.
    m_pLock->setStaleLockTime(0);
    m_bHeld = m_pLock->tryLock(0);
}

CInstanceLock::~CInstanceLock() = default;
