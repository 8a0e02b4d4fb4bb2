#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace pw {

// The window's controls hold Qt strings; the libraries below it take and give UTF-8 texts.

// A UTF-8 text as a Qt string.
inline QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A Qt string as a UTF-8 text.
inline std::string ss(const QString& text) {
    return text.toUtf8().toStdString();
}

}  // namespace pw
