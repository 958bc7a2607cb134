#include "platform/InputMode.h"
#include "platform/Cp932.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>

CEditCtrl::CEditCtrl(QWidget* parent) : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setTabChangesFocus(true);
}

std::string CEditCtrl::GetWindowTextBytes() const
{
    QString text = toPlainText();
    text.replace(QChar(u'\n'), QStringLiteral("\r\n"));
    return QStringToCp932(text);
}

void CEditCtrl::SetWindowText(const QString& text)
{
    m_romaji.Flush();
    m_nPendingShown = 0;
    setPlainText(text);
}

QString CEditCtrl::Shape(const QString& text) const
{
    QString out = m_imc.IsHalfWidthKatakana() ? ToHalfWidthKatakana(text) : text;
    return out.toUpper();
}

void CEditCtrl::ReplacePending(const QString& text)
{
    QTextCursor cur = textCursor();
    cur.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, m_nPendingShown);
    cur.insertText(text);
    setTextCursor(cur);
}

void CEditCtrl::CommitPending()
{
    if (m_romaji.Pending().isEmpty())
        return;
    ReplacePending(m_romaji.Flush());
    m_nPendingShown = 0;
}

void CEditCtrl::OnChar(QKeyEvent* event) { QPlainTextEdit::keyPressEvent(event); }

void CEditCtrl::keyPressEvent(QKeyEvent* event)
{
    const QString text = event->text();
    const bool bPlainChar = text.size() == 1 && text[0].unicode() >= 0x20 && text[0].unicode() < 0x7F
        && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (bPlainChar && m_imc.IsHalfWidthKatakana() && CRomajiConverter::Accepts(text[0])) {
        const QString done = m_romaji.Feed(text[0]);
        ReplacePending(done + m_romaji.Pending());
        m_nPendingShown = int(m_romaji.Pending().size());
        return;
    }
    if (event->key() == Qt::Key_Backspace && m_nPendingShown > 0) {
        // Backspace takes back one letter of the pending romaji.
        QString rest = m_romaji.Flush();
        rest.chop(1);
        ReplacePending(QString());
        m_nPendingShown = 0;
        for (QChar c : rest.toLower())
            m_romaji.Feed(c);
        ReplacePending(m_romaji.Pending());
        m_nPendingShown = int(m_romaji.Pending().size());
        return;
    }
    CommitPending();
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
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

void CEditCtrl::inputMethodEvent(QInputMethodEvent* event)
{
    CommitPending();
    if (!event->commitString().isEmpty() && Shape(event->commitString()) != event->commitString()) {
        QInputMethodEvent shaped(event->preeditString(), event->attributes());
        shaped.setCommitString(Shape(event->commitString()), event->replacementStart(),
                               event->replacementLength());
        QPlainTextEdit::inputMethodEvent(&shaped);
        return;
    }
    QPlainTextEdit::inputMethodEvent(event);
}

void CEditCtrl::insertFromMimeData(const QMimeData* source)
{
    CommitPending();
    if (source->hasText())
        textCursor().insertText(Shape(source->text()));
}

void CEditCtrl::focusOutEvent(QFocusEvent* event)
{
    CommitPending();
    QPlainTextEdit::focusOutEvent(event);
}

void CEditCtrl::mousePressEvent(QMouseEvent* event)
{
    CommitPending();
    QPlainTextEdit::mousePressEvent(event);
}

HIMC ImmGetContext(QWidget* pWnd)
{
    auto* edit = qobject_cast<CEditCtrl*>(pWnd);
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
