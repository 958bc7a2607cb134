// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window ｺｰﾙｻｲﾝと単語: a run of call signs, or of words and
// abbreviations, each keyed and answered before the next, the speed
// following the answers; the run's score goes into the history and the
// best scores of its kind are shown.
#include "drills/ItemRun.h"
#include "drills/TextTest.h"
#include "settings/Options.h"

#include <QDialog>

#include <memory>

class CHistory;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

class CCallSignDlg : public QDialog {
    Q_OBJECT
public:
    // The tone, volume and start speed are the form's; options bring the
    // tone shape and the band conditions.
    CCallSignDlg(int nFreq, int nWpm, int nVolume, const TrainingOptions& options, CHistory* pHistory,
                 QWidget* parent = nullptr);
    ~CCallSignDlg() override;

    void SetRun(const QString& run) { m_strRun = run; }
    // For tests.
    CTextTest& Player() { return m_player; }
    const CItemRun* Run() const { return m_pRun.get(); }
    QLineEdit* Answer() const { return m_pAnswer; }
    QString StateText() const;
    QTableWidget* TopScores() const { return m_pTop; }

    // What a run sends: kLatinCallSigns or kLatinWords.
    int Mode() const;
    void SetMode(int nMode);

    void OnStart();
    void OnStop();
    // Enter in the answer box: taken now, or when the call has ended.
    void OnAnswer();

protected:
    void reject() override;

private:
    void PlayCall();
    void OnEnded();
    void OnFailed();
    void TakeAnswer();
    void Finish(bool bStopped);
    void ShowState();
    void ShowTopScores();

    int m_nFreq, m_nVolume;
    TrainingOptions m_options;
    CHistory* m_pHistory;
    QString m_strRun = QStringLiteral("");
    CTextTest m_player;
    std::unique_ptr<CItemRun> m_pRun;
    bool m_bPlaying = false;  // a call is sounding
    bool m_bAnswered = false; // Enter came before the call ended
    std::string m_strAnswer;  // the box at Enter
    double m_dSeconds = 0;    // keyed so far in this run
    std::vector<HistoryTest> m_ownRuns; // this window's, when no history is kept

    QComboBox* m_pKind;
    QSpinBox* m_pStartWpm;
    QPushButton* m_pStart;
    QPushButton* m_pStop;
    QLabel* m_pState;
    QLineEdit* m_pAnswer;
    QLabel* m_pLast;
    QTableWidget* m_pItems;
    QTableWidget* m_pTop;
};
