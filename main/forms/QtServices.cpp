#include "main/forms/QtServices.h"

#include <QApplication>
#include <QFile>
#include <QInputDialog>
#include <QMessageBox>
#include <QSystemTrayIcon>
#include <QWidget>

#include "main/core/MainTexts.h"
#include "main/forms/QtText.h"

namespace vellora::forms {

core::MsgResult QtDialogs::MessageBox(const std::string& text, core::MsgButtons buttons,
                                      const std::string& title) {
    if (buttons == core::MsgButtons::Ok) {
        QMessageBox::information(owner_, Q(title), Q(text), QMessageBox::Ok);
        return core::MsgResult::Ok;
    }
    const auto answer = QMessageBox::question(owner_, Q(title), Q(text),
                                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    return answer == QMessageBox::Yes ? core::MsgResult::Yes : core::MsgResult::No;
}

std::optional<std::string> QtDialogs::InputBox(const std::string& prompt, const std::string& title,
                                               const std::string& initial) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(owner_, Q(title), Q(prompt), QLineEdit::Normal, Q(initial), &ok);
    if (!ok) return std::nullopt;
    return S(text);
}

void QtEventPump::DoEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

QtTrayIcon::QtTrayIcon(QObject* parent) : TrayIcon(parent), icon_(new QSystemTrayIcon(this)) {
    connect(icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::DoubleClick) emit doubleClicked();
    });
}
QtTrayIcon::~QtTrayIcon() = default;
bool QtTrayIcon::Available() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}
void QtTrayIcon::Add() {
    icon_->show();
}
void QtTrayIcon::Delete() {
    icon_->hide();
}
bool QtTrayIcon::Shown() const {
    return icon_->isVisible();
}
void QtTrayIcon::SetTip(const QString& tip) {
    icon_->setToolTip(tip);
}
void QtTrayIcon::SetIcon(const QIcon& icon) {
    icon_->setIcon(icon);
}

QIcon ProgramIcon(const std::string& name) {
    const QString path =
        Q(core::texts::kIconResourceFolder) + Q(name) + Q(core::texts::kIconResourceType);
    if (!QFile::exists(path)) return QIcon();
    return QIcon(path);
}

void SetWindowIcons(QWidget* window, const std::string& iconName, bool alsoOwner) {
    if (!window) return;
    const QIcon icon = ProgramIcon(iconName);
    window->setWindowIcon(icon);
    if (!alsoOwner) return;
    QWidget* owner = window;
    while (owner->parentWidget()) owner = owner->parentWidget()->window();
    if (owner != window) owner->setWindowIcon(icon);
}

}  // namespace vellora::forms
