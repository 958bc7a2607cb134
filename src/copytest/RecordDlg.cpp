// SPDX-License-Identifier: GPL-3.0-or-later
#include "copytest/RecordDlg.h"
#include "text/Cp932.h"
#include "training/SaveFile.h"
#include "winui/MessageBox.h"

#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

static const char* const kModeNames[] = {"欧文ﾗﾝﾀﾞﾑ1", "欧文ﾗﾝﾀﾞﾑ5", "欧文定型文", "和文ﾗﾝﾀﾞﾑ1", "和文ﾗﾝﾀﾞﾑ5", "和文定型文"};

QString CharText(const std::string& cp932)
{
    if (cp932.empty())
        return QStringLiteral("(抜け)");
    if (cp932 == " ")
        return QStringLiteral("(空白)");
    if (cp932 == "\n")
        return QStringLiteral("(改行)");
    return Cp932ToQString(cp932);
}

static QTableWidget* MakeTable(const QStringList& headers, QWidget* parent)
{
    auto* table = new QTableWidget(0, int(headers.size()), parent);
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->setVisible(false);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setWordWrap(false);
    return table;
}

CRecordDlg::CRecordDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("成績表"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    m_pLast = new QLabel(QStringLiteral("評価したテストはまだありません。"), this);
    m_pLast->setTextFormat(Qt::PlainText);
    layout->addWidget(m_pLast);
    m_pPlot = new CScorePlot(this);
    m_pPlot->setMinimumSize(420, 130);
    layout->addWidget(m_pPlot);
    m_pTests = MakeTable({QStringLiteral("回"), QStringLiteral("ﾓｰﾄﾞ"), QStringLiteral("WPM"), QStringLiteral("位置の正解率"),
                          QStringLiteral("位置合わせ正解率"), QStringLiteral("試験点")},
                         this);
    layout->addWidget(m_pTests);
    m_pChars = MakeTable({QStringLiteral("文字"), QStringLiteral("送信"), QStringLiteral("正解"), QStringLiteral("正解率"),
                          QStringLiteral("よくある間違い")},
                         this);
    layout->addWidget(m_pChars);
    m_pSave = new QPushButton(QStringLiteral("CSVで保存..."), this);
    layout->addWidget(m_pSave, 0, Qt::AlignRight);
    connect(m_pSave, &QPushButton::clicked, this, &CRecordDlg::SaveRequested);
    resize(660, 640);
}

static QTableWidgetItem* Cell(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignCenter);
    return item;
}

