// The real implementations of the window's side effects: Qt dialogs, the message pump,
// the notification-area icon and the window icons.
#pragma once

#include <QIcon>
#include <QObject>
#include <QString>
#include <memory>

#include "main/core/Seams.h"

class QSystemTrayIcon;
class QWidget;

namespace vellora::forms {

class QtDialogs : public core::Dialogs {
  public:
    explicit QtDialogs(QWidget* owner = nullptr) : owner_(owner) {}
    void SetOwner(QWidget* owner) { owner_ = owner; }
    core::MsgResult MessageBox(const std::string& text, core::MsgButtons buttons,
                               const std::string& title) override;
    std::optional<std::string> InputBox(const std::string& prompt, const std::string& title,
                                        const std::string& initial) override;

  private:
    QWidget* owner_;
};

class QtEventPump : public core::EventPump {
  public:
    void DoEvents() override;
};

// The notification-area icon. A desktop without a tray has none: Available() is false and
// the window then minimises normally.
class TrayIcon : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;
    virtual bool Available() const = 0;
    virtual void Add() = 0;     // show the icon
    virtual void Delete() = 0;  // remove it
    virtual bool Shown() const = 0;
    virtual void SetTip(const QString& tip) = 0;
    virtual void SetIcon(const QIcon& icon) = 0;
  signals:
    void doubleClicked();
};

class QtTrayIcon : public TrayIcon {
    Q_OBJECT
  public:
    explicit QtTrayIcon(QObject* parent = nullptr);
    ~QtTrayIcon() override;
    bool Available() const override;
    void Add() override;
    void Delete() override;
    bool Shown() const override;
    void SetTip(const QString& tip) override;
    void SetIcon(const QIcon& icon) override;

  private:
    QSystemTrayIcon* icon_;
};

// The program's icon resource by name (":/icons/<name>.svg"); a null icon when there is none.
QIcon ProgramIcon(const std::string& name);

// Sets the window's icon, and with alsoOwner that of its top-level owner too. A missing
// resource gives a null icon and no error.
void SetWindowIcons(QWidget* window, const std::string& iconName, bool alsoOwner);

}  // namespace vellora::forms
