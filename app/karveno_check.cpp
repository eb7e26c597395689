// karveno-check: runs the design checker on a project file and prints its verdict line.
// Exit status: 0 when the design is free from errors, 1 for any other verdict, 2 when the file
// cannot be read, holds no project, or was read with problems.

#include "checkbatch.h"

#include "check/handover.h"
#include "io/designtext.h"
#include "io/projectfile.h"
#include "model/materialsmanager.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <new>

namespace {

const char kUsage[] =
    "Usage: karveno-check PROJECT.txt\n"
    "       karveno-check [--json] PATH...\n"
    "\n"
    "Checks the design held in a project file with the built-in design checker and prints its\n"
    "verdict: either \" [OK] SIMULATION DESIGN FREE FROM ERRORS\" or the numbered line of the\n"
    "first rule that the design breaks. The materials and general settings are the file's own;\n"
    "no data folder is needed.\n"
    "\n"
    "A design without volums, or with a volum without material, is not checked: the line then\n"
    "says so (\"No volums to check!\", \"Volum NAME has no material!\").\n"
    "\n"
    "Problems met while reading the file (a token that is not the number expected, a file\n"
    "that ends early, ...) are printed on standard error as FILE:LINE: reason; the verdict is\n"
    "still given for the design as read.\n"
    "\n"
    "Exit status: 0 free from errors, 1 any other verdict (including a design not checked),\n"
    "2 the file cannot be read, is not a project file, was read with problems, or there is\n"
    "not enough memory to check it.\n"
    "\n"
    "With several paths, a folder (every *.txt file in it, sorted by name) or --json, each file\n"
    "gets a line \"PATH: VERDICT\" and a summary line follows; with --json each file gets one "
    "JSON\n"
    "object (path, ok, code, verdict, and the volum the verdict names, or null) and the summary\n"
    "goes to the standard error. Exit status: 0 every design is free from errors, 1 some design\n"
    "has an error or was not checked, 2 some file cannot be read, is not a project file or was\n"
    "read with problems.\n";

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
    if (isBatchCheck(args))
        return checkBatch(args);
    if (args.size() != 1 || args.first().startsWith(QLatin1Char('-'))) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    const QString path = args.first();
    try {
        DesignText file;
        if (!readDesignText(path, file))
            return fail(QStringLiteral("cannot read %1: %2").arg(path, file.error));

        // A registry of its own: the project's materials are the only ones the design sees.
        MaterialsManager registry;
        ProjectDesign design;
        const ProjectReadResult read = readProjectText(std::move(file.text), design, registry);
        for (const ReadProblem &problem : read.problems)
            std::fprintf(stderr, "%s\n", qPrintable(problemWithFile(path, problem)));
        if (!read.volumsRead)
            return fail(QStringLiteral("%1 has no project structure").arg(path));

        const CheckVerdict verdict = checkDesign(design, registry);
        std::printf("%s\n", verdict.text().toLatin1().constData());
        if (!read.problems.isEmpty())
            return 2;
        return verdict.ok() ? 0 : 1;
    } catch (const std::bad_alloc &) {
        return fail(QStringLiteral("not enough memory to check %1").arg(path));
    }
}
