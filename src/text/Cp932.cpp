// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/Cp932.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

QString Cp932ToQString(const std::string& bytes)
{
    // Opening the ICU converter costs far more than a short decode.
    thread_local QStringDecoder dec("windows-31j", QStringConverter::Flag::Stateless);
    const bool prosigns = std::any_of(bytes.begin(), bytes.end(),
                                      [](char c) { return ProsignName(static_cast<unsigned char>(c)) != nullptr; });
    const std::string shown = prosigns ? ShowProsigns(bytes) : std::string();
    const std::string& text = prosigns ? shown : bytes;
    if (!dec.isValid())
        return QString::fromLatin1(text.data(), qsizetype(text.size()));
    return dec.decode(QByteArrayView(text.data(), qsizetype(text.size())));
}

// Only a fresh encoder tells reliably whether its first text had an
// unmappable character, so each call makes its own.
static QByteArray EncodeCp932(QStringView text, bool* pbError)
{
    QStringEncoder enc("windows-31j", QStringConverter::Flag::Stateless);
    QByteArray out = enc.encode(text);
    *pbError = !enc.isValid() || enc.hasError();
    return out;
}

std::string QStringToCp932(const QString& text)
{
    bool bError = false;
    const QByteArray all = EncodeCp932(text, &bError);
    if (!bError)
        return std::string(all.constData(), size_t(all.size()));
    // Some character has no code page 932 form: each such one becomes a
    // single '?', as a Windows edit control stores it.
    std::string bytes;
    bytes.reserve(size_t(text.size()));
    for (qsizetype i = 0; i < text.size();) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) { // ASCII maps to itself
            bytes += char(c);
            ++i;
            continue;
        }
        const qsizetype len = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
        const QByteArray one = EncodeCp932(QStringView(text).mid(i, len), &bError);
        if (bError)
            bytes += '?';
        else
            bytes.append(one.constData(), size_t(one.size()));
        i += len;
    }
    return bytes;
}

// Each prosign's byte and name; ﾎﾚ is folded to ･ and shown as it.
struct ProsignDef {
    unsigned char ch;
    const char* pszName; // code page 932
};
static const ProsignDef kProsigns[] = {
    {kProsignAR, "<AR>"}, {kProsignSK, "<SK>"}, {kProsignBT, "<BT>"}, {kProsignKN, "<KN>"},
    {kProsignAS, "<AS>"}, {kProsignBK, "<BK>"}, {kProsignRaTa, "<\xD7\xC0>"}, {0xA5, "<\xCE\xDA>"},
};

const char* ProsignName(unsigned char ch)
{
    static const char* const kFigures[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    if (IsShortFigure(ch))
        return kFigures[ch - kShortFigure0];
    if (ch == kTelegramBreak)
        return "?";
    return ch >= kProsignAR && ch <= kLastProsign ? kProsigns[ch - kProsignAR].pszName : nullptr;
}

// A name's letters in either case; kana as they are.
static bool SameNameByte(char a, char b)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c | 0x20) : c; };
    return lower(a) == lower(b);
}

std::string FoldProsigns(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const ProsignDef* found = nullptr;
        if (text[i] == '<' && i + 3 < text.size() && text[i + 3] == '>')
            for (const ProsignDef& p : kProsigns)
                if (SameNameByte(text[i + 1], p.pszName[1]) && SameNameByte(text[i + 2], p.pszName[2]))
                    found = &p;
        if (found) {
            out += char(found->ch);
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string ShowProsigns(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const char* name = ProsignName(static_cast<unsigned char>(c));
        out += name ? std::string(name) : std::string(1, c);
    }
    return out;
}
