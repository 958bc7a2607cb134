// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Dialog templates as data, and a builder that lays them out the way
// Windows does: dialog units from the template font's base units.
#include <QFont>
#include <QSize>
#include <QString>

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

class QWidget;

// Window and control styles the builder understands.
constexpr uint32_t WS_VISIBLE = 0x10000000;
constexpr uint32_t WS_DISABLED = 0x08000000;
constexpr uint32_t WS_BORDER = 0x00800000;
constexpr uint32_t WS_VSCROLL = 0x00200000;
constexpr uint32_t WS_HSCROLL = 0x00100000;
constexpr uint32_t WS_GROUP = 0x00020000;
constexpr uint32_t WS_TABSTOP = 0x00010000;
constexpr uint32_t ES_MULTILINE = 0x0004;
constexpr uint32_t ES_UPPERCASE = 0x0008;
constexpr uint32_t ES_READONLY = 0x0800;
constexpr uint32_t BS_DEFPUSHBUTTON = 0x1;
constexpr uint32_t BS_AUTOCHECKBOX = 0x3;
constexpr uint32_t BS_GROUPBOX = 0x7;
constexpr uint32_t BS_AUTORADIOBUTTON = 0x9;
constexpr uint32_t SS_ICON = 0x3;
constexpr uint32_t SS_BLACKFRAME = 0x7;
constexpr uint32_t UDS_SETBUDDYINT = 0x02;
constexpr uint32_t UDS_ALIGNRIGHT = 0x04;
constexpr uint32_t UDS_AUTOBUDDY = 0x10;

struct DlgControl {
    int nId;
    const char* pszClass;
    const char* pszCaption;
    uint32_t dwStyle;
    int x, y, cx, cy;
};

struct DlgTemplate {
    uint32_t dwStyle;
    int cx, cy;
    const char* pszCaption;
    const char* pszFont;
    int nPointSize;
    std::vector<const char*> fontFallbacks;
    std::vector<DlgControl> controls;
};

// The font a template names, with the installed stand-ins as fallbacks.
QFont TemplateFont(const DlgTemplate& dlg);
// Pixel size of a point size at the 96 dpi that the templates assume.
int PointsToPixels(int nPoints);

// Dialog base units of a font: average width of A-Z a-z, and height.
struct BaseUnits {
    int cx;
    int cy;
    int MapX(int x) const { return x * cx / 4; }
    int MapY(int y) const { return y * cy / 8; }
};
BaseUnits FontBaseUnits(const QFont& font);

// The controls of a built template, found by id (-1 ids are unnamed).
class CDialogControls {
public:
    QWidget* GetDlgItem(int nId) const;
    const std::vector<QWidget*>& InCreationOrder() const { return m_order; }
    QSize ClientSize() const { return m_size; }

private:
    friend CDialogControls BuildDialog(QWidget*, const DlgTemplate&, const class ControlFactory&);
    std::map<int, QWidget*> m_byId;
    std::vector<QWidget*> m_order;
    QSize m_size;
};

// Lets the owner create its own classes for some ids; nullptr = default.
class ControlFactory {
public:
    std::function<QWidget*(const DlgControl& ctl, QWidget* parent)> create;
};

CDialogControls BuildDialog(QWidget* parent, const DlgTemplate& dlg, const ControlFactory& factory = {});

// A window's size bounded to 90 % of the screen's available area, so that
// it opens whole whatever the scale factor.
QSize BoundedToScreen(const QSize& wanted);
