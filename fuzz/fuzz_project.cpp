// A project file; then the design as written, read back without a problem and written again to
// the same text.
#include "fuzzinput.h"
#include "io/projectfile.h"
#include "model/materialsmanager.h"

#include <QTextStream>

namespace {

QString written(const ProjectDesign &design, const MaterialsManager &registry) {
    QString text;
    QTextStream out(&text);
    writeProject(out, design, registry);
    out.flush();
    return text;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzzing::quietDebugChannels();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const fuzzing::ProjectInput input(data, size);
    if (!input.read.volumsRead || input.read.missingMarkers > 0)
        return 0;

    const QString once = written(input.design, input.registry);
    MaterialsManager registry2;
    ProjectDesign design2;
    const ProjectReadResult again = readProjectText(once, design2, registry2);
    fuzzing::requireNoProblems(again.problems, once);
    if (written(design2, registry2) != once) {
        std::fprintf(stderr, "written twice, two texts:\n%s\n", qPrintable(once));
        std::abort();
    }
    return 0;
}
