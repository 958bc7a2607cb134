// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A text played once through the test's stream (band conditions and all),
// its end and failures handed to callbacks: a part of an exam, a call sign.
#include "engine/MorseEngine.h"

#include <QString>

#include <functional>
#include <string>

class CTextTest : public CMorseEngine {
public:
    // The device reports through pContext's thread.
    explicit CTextTest(QObject* pContext) : m_pContext(pContext) {}

    // Plays text with the settings and keying options set before; false
    // when no device could be opened.
    bool Play(const std::string& text);
    // The sound stops at once; what was heard whole stays (HeardSent).
    void Stop();
    // Stopped before its text ended.
    bool WasStopped() const { return m_bStopped; }

    // What the learner is told when no device opens.
    static QString NoDeviceText();

    std::function<void()> onEnded;  // the stream has closed (end or Stop)
    std::function<void()> onFailed; // the device failed or did not open

protected:
    void OnStreamClosed() override;
    void OnStreamFailed(bool bWasPlaying) override;
    void OnStreamNotOpened() override;

private:
    QObject* m_pContext;
    bool m_bStopped = false;
};