void CRecordDlg::Refresh(const CRunRecord& record)
{
    const std::vector<TestRecord>& tests = record.Tests();
    if (!tests.empty()) {
        const TestRecord& t = tests.back();
        const int exam = ExamScore(t.align);
        const bool wabun = t.nMode >= 3;
        QString speed = QStringLiteral("送信の速さ: %1 WPM(5文字を1語として)").arg(t.speed.dWpm, 0, 'f', 1);
        if (wabun)
            speed += QStringLiteral("(%1 字/分)").arg(t.speed.dCharsPerMinute, 0, 'f', 0);
        m_pLast->setText(QStringLiteral("直前のテスト(位置合わせ): 正解 %1、誤り %2、抜け %3、余分 %4、正解率 %5%\n"
                                        "試験の採点: %6 点 %7\n%8")
                             .arg(t.align.nRight)
                             .arg(t.align.nWrong)
                             .arg(t.align.nMissing)
                             .arg(t.align.nExtra)
                             .arg(t.align.Accuracy(), 0, 'f', 1)
                             .arg(exam)
                             .arg(ExamPassed(exam) ? QStringLiteral("合格") : QStringLiteral("不合格"))
                             .arg(speed));
    }
    m_pTests->setRowCount(int(tests.size()));
    std::vector<int> position;
    std::vector<double> aligned;
    for (int i = 0; i < int(tests.size()); ++i) {
        const TestRecord& t = tests[size_t(i)];
        const QString mode = t.nMode >= 0 && t.nMode < 6 ? QString::fromUtf8(kModeNames[t.nMode]) : QString();
        const QString cells[] = {QString::number(i + 1), mode, QString::number(t.nWpm),
                                 QStringLiteral("%1%").arg(t.nPositionPercent),
                                 QStringLiteral("%1%").arg(t.align.Accuracy(), 0, 'f', 1),
                                 QString::number(ExamScore(t.align))};
        for (int c = 0; c < 6; ++c)
            m_pTests->setItem(i, c, Cell(cells[c]));
        position.push_back(t.nPositionPercent);
        aligned.push_back(t.align.Accuracy());
    }
    m_pTests->scrollToBottom();
    m_pPlot->SetScores(position, aligned);

    const std::vector<unsigned char> worst = record.WorstFirst();
    m_pChars->setRowCount(int(worst.size()));
    for (int row = 0; row < int(worst.size()); ++row) {
        const unsigned char c = worst[size_t(row)];
        const CharStats& st = record.Chars().at(c);
        QStringList confusions;
        for (const auto& [typed, count] : st.TopConfusions())
            confusions << QStringLiteral("%1→%2 ×%3").arg(CharText(std::string(1, char(c))), CharText(typed)).arg(count);
        const QString cells[] = {CharText(std::string(1, char(c))), QString::number(st.nSent), QString::number(st.nRight),
                                 QStringLiteral("%1%").arg(st.Accuracy(), 0, 'f', 0), confusions.join(QStringLiteral("  "))};
        for (int col = 0; col < 5; ++col)
            m_pChars->setItem(row, col, Cell(cells[col]));
    }
}

bool CRecordDlg::SaveCsv(const CRunRecord& record, const QString& path)
{
    const std::string csv = record.ToCsv();
    QString error;
    if (!SaveWhole(path, QByteArray::fromStdString(csv), &error)) {
        MessageBox(this, QStringLiteral("保存できませんでした。\n%1").arg(error), QStringLiteral("成績表"),
                   MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

void CScorePlot::SetScores(std::vector<int> position, std::vector<double> aligned)
{
    m_position = std::move(position);
    m_aligned = std::move(aligned);
    update();
}

void CScorePlot::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const QRect area = rect().adjusted(36, 8, -8, -20);
    p.setPen(QColor(200, 200, 200));
    for (int pct = 0; pct <= 100; pct += 25) {
        const int y = area.bottom() - area.height() * pct / 100;
        p.drawLine(area.left(), y, area.right(), y);
        p.setPen(Qt::black);
        p.drawText(QRect(0, y - 8, 32, 16), Qt::AlignRight | Qt::AlignVCenter, QString::number(pct));
        p.setPen(QColor(200, 200, 200));
    }
    const int n = int(m_position.size());
    auto point = [&](int i, double pct) {
        const int x = n > 1 ? area.left() + area.width() * i / (n - 1) : area.center().x();
        return QPointF(x, area.bottom() - area.height() * pct / 100.0);
    };
    p.setRenderHint(QPainter::Antialiasing);
    auto series = [&](const QColor& color, auto value) {
        p.setPen(QPen(color, 2));
        p.setBrush(color);
        for (int i = 0; i < n; ++i) {
            if (i > 0)
                p.drawLine(point(i - 1, value(i - 1)), point(i, value(i)));
            p.drawEllipse(point(i, value(i)), 3, 3);
        }
    };
    series(kPositionColor, [&](int i) { return double(m_position[size_t(i)]); });
    series(kAlignedColor, [&](int i) { return m_aligned[size_t(i)]; });
    p.setPen(kPositionColor);
    p.drawText(QRect(area.left(), area.bottom() + 2, area.width() / 2, 18), Qt::AlignLeft, QStringLiteral("● 位置の正解率"));
    p.setPen(kAlignedColor);
    p.drawText(QRect(area.center().x(), area.bottom() + 2, area.width() / 2, 18), Qt::AlignLeft,
               QStringLiteral("● 位置合わせ正解率"));
}
