// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <memory>

class QLockFile;

// A per-user named lock: the first holder wins, a dead holder's lock
// does not count. Held until the object goes. When the lock cannot be
// made for another reason (read-only or full directory, something else
// at its path), it is neither held here nor elsewhere.
class CInstanceLock {
public:
    explicit CInstanceLock(const QString& name);
    ~CInstanceLock();
    bool IsHeld() const { return m_bHeld; }
    // Another running instance holds it.
    bool IsHeldElsewhere() const { return m_bHeldElsewhere; }
    static QString PathFor(const QString& name);

private:
    std::unique_ptr<QLockFile> m_pLock;
    bool m_bHeld = false;
    bool m_bHeldElsewhere = false;
};
