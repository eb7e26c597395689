#pragma once
// What every fuzz target shares: the input as the readers see a file, quiet debug channels, and
// the check that the project's own writer produces text that reads back without a problem.

#include "io/designtext.h"
#include "io/projectfile.h"
#include "io/readproblem.h"
#include "model/materialsmanager.h"

#include <QLoggingCategory>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzzing {

// The bytes as a text-mode read and the decoder give them to the readers.
inline QString inputText(const uint8_t *data, size_t size) {
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    bytes.replace('\r', QByteArray());
    return decodeDesignText(bytes);
}

// The input read as a project file, into a design with a material registry of its own.
struct ProjectInput {
    ProjectInput(const uint8_t *data, size_t size)
        : read(readProjectText(inputText(data, size), design, registry)) {}

    MaterialsManager registry;
    ProjectDesign design;
    ProjectReadResult read;
};

inline void quietDebugChannels() {
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
}

// Text written by the project itself must read back without a problem.
inline void requireNoProblems(const ReadProblems &problems, const QString &written) {
    if (problems.isEmpty())
        return;
    std::fprintf(stderr, "written text read with a problem: %s\n--- text ---\n%s\n",
                 qPrintable(problemText(problems.first())), qPrintable(written));
    std::abort();
}

} // namespace fuzzing
