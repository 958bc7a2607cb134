// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A copy-test form after its initial update, with its controls by id.
#include "BoxRecorder.h"
#include "RecordingWaveOut.h"
#include "TestWait.h"
#include "display/GraphStatic.h"
#include "winui/SpinButton.h"
#include "winui/TickSlider.h"
#include "res/Resource.h"
#include "copytest/CharEdit.h"
#include "copytest/DravikView.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QtTest>


// The form, with a sent text of the test's choosing.
class CTestView : public CDravikView {
public:
};

struct CForm {
    CBoxRecorder boxes;
    CTestView view;

    CForm() { view.OnInitialUpdate(); }

    template <class T = QWidget> T* Item(int id) const { return qobject_cast<T*>(view.GetDlgItem(id)); }
    QLineEdit* FreqBox() const { return Item<QLineEdit>(IDC_EDIT_FREQ); }
    QLineEdit* WpmBox() const { return Item<QLineEdit>(IDC_EDIT_WPM); }
    QPushButton* Evaluate() const { return Item<QPushButton>(IDC_BUTTON_EVALUATE); }
    QTextEdit* Results() const { return view.m_ctlResults; }
    CCharEdit* Answer() const { return view.m_editAnswer; }
    CSliderCtrl* Slider() const { return Item<CSliderCtrl>(IDC_SLIDER_VOLUME); }
    bool GraphShown() const { return view.m_ctlGraph->isVisibleTo(&view); }
    bool ResultsShown() const { return Results()->isVisibleTo(&view); }

    void SelectMode(int mode) const
    {
        static const int radios[] = {IDC_RADIO_LATIN_RANDOM1, IDC_RADIO_LATIN_RANDOM5, IDC_RADIO_LATIN_PHRASE,
                                     IDC_RADIO_WABUN_RANDOM1, IDC_RADIO_WABUN_RANDOM5, IDC_RADIO_WABUN_PHRASE};
        Item<QRadioButton>(radios[mode])->setChecked(true);
    }
    void Click(int id) const { QTest::mouseClick(Item<QPushButton>(id), Qt::LeftButton); }
    // Runs the queued device notifications until the stream is back at rest.
    bool WaitForRest(int ms = 5000) const
    {
        return RunUntil([this] { return !view.IsPlaying() && g_hWaveOut == nullptr; }, ms);
    }
};
