// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "history/History.h"
#include "record/RecordTables.h"

#include <QAbstractTableModel>
#include <QDialog>

class QComboBox;
class QSpinBox;
class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;
class QTableWidget;
class CScorePlot;

// The tests of the record as a table model: a view asks only for the rows
// it shows, so a history of any size fills the window at once. Each cell
// sorts by its number (Qt::UserRole).
class CTestsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    void SetTests(const std::vector<HistoryTest>* pTests);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const std::vector<HistoryTest>* m_pTests = nullptr;
};

// "成績表": the tests of a period (今回 / 7日 / 30日 / 全部) and a mode,
// from the history (or this run's alone when there is none): the last one
// in words, the scores by day, every test, and each character's record.
// Not modal; Refresh after every evaluated test.
class CRecordDlg : public QDialog {
    Q_OBJECT
public:
    explicit CRecordDlg(QWidget* parent = nullptr);
    // pHistory null: the run's tests alone (runTests, runChars).
    void Refresh(const CHistory* pHistory, const QString& run, const std::vector<HistoryTest>& runTests,
                 const std::map<unsigned char, CharStats>& runChars);
    void ShowKochAdvance(int nFrom, int nTo);
    void ShowReadiness(const QString& text);
    // The history is still being read for the last Refresh.
    bool Loading() const { return m_bLoading; }
    // Writes a CSV file whole; false (and a box) when it could not.
    bool SaveCsv(const QByteArray& bytes, const QString& path);
    // A test's sent and typed texts, shown on a double click of its row;
    // the window while it is open (for tests).
    void ShowTexts(const QModelIndex& index);
    QDialog* TextsWindow() const { return m_pTexts; }

    QComboBox* m_pPeriod = nullptr;
    QComboBox* m_pMode = nullptr;
    QLabel* m_pLast = nullptr;
    QLabel* m_pReadiness = nullptr; // the exams', when there are any
    QLabel* m_pNotice = nullptr;
    QTableView* m_pTests = nullptr;
    CTestsModel* m_pTestsModel = nullptr;
    QSortFilterProxyModel* m_pTestsSorted = nullptr;
    QTableWidget* m_pChars = nullptr;
    QTableWidget* m_pDays = nullptr;   // practice by day, newest first
    QSpinBox* m_pGoal = nullptr;       // minutes a day
    QTableWidget* m_pTrends = nullptr; // each character over the last weeks
    void SetDailyGoal(int nMinutes);
    CScorePlot* m_pPlot = nullptr;
    QPushButton* m_pSaveTests = nullptr;
    QPushButton* m_pSaveChars = nullptr;
    // What is shown, for the CSV files.
    std::vector<HistoryTest> m_tests;
    std::map<unsigned char, CharStats> m_chars;

private:
    void Show(std::vector<HistoryTest> tests, std::map<unsigned char, CharStats> chars, std::vector<DayScore> days);
    void ShowDays(const std::vector<DayScore>& days);
    void ShowTrends(const std::vector<CharTrend>& trends);
    std::vector<DayScore> m_days;
    int m_nGeneration = 0;
    bool m_bLoading = false;
    QString m_strHistoryPath; // of the last Refresh; empty: this run's tests
    QDialog* m_pTexts = nullptr;

signals:
    void SaveRequested(bool bChars);
    // The period or the mode was changed: Refresh again.
    void FilterChanged();
    void DailyGoalChanged(int nMinutes);
};

// Mean scores by day, 0..100 %, over a dated axis.
class CScorePlot : public QWidget {
    Q_OBJECT
public:
    explicit CScorePlot(QWidget* parent = nullptr) : QWidget(parent) {}
    void SetDays(std::vector<DayScore> days);
    static inline const QColor kPositionColor{0, 0, 255};
    static inline const QColor kAlignedColor{0, 128, 0};
    static constexpr int kJoinedDays = 7;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<DayScore> m_days;
};
