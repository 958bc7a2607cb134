// SPDX-License-Identifier: GPL-3.0-or-later
#include "copytest/CharEdit.h"
#include "text/Cp932.h"

#include <algorithm>

#include <QApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>

CCharEdit::CCharEdit(QWidget* parent) : QPlainTextEdit(parent)
{
    // One line scrolls sideways until Enter; no scroll bars.
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
}

std::string CCharEdit::GetWindowTextBytes() const
{
    QString text = toPlainText();
    text.replace(QChar(u'\n'), QStringLiteral("\r\n"));
    return QStringToCp932(text);
}

void CCharEdit::SetWindowText(const QString& text)
{
    m_romaji.Flush();
    Compose(QString());
    setPlainText(text);
}

QString CCharEdit::Shape(const QString& text) const
{
    QString out = m_imc.IsHalfWidthKatakana() ? ToHalfWidthKatakana(text) : text;
    return ToSingleByteForms(out).toUpper();
}

QString CCharEdit::Fit(const QString& text) const
{
    const qsizetype room = std::max<qsizetype>(0, kMaxChars - CharCount() + textCursor().selectedText().size());
    return text.size() <= room ? text : text.left(room);
}

void CCharEdit::Compose(const QString& commit)
{
    QInputMethodEvent event(m_romaji.Pending(), {});
    if (!commit.isEmpty())
        event.setCommitString(Fit(Shape(commit)));
    QPlainTextEdit::inputMethodEvent(&event);
}

void CCharEdit::CommitPending()
{
    if (!m_romaji.Pending().isEmpty())
        Compose(m_romaji.Flush());
}

void CCharEdit::OnChar(QKeyEvent* event) { QPlainTextEdit::keyPressEvent(event); }

static bool IsModifierKey(int key)
{
    switch (key) {
    case Qt::Key_Shift: case Qt::Key_Control: case Qt::Key_Alt: case Qt::Key_AltGr: case Qt::Key_Meta:
    case Qt::Key_CapsLock: case Qt::Key_NumLock: case Qt::Key_ScrollLock: case Qt::Key_Super_L:
    case Qt::Key_Super_R: case Qt::Key_Hyper_L: case Qt::Key_Hyper_R: case Qt::Key_Mode_switch:
        return true;
    default:
        return false;
    }
}

bool CCharEdit::ToggleKana(QKeyEvent* event)
{
    const int key = event->key();
    const bool toggle = key == Qt::Key_Zenkaku_Hankaku || key == Qt::Key_Eisu_toggle || key == Qt::Key_Hiragana_Katakana
        || key == Qt::Key_Zenkaku || key == Qt::Key_Hankaku
        || (key == Qt::Key_Space && (event->modifiers() & Qt::ControlModifier));
    if (!m_bKanaToggle || !toggle)
        return false;
    CommitPending();
    m_imc.dwConversion = m_imc.IsHalfWidthKatakana() ? IME_CMODE_ALPHANUMERIC : IME_CMODE_NATIVE | IME_CMODE_KATAKANA;
    return true;
}

void CCharEdit::keyPressEvent(QKeyEvent* event)
{
    if (ToggleKana(event))
        return;
    if (IsModifierKey(event->key())) {
        QPlainTextEdit::keyPressEvent(event); // Shift for KA must not end "k"
        return;
    }
    const QString text = event->text();
    const bool bPlainChar = text.size() == 1 && text[0].unicode() >= 0x20 && text[0].unicode() < 0x7F
        && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (bPlainChar && m_imc.IsHalfWidthKatakana() && CRomajiConverter::Accepts(text[0])) {
        Compose(m_romaji.Feed(text[0]));
        return;
    }
    if (event->key() == Qt::Key_Backspace && !m_romaji.Pending().isEmpty()) {
        // Backspace takes back one letter of the pending romaji.
        QString rest = m_romaji.Pending();
        rest.chop(1);
        m_romaji.Flush();
        QString done;
        for (QChar c : rest)
            done += m_romaji.Feed(c);
        Compose(done);
        return;
    }
    CommitPending();
    // At the limit a character is refused, as the Windows control refuses it.
    if (!text.isEmpty() && text[0].isPrint() && Fit(text).isEmpty()) {
        QApplication::beep();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (Fit(QStringLiteral("\n")).isEmpty())
            QApplication::beep();
        else
            textCursor().insertText(QStringLiteral("\n"));
        return;
    }
    if (!text.isEmpty() && Shape(text) != text) {
        QKeyEvent shaped(event->type(), event->key(), event->modifiers(), Shape(text),
                         event->isAutoRepeat(), ushort(event->count()));
        OnChar(&shaped);
        return;
    }
    OnChar(event);
}

void CCharEdit::inputMethodEvent(QInputMethodEvent* event)
{
    // A system input method's own composition ends ours.
    CommitPending();
    if (!event->commitString().isEmpty() && Fit(Shape(event->commitString())) != event->commitString()) {
        QInputMethodEvent shaped(event->preeditString(), event->attributes());
        shaped.setCommitString(Fit(Shape(event->commitString())), event->replacementStart(),
                               event->replacementLength());
        QPlainTextEdit::inputMethodEvent(&shaped);
        return;
    }
    QPlainTextEdit::inputMethodEvent(event);
}

void CCharEdit::insertFromMimeData(const QMimeData* source)
{
    CommitPending();
    if (!source->hasText())
        return;
    // Cut before it is shaped or inserted: a huge paste costs nothing.
    const QString text = source->text();
    const QString shaped = Shape(text.left(kMaxChars + 1));
    const QString kept = Fit(shaped);
    textCursor().insertText(kept);
    if (kept.size() < shaped.size() || text.size() > kMaxChars + 1)
        emit PasteCut(int(kept.size()));
}

void CCharEdit::focusOutEvent(QFocusEvent* event)
{
    CommitPending();
    QPlainTextEdit::focusOutEvent(event);
}

void CCharEdit::mousePressEvent(QMouseEvent* event)
{
    CommitPending();
    QPlainTextEdit::mousePressEvent(event);
}

HIMC ImmGetContext(QWidget* pWnd)
{
    auto* edit = qobject_cast<CCharEdit*>(pWnd);
    return edit ? &edit->InputContext() : nullptr;
}

int ImmReleaseContext(QWidget* pWnd, HIMC hImc) { return hImc && ImmGetContext(pWnd) == hImc ? 1 : 0; }

int ImmGetOpenStatus(HIMC hImc) { return hImc ? hImc->bOpen : 0; }

int ImmSetOpenStatus(HIMC hImc, int bOpen)
{
    if (!hImc)
        return 0;
    hImc->bOpen = bOpen ? 1 : 0;
    return 1;
}

int ImmGetConversionStatus(HIMC hImc, uint32_t* pdwConversion, uint32_t* pdwSentence)
{
    if (!hImc)
        return 0;
    if (pdwConversion)
        *pdwConversion = hImc->dwConversion;
    if (pdwSentence)
        *pdwSentence = hImc->dwSentence;
    return 1;
}

int ImmSetConversionStatus(HIMC hImc, uint32_t dwConversion, uint32_t dwSentence)
{
    if (!hImc)
        return 0;
    hImc->dwConversion = dwConversion;
    hImc->dwSentence = dwSentence;
    return 1;
}
