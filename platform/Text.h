#pragma once
// 8-bit value texts meet QString only here. Latin-1 maps all 256 byte values
// one to one, so a value survives read, edit, save and write unchanged.

#include <QString>
#include <string>

inline QString ToQ(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string FromQ(const QString& text) {
  return text.toLatin1().toStdString();
}
