// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window 一文字ずつ: one character keyed at a time and answered by a
// key, timed from the character's end as heard; the schedule (what comes
// next) is rebuilt from the history's answers, so it goes on across days.
#include "drills/CharSchedule.h"
#include "drills/TextTest.h"
#include "history/History.h"
#include "scoring/Scoring.h"
#include "settings/Options.h"

#include <QDialog>
#include <QTimer>

#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;
class CDrillPlot;

class CCharDrillDlg : public QDialog {
    Q_OBJECT
public:
    // The tone, speed and volume are the form's; options bring the tone
    // shape, the band conditions, the thresholds and the key latency.
    CCharDrillDlg(int nFreq, int nWpm, int nVolume, const TrainingOptions& options, CHistory* pHistory,
                  QWidget* parent = nullptr);
    ~CCharDrillDlg() override;

    void SetRun(const QString& run) { m_strRun = run; }
    int Mode() const; // kLatinChars or kWabunChars
    void SetMode(int nMode);
    const TrainingOptions& Options() const { return m_options; }

    void OnStart();
    void OnStop();
    // Ten tones, each to be answered by a key as it starts: the median
    // delay becomes the key latency taken off every response time.
    void OnCalibrate();
    // A key typed, at llNs on the steady clock; bKeypad: on the numeric
    // keypad.
    void OnKey(QChar ch, long long llNs, bool bKeypad = false);

    // For tests.
    CTextTest& Player() { return m_player; }
    const CCharSchedule* Schedule() const { return m_pSchedule.get(); }
    QString StateText() const;
    QTableWidget* Table() const { return m_pTable; }
    bool Asking() const { return m_eStep == Step::Asking; }
    unsigned char Asked() const { return m_ch; }
    // The answers of this window, when no history is kept.
    const std::vector<HistoryAnswer>& OwnAnswers() const { return m_ownAnswers; }

    static constexpr int kIntroPlays = 3;   // a new character, heard with its name
    static constexpr int kNextPauseMs = 500; // after a right answer
    static constexpr int kCalibrationTones = 10;
    static constexpr int kCalibrationWaitMs = 3000; // for a key after a tone
    static constexpr int kHeardPollMs = 10;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;

private:
    enum class Step { Idle, Intro, Asking, Showing, Calibrating };
    void NextChar();
    void BeginAsking();
    void Play(unsigned char ch, int nTimes = 1);
    void OnEnded();
    void OnFailed();
    void OnTimeout();
    // A key in hand and the character heard to its end: judged now, not
    // at the close, which waits for the silence after it.
    void JudgeOnceHeard();
    void Judge(const std::string& typed, long long llKeyNs, bool bTimedOut);
    void EndSession();
    void ShowState(const QString& text, const QString& color = {});
    // The history's progress, read again: the table and the plot.
    void ShowProgress();
    void ShowTable(const CCharSchedule& schedule);
    void CalibrationTone();
    void TakeCalibration();
    std::vector<HistoryAnswer> AllAnswers() const;
    double NowSeconds() const;

    int m_nFreq, m_nWpm, m_nVolume;
    TrainingOptions m_options;
    CHistory* m_pHistory;
    QString m_strRun = QStringLiteral("");
    CTextTest m_player;
    std::unique_ptr<CCharSchedule> m_pSchedule;
    std::unique_ptr<CKeyAnswer> m_pKeys;
    Step m_eStep = Step::Idle;
    unsigned char m_ch = 0;
    bool m_bPlaying = false;
    bool m_bEnded = false;      // the character was heard to its end
    long long m_llEndNs = 0;    // when, as heard
    long long m_llKeyNs = 0;    // the key that completed the answer
    std::string m_strTyped;
    QTimer m_slow;              // the limit after the end
    QTimer m_next;
    QTimer m_heard;             // a key in hand: is the character's end heard?
    // The session: what was asked and answered, for the history's test.
    std::string m_strSent, m_strAnswers;
    Alignment m_sessionCounts; // as each answer was judged, not re-aligned
    std::map<unsigned char, CharStats> m_sessionChars;
    long long m_llSessionStartNs = 0;
    std::vector<HistoryAnswer> m_ownAnswers;
    // Calibration: the tone's start as heard and the delays so far.
    std::vector<int> m_calibration;
    long long m_llToneStartNs = 0;
    int m_nCalibLeft = 0;

    QComboBox* m_pKind;
    QPushButton* m_pStart;
    QPushButton* m_pStop;
    QPushButton* m_pCalibrate;
    QSpinBox* m_pPercent;
    QSpinBox* m_pLearnMs;
    QSpinBox* m_pSlowMs;
    QCheckBox* m_pKanaLayout;
    QLabel* m_pBig;
    QLabel* m_pState;
    QLabel* m_pLatency;
    QTableWidget* m_pTable;
    CDrillPlot* m_pPlot;
};

// Learned characters and the median response time, by day.
class CDrillPlot : public QWidget {
    Q_OBJECT
public:
    explicit CDrillPlot(QWidget* parent = nullptr) : QWidget(parent) {}
    void SetDays(std::vector<DrillDay> days);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<DrillDay> m_days;
};
