#include "io/catalogue.h"

#include "io/categoryblock.h"
#include "io/designtext.h"
#include "io/tokenreader.h"

namespace {

// The categories of a catalogue text, the version first when it has one.
QList<Category> readCatalogue(const QString &path, int *version, ReadProblems *problems,
                              bool &read) {
    DesignText file;
    read = readDesignText(path, file);
    if (!read)
        return {};
    TokenReader reader(std::move(file.text));
    if (version) {
        reader.setField("version");
        *version = reader.readInt();
    }
    reader.setField("number of categories");
    const int count = reader.readInt();
    reader.setField(nullptr);
    QList<Category> categories = readCategoryBlocks(reader, count, ForeignTypes::Report);
    if (!reader.atEnd())
        reader.report(QStringLiteral("text after the last category"));
    if (problems)
        problems->append(reader.takeProblems());
    return categories;
}

} // namespace

bool readGeneralCatalogue(const QString &path, GeneralCatalogue &out, ReadProblems *problems) {
    bool read = false;
    int version = 0;
    QList<Category> categories = readCatalogue(path, &version, problems, read);
    if (!read)
        return false;
    out.version = version;
    out.categories = std::move(categories);
    return true;
}

bool readVolumCatalogue(const QString &path, QList<Category> &appendTo, ReadProblems *problems) {
    bool read = false;
    QList<Category> categories = readCatalogue(path, nullptr, problems, read);
    if (read)
        appendTo.append(categories);
    return read;
}
