// The bare engine for the comparison: the least Qt WebEngine needs to print one local page
// to PDF (no window, A4), with none of webbin's hardening, job records or CUPS.
#include <unistd.h>

#include <QGuiApplication>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QUrl>
#include <QWebEnginePage>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (geteuid() == 0) setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QGuiApplication app(argc, argv);
    QWebEnginePage page;
    const QString out = QString::fromLocal8Bit(argv[2]);
    QObject::connect(&page, &QWebEnginePage::loadFinished, [&](bool) {
        page.printToPdf(out, QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    });
    QObject::connect(&page, &QWebEnginePage::pdfPrintingFinished, [](const QString&, bool ok) {
        std::fflush(nullptr);
        _exit(ok ? 0 : 1);
    });
    page.load(QUrl::fromLocalFile(QString::fromLocal8Bit(argv[1])));
    return app.exec();
}
