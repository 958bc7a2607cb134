// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "training/Record.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;
class CScorePlot;

// "成績表": the last test aligned, the exam score, the speed sent, the
// run's tests as a table and a plot, and each character's record.
// Not modal; Refresh after every Evaluate.
class CRecordDlg : public QDialog {
    Q_OBJECT
public:
    explicit CRecordDlg(QWidget* parent = nullptr);
    void Refresh(const CRunRecord& record);
    // Writes the record as CSV; false (and a box) when it could not.
    bool SaveCsv(const CRunRecord& record, const QString& path);

    QLabel* m_pLast = nullptr;
    QTableWidget* m_pTests = nullptr;
    QTableWidget* m_pChars = nullptr;
    CScorePlot* m_pPlot = nullptr;
    QPushButton* m_pSave = nullptr;

signals:
    void SaveRequested();
};

// Position score and aligned accuracy per test, 0..100 %.
class CScorePlot : public QWidget {
    Q_OBJECT
public:
    explicit CScorePlot(QWidget* parent = nullptr) : QWidget(parent) {}
    void SetScores(std::vector<int> position, std::vector<double> aligned);
    static inline const QColor kPositionColor{0, 0, 255};
    static inline const QColor kAlignedColor{0, 128, 0};

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<int> m_position;
    std::vector<double> m_aligned;
};

// A character for the tables: kana as kana, a missing one as "(抜け)".
QString CharText(const std::string& cp932);
