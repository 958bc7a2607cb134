#pragma once
#include "engine/MorseEngine.h"
#include "winui/DialogTemplate.h"
#include "training/Options.h"
#include "training/Record.h"

#include <QFont>
#include <QWidget>

#include <cstdint>

class CCharEdit;
struct CInputContext;
class CGraphStatic;
class CSliderCtrl;
class CSpinButtonCtrl;
class QPushButton;
class QTextEdit;

using COLORREF = uint32_t; // 0x00BBGGRR
extern COLORREF g_crBlack;
extern COLORREF g_crGreen;
extern COLORREF g_crRed;
QColor ColorFromRef(COLORREF cr);

// The copy-test form: settings, Start, Stop, Evaluate, the keying graph
// and the results box sharing the display area, and the answer box.
class CDravikView : public QWidget, public CMorseEngine {
    Q_OBJECT
public:
    explicit CDravikView(QWidget* parent = nullptr);
    ~CDravikView() override;

    void OnInitialUpdate();
    bool UpdateData(bool bSaveAndValidate = true);
    QWidget* GetDlgItem(int nId) const { return m_controls.GetDlgItem(nId); }

    void OnStart();
    void OnStop();
    void OnEvaluate();
    void OnDestroy();
    void OnVScroll(int nSBCode, int nPos, QWidget* pScrollBar);
    void AppendResultText(const std::string& text, COLORREF cr);
    // Writes one test of the form's settings to a sound file (and its
    // text beside it), with a progress dialog; true when written.
    bool SaveTestAsWave(const QString& path);
    // Appends runs of text, each in its colour, laid out and scrolled once.
    struct ResultRun {
        std::string text;
        COLORREF cr;
    };
    void AppendResultRuns(const std::vector<ResultRun>& runs);

    // Most lines the results box keeps; the oldest go first.
    static constexpr int kResultsMaxLines = 5000;

    QTextEdit* m_ctlResults = nullptr;
    CGraphStatic* m_ctlGraph = nullptr;
    CSpinButtonCtrl* m_spinWpm = nullptr;
    CSpinButtonCtrl* m_spinFreq = nullptr;
    CCharEdit* m_editAnswer = nullptr;
    QFont m_font;
    // The learner's options, applied at every Start, and the run's record.
    TrainingOptions m_options;
    CRunRecord m_record;
    uint32_t m_dwSavedConversion = 0;
    uint32_t m_dwSavedSentence = 0;

signals:
    // The view wants its frame fitted to it.
    void ResizeParentToFit();
    // An evaluation added a test to m_record.
    void RecordChanged();

protected:
    virtual bool DoDataExchange(bool bSaveAndValidate);
    void OnBufferWritten() override;
    void OnStreamClosed() override;
    void OnStreamFailed(bool bWasPlaying) override;

private:
    void ConnectMessageMap();
    void AddToRecord(const std::string& typed, int nPositionPercent);
    void SwitchInputMode();
    void RestoreInputMode();
    void ReleaseInputContext(CInputContext* himc);
    void ShowResults(bool bResults);
    QPushButton* EvaluateButton() const;
    CSliderCtrl* VolumeSlider() const;
    WaveOutWindow WindowHandle() { return WaveOutWindow{this, this}; }

    CDialogControls m_controls;
};
