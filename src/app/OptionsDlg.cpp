// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/OptionsDlg.h"
#include "text/Cp932.h"
#include "winui/SpinButton.h"
#include "res/Resource.h"
#include "res/Templates.h"
#include "drills/Drills.h"
#include "engine/MorseTable.h"
#include "settings/Settings.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QVBoxLayout>

static constexpr int kSnrShownWhenOff = 10;

COptionsDlg::COptionsDlg(const TrainingOptions& options, int nFormWpm, QWidget* parent)
    : QDialog(parent), m_nFormWpm(nFormWpm), m_options(options)
{
    // The controls on a page of the template's size: the dialog's whole
    // client area where the screen holds it, else scrolled (a large scale
    // factor on a small screen).
    auto* page = new QWidget(this);
    m_controls = BuildDialog(page, g_dlgOptions);
    setFont(page->font());
    const QSize size = m_controls.ClientSize();
    page->setFixedSize(size);
    if (BoundedToScreen(size) == size) {
        setFixedSize(size);
    } else {
        auto* area = new QScrollArea(this);
        area->setWidget(page);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(area);
        resize(BoundedToScreen(size));
    }
    setWindowTitle(QString::fromUtf8(g_dlgOptions.pszCaption));
    setModal(true);

    const TrainingOptions o = options.Clamped();
    qobject_cast<QRadioButton*>(GetDlgItem(o.eToneShape == ToneShape::Shaped ? IDC_RADIO_SHAPED : IDC_RADIO_SQUARE))
        ->setChecked(true);
    struct SpinDef { int nSpin; SettingId eSetting; int nValue; };
    const SpinDef spins[] = {
        {IDC_SPIN_EDGE, kSetEdgeMs, o.nEdgeMs},
        {IDC_SPIN_EFFECTIVE, kSetEffectiveWpm, o.nEffectiveWpm},
        {IDC_SPIN_KOCH, kSetKochLesson, o.nKochLesson},
        // Noise shows a level to start from while it is off.
        {IDC_SPIN_SNR, kSetNoiseSnrDb, o.HasNoise() ? o.nNoiseSnrDb : kSnrShownWhenOff},
        {IDC_SPIN_QSB_DEPTH, kSetQsbDepthDb, o.nQsbDepthDb},
        {IDC_SPIN_QSB_PERIOD, kSetQsbPeriodS, o.nQsbPeriodS},
        {IDC_SPIN_QRM_STATIONS, kSetQrmStations, o.nQrmStations},
        {IDC_SPIN_QRM_LEVEL, kSetQrmLevelDb, o.nQrmLevelDb},
        {IDC_SPIN_JITTER, kSetFistJitterPercent, o.nFistJitterPercent},
        {IDC_SPIN_FILTER, kSetFilterHz, o.nFilterHz},
        {IDC_SPIN_ROOM, kSetRoomRt60Ms, o.nRoomRt60Ms},
        {IDC_SPIN_SEED, kSetBandSeed, o.nBandSeed},
        {IDC_SPIN_VOICE_BEFORE, kSetVoiceBeforeMs, o.nVoiceBeforeMs},
        {IDC_SPIN_VOICE_AFTER, kSetVoiceAfterMs, o.nVoiceAfterMs},
    };
    for (const SpinDef& d : spins) {
        auto* spin = qobject_cast<CSpinButtonCtrl*>(GetDlgItem(d.nSpin));
        const SettingDef& def = Setting(d.eSetting);
        // Spun down from the range's bottom, a setting that has an off below it is off.
        spin->SetRange(def.nOff != kNoOff && def.nOff < def.nMin && def.eId != kSetNoiseSnrDb ? def.nOff : def.nMin,
                       def.nMax);
        spin->SetPos(d.nValue);
    }
    qobject_cast<QRadioButton*>(GetDlgItem(IDC_RADIO_LATIN_LETTERS + o.nLatinSet))->setChecked(true);
    for (int id = IDC_RADIO_LATIN_LETTERS; id <= IDC_RADIO_LATIN_PROSIGNS; ++id)
        connect(qobject_cast<QRadioButton*>(GetDlgItem(id)), &QRadioButton::toggled, this, &COptionsDlg::UpdateInfo);
    qobject_cast<QRadioButton*>(GetDlgItem(o.nPhraseText ? IDC_RADIO_PHRASE_QSO : IDC_RADIO_PHRASE_FILE))->setChecked(true);
    qobject_cast<QRadioButton*>(GetDlgItem(o.nWabunSet ? IDC_RADIO_WABUN_SIGNS : IDC_RADIO_WABUN_KANA))->setChecked(true);
    for (int id : {IDC_RADIO_WABUN_KANA, IDC_RADIO_WABUN_SIGNS})
        connect(qobject_cast<QRadioButton*>(GetDlgItem(id)), &QRadioButton::toggled, this, &COptionsDlg::UpdateInfo);
    qobject_cast<QRadioButton*>(GetDlgItem(IDC_RADIO_VOICE_OFF + o.nVoice))->setChecked(true);
    qobject_cast<QCheckBox*>(GetDlgItem(IDC_CHECK_VOICE_ICAO))->setChecked(o.bVoiceIcao);
    qobject_cast<QCheckBox*>(GetDlgItem(IDC_CHECK_WEAK))->setChecked(o.bWeightWeak);
    qobject_cast<QCheckBox*>(GetDlgItem(IDC_CHECK_KOCH_ADVANCE))->setChecked(o.bKochAdvance);
    qobject_cast<QCheckBox*>(GetDlgItem(IDC_CHECK_KEEP_HISTORY))->setChecked(o.bKeepHistory);
    auto* noise = qobject_cast<QCheckBox*>(GetDlgItem(IDC_CHECK_NOISE));
    noise->setChecked(o.HasNoise());
    auto enableSnr = [this](bool bOn) {
        for (int id : {IDC_EDIT_SNR, IDC_SPIN_SNR})
            GetDlgItem(id)->setEnabled(bOn);
    };
    enableSnr(o.HasNoise());
    connect(noise, &QCheckBox::toggled, this, enableSnr);

    for (int id : {IDC_EDIT_EFFECTIVE, IDC_EDIT_KOCH})
        connect(qobject_cast<QLineEdit*>(GetDlgItem(id)), &QLineEdit::textChanged, this, &COptionsDlg::UpdateInfo);
    auto* ok = qobject_cast<QPushButton*>(GetDlgItem(IDOK_BUTTON));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(qobject_cast<QPushButton*>(GetDlgItem(IDCANCEL_BUTTON)), &QPushButton::clicked, this, &QDialog::reject);
    UpdateInfo();
}

