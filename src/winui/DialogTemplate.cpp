// SPDX-License-Identifier: GPL-3.0-or-later
#include "winui/DialogTemplate.h"
#include "winui/SpinButton.h"
#include "winui/TickSlider.h"

#include <QFontMetrics>
#include <QCheckBox>
#include <QButtonGroup>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTextEdit>

int PointsToPixels(int nPoints) { return (nPoints * 96 + 36) / 72; }

QFont TemplateFont(const DlgTemplate& dlg)
{
    QFont font;
    QStringList families{QString::fromUtf8(dlg.pszFont)};
    for (const char* f : dlg.fontFallbacks)
        families << QString::fromUtf8(f);
    font.setFamilies(families);
    font.setPixelSize(PointsToPixels(dlg.nPointSize));
    return font;
}

BaseUnits FontBaseUnits(const QFont& font)
{
    QFontMetrics fm(font);
    const int width = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return BaseUnits{(width / 26 + 1) / 2, fm.height()};
}

QWidget* CDialogControls::GetDlgItem(int nId) const
{
    auto it = m_byId.find(nId);
    return it == m_byId.end() ? nullptr : it->second;
}

static QWidget* CreateDefault(const DlgControl& ctl, QWidget* parent)
{
    const QString cls = QString::fromLatin1(ctl.pszClass);
    const QString caption = QString::fromUtf8(ctl.pszCaption ? ctl.pszCaption : "");
    const uint32_t kind = ctl.dwStyle & 0xF;
    if (cls == QLatin1String("EDIT")) {
        if (ctl.dwStyle & ES_MULTILINE)
            return new QPlainTextEdit(caption, parent);
        return new QLineEdit(caption, parent);
    }
    if (cls == QLatin1String("RICHEDIT")) {
        auto* edit = new QTextEdit(parent);
        edit->setReadOnly(ctl.dwStyle & ES_READONLY);
        edit->setLineWrapMode(QTextEdit::NoWrap);
        return edit;
    }
    if (cls == QLatin1String("BUTTON")) {
        if (kind == BS_GROUPBOX)
            return new QGroupBox(caption, parent);
        if (kind == BS_AUTORADIOBUTTON)
            return new QRadioButton(caption, parent);
        if (kind == BS_AUTOCHECKBOX)
            return new QCheckBox(caption, parent);
        auto* button = new QPushButton(caption, parent);
        button->setDefault(kind == BS_DEFPUSHBUTTON);
        return button;
    }
    if (cls == QLatin1String("STATIC")) {
        if (kind == SS_BLACKFRAME) {
            auto* frame = new QFrame(parent);
            frame->setFrameStyle(QFrame::Box | QFrame::Plain);
            return frame;
        }
        return new QLabel(caption, parent);
    }
    if (cls == QLatin1String("msctls_updown32"))
        return new CSpinButtonCtrl(parent);
    if (cls == QLatin1String("msctls_trackbar32"))
        return new CSliderCtrl(parent);
    return new QWidget(parent);
}

QSize BoundedToScreen(const QSize& wanted)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? wanted.boundedTo(screen->availableSize() * 9 / 10) : wanted;
}

CDialogControls BuildDialog(QWidget* parent, const DlgTemplate& dlg, const ControlFactory& factory)
{
    CDialogControls out;
    const QFont font = TemplateFont(dlg);
    parent->setFont(font);
    const BaseUnits bu = FontBaseUnits(font);
    out.m_size = QSize(bu.MapX(dlg.cx), bu.MapY(dlg.cy));

    QWidget* previous = nullptr;
    std::vector<QWidget*> groupBoxes;
    // Radio buttons are exclusive within a group, which a control with
    // WS_GROUP begins.
    QButtonGroup* radios = nullptr;
    for (const DlgControl& ctl : dlg.controls) {
        QWidget* w = factory.create ? factory.create(ctl, parent) : nullptr;
        if (!w)
            w = CreateDefault(ctl, parent);
        w->setFont(font);
        QRect rc(bu.MapX(ctl.x), bu.MapY(ctl.y), bu.MapX(ctl.cx), bu.MapY(ctl.cy));
        // Static text that the stand-in font makes wider than its box
        // grows to the right instead of being cut off.
        if (auto* label = qobject_cast<QLabel*>(w); label && !label->text().isEmpty())
            rc.setWidth(qMax(rc.width(), label->sizeHint().width()));
        w->setGeometry(rc);
        if (auto* frame = qobject_cast<QFrame*>(w); frame && (ctl.dwStyle & WS_BORDER)
            && frame->frameShape() == QFrame::NoFrame) {
            frame->setFrameStyle(QFrame::Box | QFrame::Plain);
            frame->setLineWidth(1);
        }
        if (auto* spin = qobject_cast<CSpinButtonCtrl*>(w)) {
            auto* buddy = qobject_cast<QLineEdit*>(previous);
            if ((ctl.dwStyle & UDS_AUTOBUDDY) && buddy) {
                spin->SetBuddy(buddy, ctl.dwStyle & UDS_SETBUDDYINT);
                if (ctl.dwStyle & UDS_ALIGNRIGHT) {
                    // Sits inside the buddy's right edge, as tall as the buddy.
                    const QRect b = buddy->geometry();
                    const int sw = rc.width();
                    spin->setGeometry(b.right() + 1 - sw, b.top(), sw, b.height());
                    buddy->setTextMargins(0, 0, sw, 0);
                }
            }
        }
        if (qobject_cast<QGroupBox*>(w)) {
            // Frames only: beneath the others and not in the way of clicks.
            w->setAttribute(Qt::WA_TransparentForMouseEvents);
            w->setFocusPolicy(Qt::NoFocus);
            groupBoxes.push_back(w);
        } else if (!(ctl.dwStyle & WS_TABSTOP) && !qobject_cast<QRadioButton*>(w)
                   && !qobject_cast<QPlainTextEdit*>(w)) {
            w->setFocusPolicy(Qt::NoFocus);
        }
        if (ctl.dwStyle & WS_GROUP)
            radios = nullptr;
        if (auto* radio = qobject_cast<QRadioButton*>(w)) {
            if (!radios)
                radios = new QButtonGroup(parent);
            radios->addButton(radio);
        }
        w->setEnabled(!(ctl.dwStyle & WS_DISABLED));
        w->setVisible(ctl.dwStyle & WS_VISIBLE);
        if (ctl.nId != -1)
            out.m_byId[ctl.nId] = w;
        out.m_order.push_back(w);
        previous = w;
    }
    for (QWidget* g : groupBoxes)
        g->lower();
    // Tab order follows creation order.
    QWidget* last = nullptr;
    for (QWidget* w : out.m_order) {
        if (w->focusPolicy() == Qt::NoFocus)
            continue;
        if (last)
            QWidget::setTabOrder(last, w);
        last = w;
    }
    return out;
}
