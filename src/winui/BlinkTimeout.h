// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A text cursor that blinks only for a while after the last input, as
// desktops do: an idle program then has no reason to wake every half
// second. Key presses, clicks and focus changes start the blinking again.
#include <QObject>
#include <QTimer>

class CBlinkTimeout : public QObject {
    Q_OBJECT
public:
    // Watches the whole application; ms of no input before the cursor rests.
    explicit CBlinkTimeout(int ms = 10000, QObject* parent = nullptr);
    ~CBlinkTimeout() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Rest();
    QTimer m_timer;
    int m_nFlashTime; // the desktop's blink period
};
