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

static const char* const kProsignNames[] = {"<AR>", "<SK>", "<BT>", "<KN>", "<AS>", "<BK>"};

const char* ProsignName(unsigned char ch)
{
    return ch >= kProsignAR && ch <= kLastProsign ? kProsignNames[ch - kProsignAR] : nullptr;
}

std::string FoldProsigns(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        bool folded = false;
        if (text[i] == '<' && i + 3 < text.size() && text[i + 3] == '>') {
            for (unsigned char p = kProsignAR; p <= kLastProsign && !folded; ++p) {
                const char* name = ProsignName(p);
                if ((text[i + 1] | 0x20) == (name[1] | 0x20) && (text[i + 2] | 0x20) == (name[2] | 0x20)) {
                    out += char(p);
                    i += 3;
                    folded = true;
                }
            }
        }
        if (!folded)
            out += text[i];
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
