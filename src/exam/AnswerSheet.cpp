// SPDX-License-Identifier: GPL-3.0-or-later
#include "exam/AnswerSheet.h"
#include "text/Cp932.h"
#include "winui/Contrast.h"

#include <QPainter>

// Squares a column (和文) or a row (欧文, four groups of five).
static constexpr int kWabunColumn = 10;
static constexpr int kLatinRow = 20;

CAnswerSheet::CAnswerSheet(QWidget* parent) : QWidget(parent) { setFocusPolicy(Qt::NoFocus); }

int CAnswerSheet::Side() const { return fontMetrics().height() + 10; }

void CAnswerSheet::SetLayout(bool bWabun, int nSquares)
{
    m_bWabun = bWabun;
    m_nSquares = std::max(nSquares, 1);
    m_squares.clear();
    m_bGraded = false;
    updateGeometry();
    resize(sizeHint());
    update();
}

void CAnswerSheet::SetAnswer(const std::string& typed)
{
    m_squares.clear();
    for (char c : SheetText(typed))
        m_squares.push_back({0, c, SheetMark::Blank});
    m_bGraded = false;
    update();
}

void CAnswerSheet::SetGraded(std::vector<SheetSquare> squares)
{
    m_squares = std::move(squares);
    m_bGraded = true;
    update();
}

// The squares drawn: the part's, or one past the answer when it is longer.
int CAnswerSheet::Count() const { return std::max(m_nSquares, int(m_squares.size()) + 1); }

int CAnswerSheet::ColumnHeight() const { return kWabunColumn * Side() + 2; }

QSize CAnswerSheet::sizeHint() const
{
    const int n = Count();
    const int side = Side();
    if (m_bWabun)
        return {((n + kWabunColumn - 1) / kWabunColumn) * side + 2, ColumnHeight()};
    // A little space between the groups of five.
    return {kLatinRow * side + (kLatinRow / 5 - 1) * side / 3 + 2, ((n + kLatinRow - 1) / kLatinRow) * side + 2};
}

QRect CAnswerSheet::Square(int n) const
{
    const int side = Side();
    if (m_bWabun) {
        const int columns = (Count() + kWabunColumn - 1) / kWabunColumn;
        const int column = n / kWabunColumn;
        return {(columns - 1 - column) * side + 1, (n % kWabunColumn) * side + 1, side, side};
    }
    const int at = n % kLatinRow;
    return {at * side + (at / 5) * side / 3 + 1, (n / kLatinRow) * side + 1, side, side};
}

QRect CAnswerSheet::NextSquare() const { return Square(m_bGraded ? 0 : int(m_squares.size())); }

// As a candidate writes it: 和文 in full-size katakana, the voiced marks
// in squares of their own, figures in kanji.
static QString Written(char c, bool bWabun)
{
    static const char* const kKanji[] = {"〇", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
    const auto ch = static_cast<unsigned char>(c);
    if (!bWabun)
        return Cp932ToQString(std::string(1, c));
    if (c >= '0' && c <= '9')
        return QString::fromUtf8(kKanji[c - '0']);
    if (ch == 0xDE || ch == 0xDF)
        return QString(QChar(ch == 0xDE ? 0x309B : 0x309C)); // ゛ ゜
    return Cp932ToQString(std::string(1, c)).normalized(QString::NormalizationForm_KC);
}

void CAnswerSheet::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QColor base = palette().color(QPalette::Base);
    p.fillRect(rect(), base);
    const QColor ink = palette().color(QPalette::Text);
    const QColor wrong = ReadableOn(QColor(0xC0, 0x00, 0x00), base);
    const QColor missing = ReadableOn(QColor(0x00, 0x40, 0xC0), base);
    const QColor shifted = ReadableOn(QColor(0xB0, 0x60, 0x00), base);
    const int n = std::max(m_nSquares, int(m_squares.size()));
    p.setPen(palette().color(QPalette::Mid));
    for (int i = 0; i < n; ++i)
        p.drawRect(Square(i).adjusted(0, 0, -1, -1));
    for (int i = 0; i < int(m_squares.size()); ++i) {
        const SheetSquare& q = m_squares[size_t(i)];
        const QRect r = Square(i);
        if (!m_bGraded || q.eMark == SheetMark::Right || q.eMark == SheetMark::Wrong) {
            p.setPen(m_bGraded && q.eMark == SheetMark::Wrong ? wrong : ink);
            if (q.chTyped != ' ')
                p.drawText(r, Qt::AlignCenter, Written(q.chTyped, m_bWabun));
            if (m_bGraded && q.eMark == SheetMark::Wrong)
                p.drawLine(r.topRight() + QPoint(-3, 3), r.bottomLeft() + QPoint(3, -3));
        } else if (q.eMark == SheetMark::Shifted) {
            QColor tint = shifted;
            tint.setAlpha(50);
            p.fillRect(r.adjusted(1, 1, -1, -1), tint);
            p.setPen(shifted);
            p.drawText(r, Qt::AlignCenter, Written(q.chTyped, m_bWabun));
        } else if (q.chSent != 0) {
            // Blank: what belonged there, in the colour of 脱字.
            p.setPen(missing);
            p.drawText(r, Qt::AlignCenter, Written(q.chSent, m_bWabun));
        }
    }
}
