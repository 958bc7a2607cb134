// SPDX-License-Identifier: GPL-3.0-or-later
#include "winui/FileDialog.h"

#include <QFileDialog>
#include <QRegularExpression>
#include <QFileInfo>

static FileDialogHook& Hook()
{
    static FileDialogHook s_hook;
    return s_hook;
}

void SetFileDialogHook(FileDialogHook hook) { Hook() = std::move(hook); }

QString ResolveOpenName(const QString& path, const QString& defaultSuffix)
{
    const QFileInfo info(path);
    if (info.exists() || !info.suffix().isEmpty() || defaultSuffix.isEmpty())
        return path;
    return path + QLatin1Char('.') + defaultSuffix;
}

QString GetOpenFileName(QWidget* parent, const QStringList& filters, const QString& defaultSuffix)
{
    QString chosen;
    if (Hook()) {
        chosen = Hook()(filters, defaultSuffix);
    } else {
        QFileDialog dlg(parent);
        dlg.setAcceptMode(QFileDialog::AcceptOpen);
        // Any name: one that does not exist yet is reported when a test
        // starts, as a missing phrase file is.
        dlg.setFileMode(QFileDialog::AnyFile);
        dlg.setNameFilters(filters);
        if (!filters.isEmpty())
            dlg.selectNameFilter(filters.first());
        if (dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty())
            chosen = dlg.selectedFiles().first();
    }
    return chosen.isEmpty() ? chosen : ResolveOpenName(chosen, defaultSuffix);
}

QString GetSaveFileName(QWidget* parent, const QStringList& filters, const QString& defaultSuffix)
{
    if (Hook())
        return Hook()(filters, defaultSuffix);
    QFileDialog dlg(parent);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setNameFilters(filters);
    dlg.setDefaultSuffix(defaultSuffix);
    // A name typed without a suffix takes the kind of file chosen.
    QObject::connect(&dlg, &QFileDialog::filterSelected, &dlg, [&dlg, defaultSuffix](const QString& filter) {
        const QString suffix = SuffixOfFilter(filter);
        dlg.setDefaultSuffix(suffix.isEmpty() ? defaultSuffix : suffix);
    });
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return QString();
    return dlg.selectedFiles().first();
}

QString SuffixOfFilter(const QString& filter)
{
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("\\(\\*\\.(\\w+)")).match(filter);
    return m.hasMatch() ? m.captured(1) : QString();
}
