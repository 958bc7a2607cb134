// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The answer box and its own input mode, with the IMM32 calls the form makes.
#include "text/Kana.h"

#include <QPlainTextEdit>
#include <cstdint>
#include <string>

constexpr uint32_t IME_CMODE_ALPHANUMERIC = 0x0000;
constexpr uint32_t IME_CMODE_NATIVE = 0x0001;
constexpr uint32_t IME_CMODE_KATAKANA = 0x0002;
constexpr uint32_t IME_CMODE_FULLSHAPE = 0x0008;
constexpr uint32_t IME_SMODE_NONE = 0x0000;

struct CInputContext {
    int bOpen = 0;
    uint32_t dwConversion = IME_CMODE_ALPHANUMERIC;
    uint32_t dwSentence = IME_SMODE_NONE;
    bool IsHalfWidthKatakana() const
    {
        return bOpen && (dwConversion & IME_CMODE_NATIVE) && (dwConversion & IME_CMODE_KATAKANA)
            && !(dwConversion & IME_CMODE_FULLSHAPE);
    }
};
using HIMC = CInputContext*;

// The answer box: a multi-line edit as the form's EDIT styles make it
// (capitals only, Enter is a line break) whose input mode shapes what
// typing stores.
class CCharEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit CCharEdit(QWidget* parent = nullptr);

    CInputContext& InputContext() { return m_imc; }
    // The text as Windows gives it: code page 932 bytes, CR LF line ends.
    std::string GetWindowTextBytes() const;
    void SetWindowText(const QString& text);
    // Ends the romaji being typed, as leaving the box would.
    void CommitPending();
    // During a Wabun test: 半角/全角, 英数, かな or Ctrl+Space switches
    // between kana by romaji and Latin (call signs in a 和文 QSO), as an
    // input method's key would.
    void SetKanaToggle(bool bOn) { m_bKanaToggle = bOn; }
    // The Windows edit control's default limit; more is not taken.
    static constexpr int kMaxChars = 32767;
    int CharCount() const { return document()->characterCount() - 1; }

signals:
    // A paste was cut to the limit.
    void PasteCut(int nKept);

protected:
    // Each typed character passes here and is stored unchanged.
    void OnChar(QKeyEvent* event);

    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    // text cut to the room left under the limit.
    QString Fit(const QString& text) const;
    QString Shape(const QString& text) const;
    // Pending romaji are shown as composition, never stored, so neither
    // the text nor undo ever holds them; committed kana are one undo step.
    void Compose(const QString& commit);

    CInputContext m_imc;
    bool m_bKanaToggle = false;
    bool ToggleKana(QKeyEvent* event);
    CRomajiConverter m_romaji;
};

HIMC ImmGetContext(QWidget* pWnd);
int ImmReleaseContext(QWidget* pWnd, HIMC hImc);
int ImmGetOpenStatus(HIMC hImc);
int ImmSetOpenStatus(HIMC hImc, int bOpen);
int ImmGetConversionStatus(HIMC hImc, uint32_t* pdwConversion, uint32_t* pdwSentence);
int ImmSetConversionStatus(HIMC hImc, uint32_t dwConversion, uint32_t dwSentence);
