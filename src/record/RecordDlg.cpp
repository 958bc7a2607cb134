// SPDX-License-Identifier: GPL-3.0-or-later
#include "record/RecordDlg.h"
#include "drills/Readiness.h"
#include "engine/PracticeModes.h"
#include "history/SaveFile.h"
#include "settings/Options.h"
#include "text/Cp932.h"
#include "winui/DialogTemplate.h"
#include "winui/MessageBox.h"
#include "winui/Tables.h"

#include <QComboBox>
#include <QFutureWatcher>
#include <QtConcurrent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

static void SetUpTable(QTableView* table)
{
    table->verticalHeader()->setVisible(false);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setWordWrap(false);
    table->setSortingEnabled(true);
}

static QTableWidget* MakeTable(const QStringList& headers, QWidget* parent)
{
    auto* table = new QTableWidget(0, int(headers.size()), parent);
    table->setHorizontalHeaderLabels(headers);
    SetUpTable(table);
    return table;
}

static const char* const kTestColumns[] = {"日時", "ﾓｰﾄﾞ", "WPM", "位置の正解率", "位置合わせ正解率", "試験式の点",
                                           "字/分", "送信WPM", "途中で止めた", "ｺｯﾎ法"};
static constexpr int kTestColumnCount = int(std::size(kTestColumns));

void CTestsModel::SetTests(const std::vector<HistoryTest>* pTests)
{
    beginResetModel();
    m_pTests = pTests;
    endResetModel();
}

int CTestsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_pTests ? 0 : int(m_pTests->size());
}

int CTestsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kTestColumnCount; }

QVariant CTestsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < kTestColumnCount)
        return QString::fromUtf8(kTestColumns[section]);
    return {};
}

QVariant CTestsModel::data(const QModelIndex& index, int role) const
{
    if (!m_pTests || index.row() < 0 || index.row() >= int(m_pTests->size()))
        return {};
    const HistoryTest& t = (*m_pTests)[size_t(index.row())];
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    if (role == Qt::UserRole) { // sorting asks for a cell many times: only its own key
        switch (index.column()) {
        case 0: return double(t.when.toMSecsSinceEpoch());
        case 1: return t.nMode;
        case 2: return t.nWpm;
        case 3: return t.nPositionPercent;
        case 4: return t.Accuracy();
        case 5: return t.HasExamScore() ? ExamScore(t.Counts()) : -1;
        case 6: return t.Speed().dCharsPerMinute;
        case 7: return t.Speed().dWpm;
        case 8: return t.bStopped ? 1 : 0;
        default: return t.nKochLesson;
        }
    }
    if (role != Qt::DisplayRole)
        return {};
    const SentSpeed speed = t.Speed();
    switch (index.column()) {
    case 0: return t.when.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    case 1: return ModeName(t.nMode);
    case 2: return QString::number(t.nWpm);
    case 3: return QStringLiteral("%1%").arg(t.nPositionPercent);
    case 4: return t.bAligned ? QStringLiteral("%1%").arg(t.Accuracy(), 0, 'f', 1) : QString();
    case 5: return t.HasExamScore() ? QString::number(ExamScore(t.Counts())) : QString();
    case 6: return QString::number(speed.dCharsPerMinute, 'f', 1);
    case 7: return QString::number(speed.dWpm, 'f', 1);
    case 8: return t.bStopped ? QStringLiteral("はい") : QString();
    case 9: return t.nKochLesson > 0 ? QString::number(t.nKochLesson) : QString();
    default: return {};
    }
}

