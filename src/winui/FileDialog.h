// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// An open-file dialog: filters in "Name (*.ext)" form, the first one
// selected; any name may be chosen (see ResolveOpenName). Returns the
// full path, or an empty string when cancelled.
QString GetOpenFileName(QWidget* parent, const QStringList& filters, const QString& defaultSuffix);

// The name as typed when that file exists; otherwise a name without a
// suffix gets the default suffix.
QString ResolveOpenName(const QString& path, const QString& defaultSuffix);

// The suffix of a filter's first pattern: "mp3" for "MP3 (*.mp3)".
QString SuffixOfFilter(const QString& filter);

// A save-file dialog with the same filters and default suffix rules; a
// name typed without a suffix takes the selected filter's.
QString GetSaveFileName(QWidget* parent, const QStringList& filters, const QString& defaultSuffix);

// Tests choose the file through this hook instead of a modal dialog.
using FileDialogHook = std::function<QString(const QStringList& filters, const QString& defaultSuffix)>;
void SetFileDialogHook(FileDialogHook hook);