int COptionsDlg::BoxValue(int nId, SettingId eSetting) const
{
    // As typed, put into range; what does not parse is the default.
    bool ok = false;
    const int v = qobject_cast<QLineEdit*>(GetDlgItem(nId))->text().trimmed().toInt(&ok);
    return ok ? ClampSetting(Setting(eSetting), v) : Setting(eSetting).nDefault;
}

TrainingOptions COptionsDlg::Options() const
{
    // Options set elsewhere (the one-character window's, the measured key
    // latency) stay as they were.
    TrainingOptions o = m_options;
    o.eToneShape = qobject_cast<QRadioButton*>(GetDlgItem(IDC_RADIO_SHAPED))->isChecked() ? ToneShape::Shaped
                                                                                           : ToneShape::Square;
    o.nEdgeMs = BoxValue(IDC_EDIT_EDGE, kSetEdgeMs);
    o.nEffectiveWpm = BoxValue(IDC_EDIT_EFFECTIVE, kSetEffectiveWpm);
    o.nKochLesson = BoxValue(IDC_EDIT_KOCH, kSetKochLesson);
    for (int id = IDC_RADIO_LATIN_LETTERS; id <= IDC_RADIO_LATIN_PROSIGNS; ++id)
        if (qobject_cast<QRadioButton*>(GetDlgItem(id))->isChecked())
            o.nLatinSet = id - IDC_RADIO_LATIN_LETTERS;
    o.nPhraseText = qobject_cast<QRadioButton*>(GetDlgItem(IDC_RADIO_PHRASE_QSO))->isChecked() ? 1 : 0;
    o.nWabunSet = qobject_cast<QRadioButton*>(GetDlgItem(IDC_RADIO_WABUN_SIGNS))->isChecked() ? 1 : 0;
    o.bWeightWeak = qobject_cast<QCheckBox*>(GetDlgItem(IDC_CHECK_WEAK))->isChecked();
    o.bKochAdvance = qobject_cast<QCheckBox*>(GetDlgItem(IDC_CHECK_KOCH_ADVANCE))->isChecked();
    o.bKeepHistory = qobject_cast<QCheckBox*>(GetDlgItem(IDC_CHECK_KEEP_HISTORY))->isChecked();
    if (qobject_cast<QCheckBox*>(GetDlgItem(IDC_CHECK_NOISE))->isChecked()) {
        o.nNoiseSnrDb = BoxValue(IDC_EDIT_SNR, kSetNoiseSnrDb);
        if (!o.HasNoise())
            o.nNoiseSnrDb = kSnrShownWhenOff; // checked with the box left empty
    }
    o.nQsbDepthDb = BoxValue(IDC_EDIT_QSB_DEPTH, kSetQsbDepthDb);
    o.nQsbPeriodS = BoxValue(IDC_EDIT_QSB_PERIOD, kSetQsbPeriodS);
    o.nQrmStations = BoxValue(IDC_EDIT_QRM_STATIONS, kSetQrmStations);
    o.nQrmLevelDb = BoxValue(IDC_EDIT_QRM_LEVEL, kSetQrmLevelDb);
    o.nFistJitterPercent = BoxValue(IDC_EDIT_JITTER, kSetFistJitterPercent);
    o.nFilterHz = BoxValue(IDC_EDIT_FILTER, kSetFilterHz);
    o.nRoomRt60Ms = BoxValue(IDC_EDIT_ROOM, kSetRoomRt60Ms);
    o.nBandSeed = BoxValue(IDC_EDIT_SEED, kSetBandSeed);
    for (int id = IDC_RADIO_VOICE_OFF; id <= IDC_RADIO_VOICE_ITEM; ++id)
        if (qobject_cast<QRadioButton*>(GetDlgItem(id))->isChecked())
            o.nVoice = id - IDC_RADIO_VOICE_OFF;
    o.bVoiceIcao = qobject_cast<QCheckBox*>(GetDlgItem(IDC_CHECK_VOICE_ICAO))->isChecked();
    o.nVoiceBeforeMs = BoxValue(IDC_EDIT_VOICE_BEFORE, kSetVoiceBeforeMs);
    o.nVoiceAfterMs = BoxValue(IDC_EDIT_VOICE_AFTER, kSetVoiceAfterMs);
    return o.Clamped();
}