CRecordDlg::CRecordDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("成績表"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    auto* filters = new QHBoxLayout;
    m_pPeriod = new QComboBox(this);
    m_pPeriod->addItems({QStringLiteral("今回"), QStringLiteral("7日"), QStringLiteral("30日"), QStringLiteral("全部")});
    // The last week: after a restart a learner sees the days before.
    m_pPeriod->setCurrentIndex(int(RecordPeriod::Week));
    m_pMode = new QComboBox(this);
    m_pMode->addItem(QStringLiteral("すべてのﾓｰﾄﾞ"));
    for (const PracticeModeDef& mode : PracticeModes())
        m_pMode->addItem(QString::fromUtf8(mode.pszName));
    filters->addWidget(new QLabel(QStringLiteral("期間"), this));
    filters->addWidget(m_pPeriod);
    filters->addWidget(new QLabel(QStringLiteral("ﾓｰﾄﾞ"), this));
    filters->addWidget(m_pMode);
    filters->addStretch();
    layout->addLayout(filters);
    m_pNotice = new QLabel(this);
    m_pNotice->setVisible(false);
    layout->addWidget(m_pNotice);
    m_pReadiness = new QLabel(this);
    m_pReadiness->setTextFormat(Qt::PlainText);
    m_pReadiness->setWordWrap(true);
    m_pReadiness->setVisible(false);
    layout->addWidget(m_pReadiness);
    m_pLast = new QLabel(QStringLiteral("評価したテストはまだありません。"), this);
    m_pLast->setTextFormat(Qt::PlainText);
    layout->addWidget(m_pLast);
    m_pPlot = new CScorePlot(this);
    m_pPlot->setMinimumSize(460, 150);
    layout->addWidget(m_pPlot);
    m_pTestsModel = new CTestsModel(this);
    m_pTestsSorted = new QSortFilterProxyModel(this);
    m_pTestsSorted->setSourceModel(m_pTestsModel);
    m_pTestsSorted->setSortRole(Qt::UserRole);
    m_pTests = new QTableView(this);
    m_pTests->setModel(m_pTestsSorted);
    SetUpTable(m_pTests);
    m_pTests->sortByColumn(0, Qt::AscendingOrder);
    layout->addWidget(m_pTests);
    m_pChars = MakeTable({QStringLiteral("文字"), QStringLiteral("送信"), QStringLiteral("正解"), QStringLiteral("正解率"),
                          QStringLiteral("よくある間違い")},
                         this);
    layout->addWidget(m_pChars);
    auto* goal = new QHBoxLayout;
    m_pGoal = new QSpinBox(this);
    m_pGoal->setRange(0, 600);
    m_pGoal->setSuffix(QStringLiteral(" 分"));
    m_pGoal->setSpecialValueText(QStringLiteral("なし"));
    auto* goalLabel = new QLabel(QStringLiteral("日ごとの練習　1日の目標(&G)"), this);
    goalLabel->setBuddy(m_pGoal);
    goal->addWidget(goalLabel);
    goal->addWidget(m_pGoal);
    goal->addStretch();
    layout->addLayout(goal);
    m_pDays = MakeTable({QStringLiteral("日付"), QStringLiteral("練習時間"), QStringLiteral("テスト"),
                         QStringLiteral("速度"), QStringLiteral("ｺｯﾎ"), QStringLiteral("正解率")},
                        this);
    layout->addWidget(m_pDays);
    QStringList weeks{QStringLiteral("文字")};
    for (int w = kTrendWeeks - 1; w >= 0; --w)
        weeks << (w == 0 ? QStringLiteral("今週") : QStringLiteral("%1週前").arg(w));
    layout->addWidget(new QLabel(QStringLiteral("文字ごとの推移 (正解率と一文字ずつの反応の中央値)"), this));
    m_pTrends = MakeTable(weeks, this);
    layout->addWidget(m_pTrends);
    connect(m_pGoal, &QSpinBox::valueChanged, this, [this](int minutes) {
        ShowDays(m_days);
        emit DailyGoalChanged(minutes);
    });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    m_pSaveTests = new QPushButton(QStringLiteral("テストをCSVで保存..."), this);
    m_pSaveChars = new QPushButton(QStringLiteral("文字をCSVで保存..."), this);
    buttons->addWidget(m_pSaveTests);
    buttons->addWidget(m_pSaveChars);
    layout->addLayout(buttons);
    connect(m_pSaveTests, &QPushButton::clicked, this, [this] { emit SaveRequested(false); });
    connect(m_pSaveChars, &QPushButton::clicked, this, [this] { emit SaveRequested(true); });
    connect(m_pPeriod, &QComboBox::currentIndexChanged, this, &CRecordDlg::FilterChanged);
    connect(m_pMode, &QComboBox::currentIndexChanged, this, &CRecordDlg::FilterChanged);
    connect(m_pTests, &QTableView::doubleClicked, this, &CRecordDlg::ShowTexts);
    // Room for a dozen tests and every column, but never beyond the screen
    // (a scale factor of 2 on a small one included).
    resize(BoundedToScreen(QSize(880, 860)));
}

