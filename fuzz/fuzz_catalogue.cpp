// The catalogue grammar: a version, a count, the category blocks; then the blocks as written,
// read back.
#include "fuzzinput.h"
#include "io/categoryblock.h"
#include "io/tokenreader.h"

#include <QTextStream>

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzzing::quietDebugChannels();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    TokenReader reader(fuzzing::inputText(data, size));
    reader.readInt(); // version
    const int count = reader.readInt();
    const QList<Category> categories = readCategoryBlocks(reader, count, ForeignTypes::Report);
    reader.takeProblems();

    QString written;
    QTextStream out(&written);
    writeCategoryList(out, categories);
    out.flush();
    TokenReader again(written);
    const QList<Category> reread =
        readCategoryBlocks(again, again.readInt(), ForeignTypes::Report);
    if (!again.atEnd())
        again.report(QStringLiteral("text after the last category"));
    fuzzing::requireNoProblems(again.takeProblems(), written);
    if (reread.size() != categories.size())
        std::abort();
    return 0;
}
