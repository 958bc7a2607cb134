// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QWidget>

class QLineEdit;
class QToolButton;

// Scroll codes sent with every step, as a vertical scroll bar would.
constexpr int SB_THUMBPOSITION = 4;
constexpr int SB_ENDSCROLL = 8;

// An up-down control bound to a buddy box: the arrows (and the arrow
// keys in the buddy) step the integer in the box within the range and
// stop at its bounds. The box itself still takes any text.
class CSpinButtonCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CSpinButtonCtrl(QWidget* parent = nullptr);

    void SetBuddy(QLineEdit* pBuddy, bool bSetBuddyInt = true);
    QLineEdit* GetBuddy() const { return m_pBuddy; }
    void SetRange(int nLower, int nUpper);
    void SetPos(int nPos);
    int GetPos() const;
    // One arrow step: +1 up, -1 down.
    void Step(int nDelta);

    QToolButton* UpButton() const { return m_pUp; }
    QToolButton* DownButton() const { return m_pDown; }

signals:
    void VScroll(int nSBCode, int nPos);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* m_pUp;
    QToolButton* m_pDown;
    QLineEdit* m_pBuddy = nullptr;
    bool m_bSetBuddyInt = true;
    int m_nLower = 0;
    int m_nUpper = 100;
    int m_nPos = 0;
};
