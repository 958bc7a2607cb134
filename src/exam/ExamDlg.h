// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window 電気通信術の試験: pick a licence (or practice), play each of
// its parts, type what is heard, and have each part graded as the exams
// grade, with the licence's verdict once every part is graded.
#include "exam/ExamPartTest.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

#include <map>
#include <memory>

class CAnswerSheet;
class CCharEdit;
class QCheckBox;
class CHistory;
class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QTableWidget;
class QTextEdit;

class CExamDlg : public QDialog {
    Q_OBJECT
public:
    // The tone and volume are the form's; options bring the tone shape and
    // the band conditions; graded parts go into history when it is open
    // and the options keep one.
    CExamDlg(int nFreq, int nVolume, const TrainingOptions& options, CHistory* pHistory, QWidget* parent = nullptr);
    ~CExamDlg() override;

    // For tests: the run, the answer box and the buttons.
    CExamPartTest& PartTest() { return m_partTest; }
    CCharEdit* Answer() const { return m_pAnswer; }
    int Score(ExamPart part) const;
    QString VerdictText() const;
    QString ReadinessShown() const;
    QString StateText() const;
    QString MarkedHtml() const; // the graded text as shown
    CAnswerSheet* Sheet() const { return m_pSheet; }
    void UseSheet(bool bUse);
    // The program run the graded parts are kept under.
    void SetRun(const QString& run) { m_strRun = run; }
    // The font of the answer and of the graded text (the form's).
    void SetTextFont(const QFont& font);
    // Chooses a licence by key and one of its parts; practice takes the
    // speed and length too.
    void Choose(const std::string& licenceKey, ExamPart part, int nCharsPerMin = 0, int nMinutes = 0);

    // A full sitting: the licence's parts one after another, each graded
    // when it ends, a pause between them, and the licence's verdict.
    void OnSitting();
    bool InSitting() const { return m_bSitting; }
    // The pause between the parts of a sitting (tests shorten it).
    static void SetSittingPause(int ms);

    void OnChooseFile();
    void OnStart();
    void OnStop();
    void OnGrade();

protected:
    void reject() override;

private:
    void OnLicenceChanged();
    void OnPartChanged();
    void ShowTextSource();
    void OnEnded();
    void OnFailed();
    void ShowState();
    void ShowSummary();
    const ExamLicence& Licence() const;
    ExamPart Part() const;

    int m_nFreq, m_nVolume;
    TrainingOptions m_options;
    CHistory* m_pHistory;
    QString m_strRun = QStringLiteral("");
    CExamPartTest m_partTest;
    bool m_bPlaying = false;
    QElapsedTimer m_sinceStart; // for the time left, shown each second
    QTimer m_clock;
    bool m_bHeard = false; // a part was played and is not yet graded
    bool m_bSitting = false;
    QTimer m_sittingPause; // then the next part of the sitting
    void NextSittingPart();
    void StartSittingPart(int nIndex);
    // The user's text files, by licence key and part.
    std::map<std::pair<std::string, ExamPart>, std::vector<std::string>> m_userLines;
    struct PartResult {
        int nScore, nCharsPerMin, nMinutes;
        bool bStopped; // graded as far as it went; no part of a verdict
    };
    std::map<ExamPart, PartResult> m_results; // of this licence, graded in this window

    QComboBox* m_pLicence;
    QComboBox* m_pPart;
    QSpinBox* m_pSpeed;
    QSpinBox* m_pMinutes;
    QPushButton* m_pFile;
    QLabel* m_pTextSource;
    QCheckBox* m_pTelegram;
    QPushButton* m_pStart;
    QPushButton* m_pStop;
    QPushButton* m_pGrade;
    QPushButton* m_pSitting;
    QLabel* m_pState;
    CCharEdit* m_pAnswer;
    QCheckBox* m_pUseSheet;
    QScrollArea* m_pSheetArea;
    CAnswerSheet* m_pSheet;
    void OnSheetToggled();
    void OnAnswerChanged();
    QTextEdit* m_pMarked;
    QLabel* m_pScore;
    QTableWidget* m_pSummary;
    QLabel* m_pVerdict;
    QLabel* m_pReadiness;
    void ShowReadiness();
};
