// Controls carry the names the program gives them, as member and as objectName, so tests and
// tools find them the same way.
#pragma once

#include <QString>
#include <QWidget>

namespace vellora::forms {

template <class W, class... Args>
W* Named(const char* name, QWidget* parent, Args&&... args) {
    auto* w = new W(std::forward<Args>(args)..., parent);
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

// Members of a control array: name_0, name_1, ...
template <class W>
W* NamedIndexed(const char* name, int index, QWidget* parent) {
    auto* w = new W(parent);
    w->setObjectName(QString::fromLatin1(name) + QLatin1Char('_') + QString::number(index));
    return w;
}

}  // namespace vellora::forms
