// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "winui/DialogTemplate.h"
#include "settings/Options.h"
#include "settings/Settings.h"

#include <QDialog>

// The learner's options, laid out by its template in the form's style.
class COptionsDlg : public QDialog {
    Q_OBJECT
public:
    // nFormWpm: the speed on the form, for the effective speed in force.
    COptionsDlg(const TrainingOptions& options, int nFormWpm, QWidget* parent = nullptr);

    QWidget* GetDlgItem(int nId) const { return m_controls.GetDlgItem(nId); }
    // What the controls hold, within range.
    TrainingOptions Options() const;

private:
    void UpdateInfo();
    int BoxValue(int nId, SettingId eSetting) const;

    CDialogControls m_controls;
    int m_nFormWpm;
    TrainingOptions m_options; // as given
};
