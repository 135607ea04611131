// Text crossing between the logic (UTF-8 std::string) and the widgets (QString).
#pragma once

#include <QString>
#include <string>

namespace vellora::forms {

inline QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
inline std::string S(const QString& s) {
    return s.toStdString();
}

}  // namespace vellora::forms
