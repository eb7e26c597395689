// karveno-check: runs the design checker on a project file and prints its verdict line.
// Exit status: 0 when the design is free from errors, 1 for any other verdict, 2 when the file
// cannot be read or holds no project.

#include "check/handover.h"
#include "io/projectfile.h"
#include "model/materialsmanager.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTextStream>

#include <cstdio>

namespace {

const char kUsage[] =
    "Usage: karveno-check PROJECT.txt\n"
    "\n"
    "Checks the design held in a project file with the built-in design checker and prints its\n"
    "verdict: either \" [OK] SIMULATION DESIGN FREE FROM ERRORS\" or the numbered line of the\n"
    "first rule that the design breaks. The materials and general settings are the file's own;\n"
    "no data folder is needed.\n"
    "\n"
    "A design without volums, or with a volum without material, is not checked: the line then\n"
    "says so (\"No volums to check!\", \"Volum NAME has no material!\").\n"
    "\n"
    "Exit status: 0 free from errors, 1 any other verdict (including a design not checked),\n"
    "2 the file cannot be read or is not a project file.\n";

int fail(const QString &text) {
    std::fprintf(stderr, "karveno-check: %s\n", qPrintable(text));
    return 2;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (args.contains(QStringLiteral("--version")) || args.contains(QStringLiteral("-v"))) {
        std::puts("karveno-check " KARVENO_VERSION);
        return 0;
    }
    if (args.size() != 1 || args.first().startsWith(QLatin1Char('-'))) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    const QString path = args.first();
    if (QFileInfo(path).isDir())
        return fail(QStringLiteral("%1 is a folder, not a project file").arg(path));

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return fail(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    // Parsed from memory: the whole file is read at once, and the reader's look-ahead never
    // has to reposition the file.
    QString text = QString::fromUtf8(file.readAll());
    if (file.error() != QFileDevice::NoError)
        return fail(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    QTextStream in(&text, QIODevice::ReadOnly);

    // A registry of its own: the project's materials are the only ones the design sees.
    MaterialsManager registry;
    ProjectDesign design;
    const ProjectReadResult read = readProject(in, design, registry);
    if (!read.volumsRead)
        return fail(QStringLiteral("%1 has no project structure").arg(path));

    const CheckVerdict verdict = checkDesign(design, registry);
    std::printf("%s\n", verdict.text().toLatin1().constData());
    return verdict.ok() ? 0 : 1;
}
