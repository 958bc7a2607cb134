// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "winui/DialogTemplate.h"

extern const DlgTemplate g_dlgForm;  // IDD_DRAVIK_FORM, the copy-test form
extern const DlgTemplate g_dlgAbout; // IDD_ABOUTBOX
extern const DlgTemplate g_dlgOptions; // IDD_OPTIONS
