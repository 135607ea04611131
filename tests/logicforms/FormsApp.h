// One QApplication for the offscreen form tests.
#pragma once

#include <QApplication>

namespace vtest {

inline QApplication& FormsApp() {
    static int argc = 1;
    static char name[] = "test_logic_forms";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

}  // namespace vtest
