// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The exam's answer sheet: squares, one character each, filled as the
// answer is typed. 和文 is written as candidates write it, in columns from
// the right, top to bottom, figures as kanji; 欧文 in rows of four groups.
// Graded, the squares show right, wrong, blank and shifted (マスずれ).
#include "drills/Exam.h"

#include <QWidget>

#include <string>
#include <vector>

class CAnswerSheet : public QWidget {
    Q_OBJECT
public:
    explicit CAnswerSheet(QWidget* parent = nullptr);

    // nSquares at least; the layout of the part.
    void SetLayout(bool bWabun, int nSquares);
    // The typed answer (code page 932), ungraded.
    void SetAnswer(const std::string& typed);
    void SetGraded(std::vector<SheetSquare> squares);
    // Where the next character goes, in the widget.
    QRect NextSquare() const;
    QSize sizeHint() const override;
    // A whole column of 和文.
    int ColumnHeight() const;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    int Count() const;
    QRect Square(int n) const;
    int Side() const;
    bool m_bWabun = false;
    int m_nSquares = 100;
    std::vector<SheetSquare> m_squares;
    bool m_bGraded = false;
};
