// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QFrame>
#include <QPixmap>

// A static that paints only from an off-screen picture kept between
// paints; the subclass draws into the picture.
class CVisualStatic : public QFrame {
    Q_OBJECT
public:
    explicit CVisualStatic(QWidget* parent = nullptr);

    // Whether the picture exists and what it holds (for tests).
    bool HasMemDC() const { return m_bMemDC != 0; }
    const QPixmap& Picture() const { return m_bmpMem; }

protected:
    virtual void Draw(QPixmap* pDC) = 0;
    void CreateMemDC();
    QRect ClientRect() const { return QRect(QPoint(0, 0), contentsRect().size()); }

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    int m_bMemDC = 0;
    QPixmap m_bmpMem;
};
