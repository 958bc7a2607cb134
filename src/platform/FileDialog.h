#pragma once
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// An open-file dialog: filters in "Name (*.ext)" form, the first one
// selected; a name typed without suffix gets the default suffix.
// Returns the full path, or an empty string when cancelled.
QString GetOpenFileName(QWidget* parent, const QStringList& filters, const QString& defaultSuffix);

// Tests choose the file through this hook instead of a modal dialog.
using FileDialogHook = std::function<QString(const QStringList& filters, const QString& defaultSuffix)>;
void SetFileDialogHook(FileDialogHook hook);
