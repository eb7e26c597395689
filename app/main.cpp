// The designer: one main window on the application's event loop.

#include "ui/mainwindow.h"

#include <QApplication>
#include <QLoggingCategory>

int main(int argc, char *argv[]) {
    // One trace line per generated atom would flood the console in atomic mode (hundreds of
    // thousands of lines); QT_LOGGING_RULES="karveno.model.atom.debug=true" brings it back.
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        QLoggingCategory::setFilterRules(QStringLiteral("karveno.model.atom.debug=false"));
    QApplication app(argc, argv);
    MainWindow window;
    window.show();
    return app.exec();
}
