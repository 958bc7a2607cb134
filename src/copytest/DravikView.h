// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "drills/WaveExport.h"
#include "copytest/CopyTest.h"
#include "winui/DialogTemplate.h"

#include <QColor>
#include <QFont>
#include <QWidget>

#include <deque>

class CCharEdit;
struct CInputContext;
class CGraphStatic;
class CSliderCtrl;
class CSpinButtonCtrl;
class QPushButton;
class QTextEdit;

QColor ColorFromRef(COLORREF cr);

// The copy-test form: settings, Start, Stop, Evaluate, the keying graph
// and the results box sharing the display area, and the answer box. What
// the buttons do is the copy test's; the form shows it.
class CDravikView : public QWidget, public CCopyTest {
    Q_OBJECT
public:
    explicit CDravikView(QWidget* parent = nullptr);
    ~CDravikView() override;
    // The font of the answer and the results (16 px Gothic).
    const QFont& TextFont() const { return m_font; }

    void OnInitialUpdate();
    bool UpdateData(bool bSaveAndValidate = true) override;
    QWidget* GetDlgItem(int nId) const { return m_controls.GetDlgItem(nId); }

    void OnVScroll(int nSBCode, int nPos, QWidget* pScrollBar);
    using CCopyTest::AppendResultText;
    // Appends runs of text, each in its colour, laid out and scrolled once.
    void AppendResultRuns(const std::vector<ResultRun>& runs) override;
    // Writes one test of the form's settings to a sound file (and its
    // text beside it), with a progress dialog; true when written.
    bool SaveTestAsWave(const QString& path, const SoundExport& what = {});
    // The speed the form shows now, clamped as Start would; the last
    // test's while the box holds no whole number. Asks nothing.
    int WpmShown() const;
    // A command key: the button of the form, when it is enabled.
    void PressButton(int nId);

    // Most lines the results box keeps; the oldest go first.
    static constexpr int kResultsMaxLines = 5000;
    // Characters laid out in one turn of the event loop.
    static constexpr int kResultsPiece = 4000;
    // Text still to go into the results box.
    bool ResultsPending() const { return m_bDrainingResults; }

    QTextEdit* m_ctlResults = nullptr;
    CGraphStatic* m_ctlGraph = nullptr;
    CSpinButtonCtrl* m_spinWpm = nullptr;
    CSpinButtonCtrl* m_spinFreq = nullptr;
    CCharEdit* m_editAnswer = nullptr;
    QFont m_font;
    uint32_t m_dwSavedConversion = 0;
    uint32_t m_dwSavedSentence = 0;

signals:
    // The view wants its frame fitted to it.
    void ResizeParentToFit();
    // An evaluation added a test to the record.
    void RecordChanged();
    void KochAdvanced(int nFrom, int nTo);

protected:
    virtual bool DoDataExchange(bool bSaveAndValidate);
    void OnBufferWritten() override;

    void ShowClampedSettings() override;
    std::string TakeTyped() override;
    void ClearAnswer() override;
    void FocusAnswer() override;
    void SwitchInputMode() override;
    void RestoreInputMode() override;
    void EnableEvaluate(bool bEnable) override;
    bool IsEvaluateEnabled() const override;
    void ShowResults(bool bResults) override;
    void ClearGraph() override;
    void ShowBox(const QString& text, const QString& caption, unsigned style) override;
    WaveOutWindow WindowHandle() override { return WaveOutWindow{this, this}; }
    void OnRecordChanged() override { emit RecordChanged(); }
    void OnKochAdvanced(int nFrom, int nTo) override { emit KochAdvanced(nFrom, nTo); }

private:
    void ConnectMessageMap();
    void DrainResults();
    struct ShownRun {
        QString text;
        QColor color;
    };
    std::deque<ShownRun> m_resultsQueue;
    bool m_bDrainingResults = false;
    void ReleaseInputContext(CInputContext* himc);
    QPushButton* EvaluateButton() const;
    CSliderCtrl* VolumeSlider() const;

    CDialogControls m_controls;
};