void CRecordDlg::ShowTexts(const QModelIndex& index)
{
    const int row = m_pTestsSorted->mapToSource(index).row();
    if (row < 0 || row >= int(m_tests.size()))
        return;
    HistoryTest t = m_tests[size_t(row)];
    // This run's tests carry their texts; the history's are read now.
    if (t.strSent.empty() && !m_strHistoryPath.isEmpty()) {
        CHistory reader;
        if (reader.OpenForReading(m_strHistoryPath))
            reader.ReadTexts(t);
    }
    QDialog box(this);
    box.setWindowTitle(QStringLiteral("テストの文 (%1)").arg(t.when.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"))));
    auto* text = new QPlainTextEdit(&box);
    text->setReadOnly(true);
    text->setPlainText(QStringLiteral("送った文:\n%1\n\n入力した文:\n%2")
                           .arg(Cp932ToQString(t.strSent), Cp932ToQString(t.strTyped)));
    auto* layout = new QVBoxLayout(&box);
    layout->addWidget(text);
    box.resize(560, 360);
    m_pTexts = &box;
    box.exec();
    m_pTexts = nullptr;
}

// A cell that sorts by its number, not its text.
class CNumberItem : public QTableWidgetItem {
public:
    CNumberItem(const QString& text, double key) : QTableWidgetItem(text), m_dKey(key) { setTextAlignment(Qt::AlignCenter); }
    bool operator<(const QTableWidgetItem& other) const override
    {
        const auto* o = dynamic_cast<const CNumberItem*>(&other);
        return o ? m_dKey < o->m_dKey : QTableWidgetItem::operator<(other);
    }

private:
    double m_dKey;
};

// What the window shows of one period and mode.
struct RecordContent {
    std::vector<HistoryTest> tests;
    std::map<unsigned char, CharStats> chars;
    std::vector<DayScore> days;
    QString readiness; // of the exams, over the whole history
    std::vector<CharTrend> trends;
};

// The last weeks of each character, whatever the period shown.
static std::vector<CharTrend> ReadTrends(const CHistory& reader, int nMode)
{
    const QDateTime today(QDate::currentDate(), QTime(0, 0));
    const QDateTime first = today.addDays(1 - 7 * kTrendWeeks).toUTC();
    std::map<unsigned char, CharStats> since[kTrendWeeks];
    for (int w = 0; w < kTrendWeeks; ++w)
        since[w] = reader.Chars(first.addDays(7 * w), nMode);
    return CharTrends(since, reader.Answers(first, nMode), first);
}

void CRecordDlg::Refresh(const CHistory* pHistory, const QString& run, const std::vector<HistoryTest>& runTests,
                         const std::map<unsigned char, CharStats>& runChars)
{
    const auto period = RecordPeriod(m_pPeriod->currentIndex());
    const int mode = m_pMode->currentIndex() - 1;
    const int generation = ++m_nGeneration;
    if (!pHistory || !pHistory->IsOpen()) {
        m_strHistoryPath.clear();
        RecordContent c;
        for (const HistoryTest& t : runTests)
            if (mode < 0 || t.nMode == mode)
                c.tests.push_back(t);
        if (mode < 0)
            c.chars = runChars;
        c.days = ScoresByDay(c.tests);
        ShowReadiness(AllReadiness(runTests));
        ShowTrends({});
        Show(std::move(c.tests), std::move(c.chars), std::move(c.days));
        return;
    }
    // A long history is read beside the window, through a connection of
    // the reading thread's own; the newest request wins.
    m_bLoading = true;
    const QString path = pHistory->Path();
    m_strHistoryPath = path;
    const QDateTime since = PeriodStart(period, QDateTime::currentDateTimeUtc());
    const QString ofRun = period == RecordPeriod::ThisRun ? run : QString();
    auto* watcher = new QFutureWatcher<RecordContent>(this);
    connect(watcher, &QFutureWatcher<RecordContent>::finished, this, [this, watcher, generation] {
        watcher->deleteLater();
        if (generation != m_nGeneration)
            return;
        RecordContent c = watcher->result();
        m_bLoading = false;
        ShowReadiness(c.readiness);
        ShowTrends(c.trends);
        Show(std::move(c.tests), std::move(c.chars), std::move(c.days));
    });
    watcher->setFuture(QtConcurrent::run([path, since, mode, ofRun] {
        RecordContent c;
        CHistory reader;
        if (reader.OpenForReading(path)) {
            c.tests = reader.Tests(since, mode, ofRun);
            c.chars = reader.Chars(since, mode, ofRun);
            c.days = ScoresByDay(c.tests);
            c.readiness = AllReadiness(ExamTests(reader));
            c.trends = ReadTrends(reader, mode);
        }
        return c;
    }));
}

void CRecordDlg::ShowReadiness(const QString& text)
{
    m_pReadiness->setText(text.isEmpty() ? QString() : QStringLiteral("電気通信術の試験の見込み: ") + text);
    m_pReadiness->setVisible(!text.isEmpty());
}

void CRecordDlg::Show(std::vector<HistoryTest> tests, std::map<unsigned char, CharStats> chars,
                      std::vector<DayScore> days)
{
    m_tests = std::move(tests);
    m_chars = std::move(chars);
    if (m_tests.empty())
        m_pLast->setText(QStringLiteral("この期間に評価したテストはありません。"));
    else {
        const HistoryTest& t = m_tests.back();
        const SentSpeed speed = t.Speed();
        QString aligned = QStringLiteral("位置合わせ中...");
        if (t.bAligned)
            aligned = QStringLiteral("正解 %1、誤り %2、抜け %3、余分 %4、正解率 %5%\n試験式の点: %6")
                          .arg(t.nRight)
                          .arg(t.nWrong)
                          .arg(t.nMissing)
                          .arg(t.nExtra)
                          .arg(t.Accuracy(), 0, 'f', 1)
                          .arg(t.HasExamScore() ? QStringLiteral("%1 点 (%2)").arg(ExamScore(t.Counts())).arg(ExamRule())
                                                : QStringLiteral("なし (途中で止めたテスト)"));
        m_pLast->setText(QStringLiteral("直前のテスト(位置合わせ): %1\n送信の速さ: %2 字/分 = %3 WPM (%4)%5")
                             .arg(aligned)
                             .arg(speed.dCharsPerMinute, 0, 'f', 1)
                             .arg(speed.dWpm, 0, 'f', 1)
                             .arg(SpeedRule())
                             .arg(t.bStopped ? QStringLiteral("\n途中で止めたテストです。") : QString()));
    }

    m_pTestsModel->SetTests(&m_tests);
    m_pTests->resizeColumnsToContents(); // the rows in view, whatever their number
    m_pTests->scrollToBottom();
    ShowDays(days);
    m_pPlot->SetDays(std::move(days));

    const std::vector<unsigned char> worst = WorstFirst(m_chars);
    m_pChars->setSortingEnabled(false);
    m_pChars->setRowCount(int(worst.size()));
    for (int row = 0; row < int(worst.size()); ++row) {
        const unsigned char c = worst[size_t(row)];
        const CharStats& st = m_chars.at(c);
        QTableWidgetItem* cells[] = {
            new CNumberItem(CharText(std::string(1, char(c))), c),
            new CNumberItem(QString::number(st.nSent), st.nSent),
            new CNumberItem(QString::number(st.nRight), st.nRight),
            new CNumberItem(QStringLiteral("%1%").arg(st.Accuracy(), 0, 'f', 0), st.Accuracy()),
            new QTableWidgetItem(ConfusionText(c, st)),
        };
        for (int col = 0; col < 5; ++col)
            m_pChars->setItem(row, col, cells[col]);
    }
    // Worst first until the user sorts by a column.
    m_pChars->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_pChars->setSortingEnabled(true);
    m_pChars->resizeColumnsToContents();
}

void CRecordDlg::ShowKochAdvance(int nFrom, int nTo)
{
    m_pNotice->setText(KochAdvanceText(nFrom, nTo));
    m_pNotice->setVisible(true);
}

bool CRecordDlg::SaveCsv(const QByteArray& bytes, const QString& path)
{
    QString error;
    if (!SaveWhole(path, bytes, &error)) {
        MessageBox(this, QStringLiteral("保存できませんでした。\n%1").arg(error), QStringLiteral("成績表"),
                   MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

void CScorePlot::SetDays(std::vector<DayScore> days)
{
    m_days = std::move(days);
    update();
}

void CScorePlot::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const QRect area = rect().adjusted(44, 10, -10, -40);
    const QFontMetrics fm = p.fontMetrics();
    for (int pct = 0; pct <= 100; pct += 25) {
        const int y = area.bottom() - area.height() * pct / 100;
        p.setPen(QColor(210, 210, 210));
        p.drawLine(area.left(), y, area.right(), y);
        p.setPen(Qt::black);
        p.drawText(QRect(0, y - 8, 40, 16), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("%1%").arg(pct));
    }
    p.drawLine(area.bottomLeft(), area.bottomRight());
    const int n = int(m_days.size());
    if (n > 0) {
        // Days on a dated axis: x by the day's number, labels spaced to fit.
        const qint64 first = m_days.front().day.toJulianDay(), last = m_days.back().day.toJulianDay();
        const double span = std::max<qint64>(last - first, 1);
        auto xOf = [&](const QDate& d) {
            return last == first ? area.center().x() : area.left() + area.width() * (d.toJulianDay() - first) / span;
        };
        const int labelWidth = fm.horizontalAdvance(QStringLiteral("00/00")) + 12;
        const int maxLabels = std::max(1, area.width() / labelWidth);
        const int step = std::max<qint64>(1, qint64(std::ceil((span + 1) / maxLabels)));
        for (qint64 j = first; j <= last; j += step) {
            const QDate d = QDate::fromJulianDay(j);
            const double x = xOf(d);
            p.drawLine(QPointF(x, area.bottom()), QPointF(x, area.bottom() + 3));
            // Kept inside the plot at its edges.
            const double left = std::clamp(x - labelWidth / 2.0, 0.0, double(width() - labelWidth));
            p.drawText(QRectF(left, area.bottom() + 4, labelWidth, 14), Qt::AlignCenter,
                       d.toString(QStringLiteral("MM/dd")));
        }
        p.setRenderHint(QPainter::Antialiasing);
        auto series = [&](const QColor& color, auto value) {
            p.setPen(QPen(color, 2));
            p.setBrush(color);
            for (int i = 0; i < n; ++i) {
                const QPointF pt(xOf(m_days[size_t(i)].day), area.bottom() - area.height() * value(m_days[size_t(i)]) / 100.0);
                // A line joins days a week apart at most: weeks without a
                // test are no trend.
                const bool joined = i > 0 && m_days[size_t(i - 1)].day.daysTo(m_days[size_t(i)].day) <= kJoinedDays;
                if (joined)
                    p.drawLine(QPointF(xOf(m_days[size_t(i - 1)].day),
                                       area.bottom() - area.height() * value(m_days[size_t(i - 1)]) / 100.0),
                               pt);
                const bool alone = !joined && (i + 1 >= n || m_days[size_t(i)].day.daysTo(m_days[size_t(i + 1)].day) > kJoinedDays);
                if (n <= 60 || alone)
                    p.drawEllipse(pt, 3, 3);
            }
        };
        series(kPositionColor, [](const DayScore& d) { return d.dPosition; });
        series(kAlignedColor, [](const DayScore& d) { return d.dAligned; });
    }
    p.setPen(kPositionColor);
    p.drawText(QRect(area.left(), area.bottom() + 20, area.width() / 2, 16), Qt::AlignLeft,
               QStringLiteral("● 位置の正解率 (日ごとの平均)"));
    p.setPen(kAlignedColor);
    p.drawText(QRect(area.center().x(), area.bottom() + 20, area.width() / 2, 16), Qt::AlignLeft,
               QStringLiteral("● 位置合わせ正解率 (日ごとの平均)"));
}

void CRecordDlg::SetDailyGoal(int nMinutes)
{
    const QSignalBlocker block(m_pGoal);
    m_pGoal->setValue(nMinutes);
    ShowDays(m_days);
}

void CRecordDlg::ShowDays(const std::vector<DayScore>& days)
{
    m_days = days;
    m_pDays->setSortingEnabled(false); // filled newest first
    m_pDays->setRowCount(0);
    for (auto d = days.rbegin(); d != days.rend(); ++d)
        AppendRow(m_pDays, {d->day.toString(Qt::ISODate), DayPracticeText(*d, m_pGoal->value()),
                            QString::number(d->nTests), QStringLiteral("%1 WPM").arg(d->dWpm, 0, 'f', 1),
                            d->nKochLesson > 0 ? QString::number(d->nKochLesson) : QStringLiteral("-"),
                            QStringLiteral("%1%").arg(d->dAligned, 0, 'f', 0)});
    m_pDays->resizeColumnsToContents();
}

void CRecordDlg::ShowTrends(const std::vector<CharTrend>& trends)
{
    // Rows sorted while they fill would scatter their cells.
    m_pTrends->setSortingEnabled(false);
    m_pTrends->setRowCount(0);
    for (const CharTrend& t : trends) {
        QStringList cells{CharText(std::string(1, char(t.ch)))};
        for (int w = 0; w < kTrendWeeks; ++w)
            cells << TrendText(t, w);
        AppendRow(m_pTrends, cells);
    }
    m_pTrends->setSortingEnabled(true);
    m_pTrends->resizeColumnsToContents();
}
