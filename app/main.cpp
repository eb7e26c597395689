// The designer: one main window on the application's event loop.

#include "ui/mainwindow.h"
#include "ui/uiresources.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace {

const char kDescription[] =
    "The KARVENO designer: builds an electron device from volums, materials and settings, shows\n"
    "it in 3D, checks it and runs the simulator on it.\n"
    "\n"
    "The catalogues, materials and images are read from the first of these folders that holds\n"
    "properties.txt and volum_properties.txt: data/ in the working directory, the folder named\n"
    "by KARVENO_DATA, the installed share/karveno/data, then karveno/data under the standard\n"
    "data folders ($XDG_DATA_HOME, $XDG_DATA_DIRS). Duplicated materials are written to the\n"
    "data folder's materials/ when it can be written, otherwise to\n"
    "$XDG_DATA_HOME/karveno/materials, which is read as well.";

void setIdentity() {
    QCoreApplication::setApplicationName(QStringLiteral("karveno"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KARVENO_VERSION));
}

void describe(QCommandLineParser &parser) {
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("project"),
                                 QStringLiteral("A project file to open at start."),
                                 QStringLiteral("[project]"));
}

// --help and --version are answered before the window system is reached, so that they work
// without a display; Qt's own options are left for the application object.
void answerHelpAndVersion(int argc, char *argv[]) {
    QCoreApplication core(argc, argv);
    setIdentity();
    QCommandLineParser parser;
    describe(parser);
    parser.parse(core.arguments());
    if (parser.isSet(QStringLiteral("help"))) {
        QString help = parser.helpText();
        help.replace(core.arguments().first(), QStringLiteral("karveno"));
        std::fputs(qPrintable(help), stdout);
        std::exit(0);
    }
    if (parser.isSet(QStringLiteral("version"))) {
        std::printf("karveno %s\n", KARVENO_VERSION);
        std::exit(0);
    }
}

} // namespace

int main(int argc, char *argv[]) {
    answerHelpAndVersion(argc, argv);

    QApplication app(argc, argv);
    setIdentity();
    // Where QSettings keeps the recent projects and the last folder used.
    QCoreApplication::setOrganizationName(QStringLiteral("Karveno"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.karveno.Karveno"));
    QApplication::setWindowIcon(programIcon());
    QCommandLineParser parser;
    describe(parser);
    parser.process(app); // unknown options end the program with a message
    if (parser.positionalArguments().size() > 1) {
        std::fputs("karveno: give at most one project file\n", stderr);
        return 2;
    }

    MainWindow window;
    window.show();
    if (!parser.positionalArguments().isEmpty())
        window.openProject(parser.positionalArguments().first());
    else
        window.offerRecovery();
    return app.exec();
}
