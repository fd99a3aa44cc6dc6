#pragma once
// Between the engine's strings and Qt's: engine texts are in the system code
// page, paths are the file system's bytes, and the program's own texts are
// UTF-8 literals.
#include <QByteArray>
#include <QFile>
#include <QString>

#include <string>

#include "platform/CodePage.h"

namespace tarnwick::ui {

inline QString qs(const char* utf8) { return QString::fromUtf8(utf8); }

inline QString fromStoredText(const std::string& bytes) { return QString::fromStdString(CodePage::system().ansiToUtf8(bytes)); }
inline std::string toStoredText(const QString& text) { return CodePage::system().utf8ToAnsi(text.toStdString()); }

inline QString fromPath(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }
inline std::string toPath(const QString& text) { return QFile::encodeName(text).toStdString(); }

}  // namespace tarnwick::ui
