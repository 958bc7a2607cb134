#include "platform/Cp932.h"

#include <QStringDecoder>
#include <QStringEncoder>

QString Cp932ToQString(const std::string& bytes)
{
    // Opening the ICU converter costs far more than a short decode.
    thread_local QStringDecoder dec("windows-31j", QStringConverter::Flag::Stateless);
    if (!dec.isValid())
        return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
    return dec.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

std::string QStringToCp932(const QString& text)
{
    thread_local QStringEncoder enc("windows-31j", QStringConverter::Flag::Stateless);
    if (!enc.isValid())
        return text.toLatin1().toStdString();
    QByteArray out = enc.encode(text);
    return std::string(out.constData(), size_t(out.size()));
}
