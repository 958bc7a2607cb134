#include "platform/FileDialog.h"

#include <QFileDialog>

static FileDialogHook& Hook()
{
    static FileDialogHook s_hook;
    return s_hook;
}

void SetFileDialogHook(FileDialogHook hook) { Hook() = std::move(hook); }

QString GetOpenFileName(QWidget* parent, const QStringList& filters, const QString& defaultSuffix)
{
    if (Hook())
        return Hook()(filters, defaultSuffix);
    QFileDialog dlg(parent);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setNameFilters(filters);
    if (!filters.isEmpty())
        dlg.selectNameFilter(filters.first());
    dlg.setDefaultSuffix(defaultSuffix);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return QString();
    return dlg.selectedFiles().first();
}
