// One picture per tab of the main window (offscreen), for looking at the layout.
// Usage: window_tab_shots <folder>   (VELLORA_FOLDER names a set-up installation)
#include <QApplication>
#include <QPixmap>

#include "main/forms/frmTavro.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) return 2;
    vellora::forms::frmTavro window;
    window.Form_Load();
    window.tmrMailCheck->stop();
    window.Status().LogMailStatus("Checking mail for mail.example.com - alice");
    window.Status().LogSucStatus("Printed: Invoice 2026-031.pdf");
    window.show();
    for (int i = 0; i < 6; ++i) {
        window.SSTab1->setCurrentIndex(i);
        if (i == 4) window.optionsTab->SSTab2->setCurrentIndex(0);
        app.processEvents();
        window.grab().save(
            QStringLiteral("%1/tab%2.png").arg(QString::fromLocal8Bit(argv[1])).arg(i));
    }
    window.SSTab1->setCurrentIndex(4);
    window.optionsTab->SSTab2->setCurrentIndex(1);
    app.processEvents();
    window.grab().save(QStringLiteral("%1/tab4b.png").arg(QString::fromLocal8Bit(argv[1])));
    return 0;
}
