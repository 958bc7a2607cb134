// SPDX-License-Identifier: GPL-3.0-or-later
#include "winui/BlinkTimeout.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QStyleHints>

CBlinkTimeout::CBlinkTimeout(int ms, QObject* parent)
    : QObject(parent), m_nFlashTime(QGuiApplication::styleHints()->cursorFlashTime())
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(ms);
    connect(&m_timer, &QTimer::timeout, this, &CBlinkTimeout::Rest);
    QCoreApplication::instance()->installEventFilter(this);
    m_timer.start();
}

CBlinkTimeout::~CBlinkTimeout() { QGuiApplication::styleHints()->setCursorFlashTime(m_nFlashTime); }

void CBlinkTimeout::Rest() { QGuiApplication::styleHints()->setCursorFlashTime(0); }

bool CBlinkTimeout::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::FocusIn:
    case QEvent::InputMethod:
        if (QGuiApplication::styleHints()->cursorFlashTime() != m_nFlashTime)
            QGuiApplication::styleHints()->setCursorFlashTime(m_nFlashTime);
        m_timer.start();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
