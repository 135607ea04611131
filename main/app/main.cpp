// The main program: loading the main window is the start-up; the program ends when the
// window's close goes ahead, or at once when the first-run wizard is cancelled.
#include <QApplication>

#include "main/forms/AccountsWiring.h"
#include "main/forms/JobsWiring.h"
#include "main/forms/frmTavro.h"
#include "platform/mail/MailFactory.h"
#include "platform/print/CupsPrintSystem.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The window may hide in the notification area while a dialog closes: only the main
    // window's own close ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    vellora::print::CupsPrintSystem printers;
    vellora::forms::frmTavro window;
    window.hooks().makeSession = [] { return vellora::mail::CreateMailSession(); };
    window.hooks().makeMessage = [] { return vellora::mail::CreateMailMessage(); };
    // The accounts first: on a tab change their question comes before the rules' one.
    vellora::forms::AccountsWiring accounts(window, nullptr);
    vellora::forms::JobsWiring jobs(window, printers);
    accounts.SetMessageHandling(&jobs);  // the mail check hands each message to the rules
    QObject::connect(&window, &vellora::forms::frmTavro::unloaded, &app, &QApplication::quit);
    const auto result = window.Form_Load();
    if (result == vellora::forms::frmTavro::LoadResult::Ended) return 0;
    window.show();
    return app.exec();
}
