// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// Hiragana and full-width katakana (with the Japanese punctuation) become
// half-width katakana; voiced kana take a separate mark. Others pass.
QString ToHalfWidthKatakana(const QString& text);

// Full-width space, digits, letters and signs become their single-byte
// forms, as a half-width input mode gives them. Others pass.
QString ToSingleByteForms(const QString& text);

// Romaji typed on a plain keyboard, turned into half-width katakana the
// way a kana input method would. Letters it cannot use come out as capitals.
class CRomajiConverter {
public:
    // Takes one typed character; returns the text it completes.
    QString Feed(QChar ch);
    // Ends the pending romaji: a lone n is ﾝ, other letters stay letters.
    QString Flush();
    const QString& Pending() const { return m_strPending; }
    static bool Accepts(QChar ch);

private:
    QString m_strPending;
};
