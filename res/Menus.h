// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QKeySequence>
#include <vector>

struct MenuItemDef {
    const char* pszPopup; // the menu it belongs to
    const char* pszText;  // "&" marks the mnemonic, "\t" the shortcut text
    int nId;
};

struct AccelDef {
    QKeyCombination key;
    int nId;
};

struct SysMenuItemDef {
    bool bSeparator;
    int nId;
    const char* pszText;
};

extern const std::vector<MenuItemDef> g_mainMenu;
extern const std::vector<AccelDef> g_accelerators;
extern const std::vector<SysMenuItemDef> g_sysMenuAdditions;

// Strings of the shell.
extern const char* const g_pszAppTitle;   // application title
extern const char* const g_pszFrameTitle; // main window caption
