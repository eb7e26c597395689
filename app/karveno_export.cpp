// karveno-export: writes the device and the atoms of a project file for other tools, without a
// window (scripts, login nodes).
// Exit status: 0 every file written, 1 a file could not be written, 2 the project cannot be read
// or the command line is wrong.

#include "io/projectfile.h"
#include "io/vtkexport.h"
#include "io/xyzexport.h"
#include "model/materialsmanager.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTextStream>

#include <cstdio>

namespace {

const char kDescription[] =
    "Writes the device held in a KARVENO project file for other tools.\n"
    "\n"
    "--vtk writes a VTK XML unstructured grid (.vtu) that ParaView opens directly: every mesh\n"
    "cell of every volum as a hexahedron, in metres, with the cell data 'volum' (the volum's\n"
    "number in the project, from 1), 'material' (its material's index number) and 'kind' (the\n"
    "floor of volum setting 2).\n"
    "\n"
    "--xyz writes an extended XYZ file: one line per atom with its material's name as the\n"
    "species, its absolute position in Angstrom and its volum's number. Volums whose atoms the\n"
    "project does not hold have them generated from their material's lattice.\n"
    "\n"
    "The materials and scales are the project's own; no data folder is needed.\n"
    "\n"
    "Exit status: 0 every file written, 1 a file could not be written, 2 the project cannot be\n"
    "read or the command line is wrong.";

void say(FILE *to, const QString &text) {
    std::fprintf(to, "%s\n", qPrintable(text));
}

int usageError(const QString &text) {
    say(stderr, QStringLiteral("karveno-export: ") + text);
    say(stderr, QStringLiteral("Try 'karveno-export --help' for more information."));
    return 2;
}

// Prints what was written, or why not; true when written.
bool report(const QString &path, const ExportResult &result, const char *what) {
    for (const QString &note : result.notes)
        say(stderr, QStringLiteral("karveno-export: ") + note);
    if (!result.ok()) {
        say(stderr, QStringLiteral("karveno-export: cannot write %1: %2").arg(path, result.error));
        return false;
    }
    say(stdout, QStringLiteral("%1: %2 %3").arg(path).arg(result.count).arg(QLatin1String(what)));
    return true;
}

} // namespace

int main(int argc, char *argv[]) {
    // Generating atoms traces every atom on the debug channel; a command's output is its report.
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("karveno-export"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KARVENO_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption vtk(QStringLiteral("vtk"),
                                 QStringLiteral("Write the device's mesh cells to <file> (.vtu)."),
                                 QStringLiteral("file"));
    const QCommandLineOption xyz(QStringLiteral("xyz"),
                                 QStringLiteral("Write the device's atoms to <file> (.xyz)."),
                                 QStringLiteral("file"));
    parser.addOption(vtk);
    parser.addOption(xyz);
    parser.addPositionalArgument(QStringLiteral("project"),
                                 QStringLiteral("The project file to export."));
    if (!parser.parse(app.arguments()))
        return usageError(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        // The usage line names the program as it is called, not by the path it was started from.
        QString help = parser.helpText();
        help.replace(app.arguments().first(), QStringLiteral("karveno-export"));
        std::fputs(qPrintable(help), stdout);
        return 0;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        say(stdout, QStringLiteral("karveno-export ") + QCoreApplication::applicationVersion());
        return 0;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1)
        return usageError(QStringLiteral("give exactly one project file"));
    if (!parser.isSet(vtk) && !parser.isSet(xyz))
        return usageError(QStringLiteral("give --vtk FILE, --xyz FILE or both"));

    const QString path = positional.first();
    if (QFileInfo(path).isDir()) {
        say(stderr, QStringLiteral("karveno-export: %1 is a folder, not a project file").arg(path));
        return 2;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        say(stderr,
            QStringLiteral("karveno-export: cannot read %1: %2").arg(path, file.errorString()));
        return 2;
    }
    QString text = QString::fromUtf8(file.readAll());
    if (file.error() != QFileDevice::NoError) {
        say(stderr,
            QStringLiteral("karveno-export: cannot read %1: %2").arg(path, file.errorString()));
        return 2;
    }
    QTextStream in(&text, QIODevice::ReadOnly);
    MaterialsManager registry; // the project's materials only
    ProjectDesign design;
    if (!readProject(in, design, registry).volumsRead) {
        say(stderr, QStringLiteral("karveno-export: %1 has no project structure").arg(path));
        return 2;
    }

    bool written = true;
    if (parser.isSet(vtk)) {
        const QString out = parser.value(vtk);
        written = report(out, writeVtkDevice(out, design), "cells") && written;
    }
    if (parser.isSet(xyz)) {
        const QString out = parser.value(xyz);
        const QString name = QFileInfo(path).completeBaseName();
        written = report(out, writeXyzAtoms(out, design, registry, name), "atoms") && written;
    }
    return written ? 0 : 1;
}
