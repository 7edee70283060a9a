// The bridge between the core's single-byte texts and Qt's strings. Every
// byte maps to the character of the same code and back, so texts pass
// through the windows unchanged.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace ov::ui {

// The single-byte text `s` as a Qt string, byte for byte.
inline QString ToQString(std::string_view s)
{
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

// The Qt string `s` as single-byte text; a character above code 255 has no
// byte and becomes "?".
inline std::string FromQString(const QString& s)
{
    const QByteArray bytes = s.toLatin1();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace ov::ui
