// The main program: loading the main window is the start-up; the program ends when the
// window's close goes ahead, or at once when the first-run wizard is cancelled.
#include <QApplication>

#include "main/forms/AccountsWiring.h"
#include "main/forms/frmTavro.h"
#include "platform/mail/MailFactory.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The window may hide in the notification area while a dialog closes: only the main
    // window's own close ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    vellora::forms::frmTavro window;
    window.hooks().makeSession = [] { return vellora::mail::CreateMailSession(); };
    window.hooks().makeMessage = [] { return vellora::mail::CreateMailMessage(); };
    // The first-run wizard, the accounts and, once rule matching is given, the mail check.
    vellora::forms::AccountsWiring accounts(window, nullptr);
    QObject::connect(&window, &vellora::forms::frmTavro::unloaded, &app, &QApplication::quit);
    const auto result = window.Form_Load();
    if (result == vellora::forms::frmTavro::LoadResult::Ended) return 0;
    window.show();
    return app.exec();
}
