#pragma once
// Texts the program reads from outside (the tips file, the update server's
// answer): UTF-8 when they are valid UTF-8, else taken as Latin-1, so an old
// file of the Windows code page still shows its umlauts. Line ends become
// '\n'.
#include <QByteArray>
#include <QString>
#include <QStringDecoder>

namespace tarnwick::ui {

inline QString DecodeExternalText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) text = QString::fromLatin1(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

}  // namespace tarnwick::ui