static QString Spaced(const std::vector<unsigned char>& chars)
{
    std::string bytes;
    for (unsigned char c : chars) {
        if (!bytes.empty())
            bytes += ' ';
        bytes += char(c);
    }
    return Cp932ToQString(ShowProsigns(bytes));
}

void COptionsDlg::UpdateInfo()
{
    const TrainingOptions o = Options();
    const int effective = o.EffectiveWpmAt(m_nFormWpm);
    QString speed;
    if (effective > 0)
        speed = QStringLiteral("文字 %1 WPM、実効 %2 WPM で送ります").arg(m_nFormWpm).arg(effective);
    else if (o.nEffectiveWpm > 0)
        speed = QStringLiteral("文字の速さ(%1 WPM)より遅くしてください").arg(m_nFormWpm);
    else
        speed = QStringLiteral("文字の速さ %1 WPM のまま送ります").arg(m_nFormWpm);
    qobject_cast<QLabel*>(GetDlgItem(IDC_STATIC_EFFECTIVE))->setText(speed);

    QString koch = QStringLiteral("すべての文字から出します");
    if (o.nKochLesson > 0)
        koch = Spaced(KochSet(o.nKochLesson, false, o.nLatinSet)) + QStringLiteral(" / ")
            + Spaced(KochSet(o.nKochLesson, true, o.nWabunSet));
    // Elided to the label's width; the whole list in its tooltip.
    auto* label = qobject_cast<QLabel*>(GetDlgItem(IDC_STATIC_KOCH));
    label->setText(label->fontMetrics().elidedText(koch, Qt::ElideRight, label->width()));
    label->setToolTip(o.nKochLesson > 0 ? koch : QString());
}
