// One material file as the material loader reads it; then its categories as written, read back.
#include "fuzzinput.h"
#include "io/categoryblock.h"
#include "io/materialfiles.h"
#include "io/tokenreader.h"
#include "model/material.h"

#include <QTextStream>

#include <memory>

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzzing::quietDebugChannels();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    TokenReader reader(fuzzing::inputText(data, size));
    if (reader.readChar() != QLatin1Char('M'))
        return 0;
    const std::unique_ptr<Material> material(
        readMaterialRecord(reader, true, ForeignTypes::Report));
    reader.atEnd();
    reader.takeProblems();

    QString written;
    QTextStream out(&written);
    material->writeMaterialProperties(out);
    out.flush();
    TokenReader again(written);
    readCategoryBlocks(again, again.readInt(), ForeignTypes::Report);
    if (!again.atEnd())
        again.report(QStringLiteral("text after the last category"));
    fuzzing::requireNoProblems(again.takeProblems(), written);
    return 0;
}
