// Text crossing between the logic (UTF-8 std::string) and the widgets (QString).
#pragma once

#include <QObject>
#include <QString>
#include <QVariant>
#include <string>

namespace vellora::forms {

inline QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
inline std::string S(const QString& s) {
    return s.toStdString();
}

// A control's saved value, kept beside it so an edit can be told from the stored state.
inline constexpr const char* kTag = "tag";
inline QString Tag(const QObject* o) {
    return o->property(kTag).toString();
}
inline void SetTag(QObject* o, const QString& v) {
    o->setProperty(kTag, v);
}

}  // namespace vellora::forms
