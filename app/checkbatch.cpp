#include "checkbatch.h"

#include "check/handover.h"
#include "io/designtext.h"
#include "io/projectfile.h"
#include "io/readproblem.h"
#include "model/materialsmanager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <new>

namespace {

struct FileResult {
    QString path;
    bool readable = false;
    bool ok = false;
    int code = 0;    // the checker's message code; 10000 for success; 0 when not checked
    QString verdict; // the verdict line, or why the file was not checked
    QString volum;   // the volum the verdict names, if any
};

// The volum whose name the verdict line holds as a word; the longest name wins, so that "Gate2"
// is not taken for "Gate".
QString volumNamedBy(const QString &line, const QList<Volum> &volums) {
    QString best;
    for (const Volum &volum : volums) {
        const QString name = volum.getName();
        if (name.isEmpty() || name.size() <= best.size())
            continue;
        const QRegularExpression word(QStringLiteral("(^|[^A-Za-z0-9_])") +
                                      QRegularExpression::escape(name) +
                                      QStringLiteral("($|[^A-Za-z0-9_])"));
        if (word.match(line).hasMatch())
            best = name;
    }
    return best;
}

int codeOf(const QString &line) {
    static const QRegularExpression code(QStringLiteral("\\[\\s*(\\d+)\\s*\\]"));
    const QRegularExpressionMatch m = code.match(line);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

FileResult checkFile(const QString &path) {
    FileResult r;
    r.path = path;
    try {
        DesignText file;
        if (!readDesignText(path, file)) {
            r.verdict = QStringLiteral("cannot read: %1").arg(file.error);
            return r;
        }
        MaterialsManager registry;
        ProjectDesign design;
        const ProjectReadResult read = readProjectText(std::move(file.text), design, registry);
        for (const ReadProblem &problem : read.problems)
            std::fprintf(stderr, "%s\n", qPrintable(problemWithFile(path, problem)));
        if (!read.volumsRead) {
            r.verdict = QStringLiteral("no project structure");
            return r;
        }
        // A design read with problems is checked as read, but it is not what the file meant.
        r.readable = read.problems.isEmpty();
        const CheckVerdict verdict = checkDesign(design, registry);
        r.ok = verdict.ok();
        r.verdict = verdict.trimmed();
        r.code = r.ok ? 10000 : verdict.checked ? codeOf(r.verdict) : 0;
        r.volum = volumNamedBy(r.verdict, design.volums);
    } catch (const std::bad_alloc &) {
        r.readable = false;
        r.ok = false;
        r.verdict = QStringLiteral("not enough memory to check it");
    }
    return r;
}

} // namespace

bool isBatchCheck(const QStringList &args) {
    int paths = 0;
    for (const QString &arg : args) {
        if (arg == QLatin1String("--json"))
            return true;
        if (!arg.startsWith(QLatin1Char('-')))
            ++paths;
    }
    return paths > 1 || (paths == 1 && QFileInfo(args.last()).isDir());
}

int checkBatch(const QStringList &args) {
    // One trace line per atom read would bury the report.
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        QLoggingCategory::setFilterRules(QStringLiteral("karveno.model.atom.debug=false"));
    bool json = false;
    QStringList files;
    for (const QString &arg : args) {
        if (arg == QLatin1String("--json")) {
            json = true;
        } else if (arg.startsWith(QLatin1Char('-'))) {
            std::fprintf(stderr, "karveno-check: unknown option %s\n", qPrintable(arg));
            return 2;
        } else if (QFileInfo(arg).isDir()) {
            const QDir folder(arg);
            QStringList names =
                folder.entryList({QStringLiteral("*.txt")}, QDir::Files | QDir::Readable);
            std::sort(names.begin(), names.end());
            if (names.isEmpty())
                std::fprintf(stderr, "karveno-check: %s holds no *.txt file\n", qPrintable(arg));
            for (const QString &name : names)
                files << folder.filePath(name);
        } else {
            files << arg;
        }
    }
    if (files.isEmpty())
        return 2;

    int free = 0, broken = 0, unreadable = 0;
    for (const QString &path : files) {
        const FileResult r = checkFile(path);
        if (!r.readable)
            ++unreadable; // not read, or read with problems
        else if (r.ok)
            ++free;
        else
            ++broken;
        if (json) {
            QJsonObject object{{"path", r.path}, {"ok", r.ok}, {"verdict", r.verdict}};
            object.insert("code", r.code > 0 ? QJsonValue(r.code) : QJsonValue());
            object.insert("volum", r.volum.isEmpty() ? QJsonValue() : QJsonValue(r.volum));
            std::printf("%s\n", QJsonDocument(object).toJson(QJsonDocument::Compact).constData());
        } else {
            std::printf("%s: %s\n", qPrintable(r.path), qPrintable(r.verdict));
        }
    }
    // With --json the standard output holds only the objects; the summary goes to the errors.
    std::fprintf(json ? stderr : stdout,
                 "%lld designs: %d free from errors, %d with errors, %d not readable\n",
                 static_cast<long long>(files.size()), free, broken, unreadable);
    return unreadable > 0 ? 2 : broken > 0 ? 1 : 0;
}
