#pragma once
#include <QString>
#include <memory>

class QLockFile;

// A per-user named lock: the first holder wins, a dead holder's lock
// does not count. Held until the object goes.
class CInstanceLock {
public:
    explicit CInstanceLock(const QString& name);
    ~CInstanceLock();
    bool IsHeld() const { return m_bHeld; }
    static QString PathFor(const QString& name);

private:
    std::unique_ptr<QLockFile> m_pLock;
    bool m_bHeld = false;
};
