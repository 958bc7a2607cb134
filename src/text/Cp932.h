// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <string>

// Code page 932 bytes <-> QString, only at the widget boundary.
QString Cp932ToQString(const std::string& bytes);
std::string QStringToCp932(const QString& text);
