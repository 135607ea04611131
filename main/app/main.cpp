// The main program: loading the main window is the start-up; the program ends when the
// window's close goes ahead, or at once when the first-run wizard is cancelled.
#include <QApplication>

#include "main/forms/frmTavro.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The window may hide in the notification area while a dialog closes: only the main
    // window's own close ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    vellora::forms::frmTavro window;
    QObject::connect(&window, &vellora::forms::frmTavro::unloaded, &app, &QApplication::quit);
    const auto result = window.Form_Load();
    if (result == vellora::forms::frmTavro::LoadResult::Ended) return 0;
    window.show();
    return app.exec();
}
