// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SoundExportDlg.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

static SoundExportHook& Hook()
{
    static SoundExportHook s_hook;
    return s_hook;
}

void SetSoundExportHook(SoundExportHook hook) { Hook() = std::move(hook); }

bool AskSoundExport(QWidget* parent, SoundExport& what)
{
    if (Hook())
        return Hook()(what);
    QDialog dlg(parent);
    dlg.setWindowTitle(QStringLiteral("音声ﾌｧｲﾙに保存"));
    auto* content = new QComboBox(&dlg);
    content->addItems({QStringLiteral("ﾌｫｰﾑの練習"), QStringLiteral("ｺｰﾙｻｲﾝ"), QStringLiteral("欧文単語")});
    content->setCurrentIndex(int(what.eContent));
    auto* minutes = new QSpinBox(&dlg);
    minutes->setRange(0, SoundExport::kMaxMinutes);
    minutes->setSuffix(QStringLiteral(" 分"));
    minutes->setSpecialValueText(QStringLiteral("1回分"));
    minutes->setValue(what.nMinutes);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("ｷｬﾝｾﾙ"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    auto* form = new QFormLayout(&dlg);
    form->addRow(QStringLiteral("内容"), content);
    form->addRow(QStringLiteral("長さ"), minutes);
    form->addRow(new QLabel(QStringLiteral("読み上げは ｵﾌﾟｼｮﾝ > 設定 で選びます。\n"
                                           "名前を .mp3 で終えると MP3 で保存します。"),
        &dlg));
    form->addRow(buttons);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    what.eContent = SoundExport::Content(content->currentIndex());
    what.nMinutes = minutes->value();
    return true;
}
