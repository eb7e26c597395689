// Where the data folder is found: the working directory's data/ first, then KARVENO_DATA, then
// the installed folder beside the program; a folder without the catalogues is passed over.

#include "io/datalocation.h"
#include "iotest.h"

#include <QtTest>

namespace {

bool makeDataFolder(const QString &path) {
    const QDir dir(path);
    return dir.mkpath(QStringLiteral(".")) && writeFile(dir.filePath("properties.txt"), "0\n") &&
           writeFile(dir.filePath("volum_properties.txt"), "0\n");
}

} // namespace

class TestDataLocation : public QObject {
    Q_OBJECT

private slots:
    void searchOrder() {
        QTemporaryDir dir;
        const QString previous = QDir::currentPath();
        const QByteArray previousData = qgetenv("KARVENO_DATA");
        auto back = qScopeGuard([&] {
            QDir::setCurrent(previous);
            qputenv("KARVENO_DATA", previousData);
        });
        QVERIFY(QDir(dir.path()).mkpath("work/data/materials") &&
                QDir::setCurrent(dir.filePath("work")));
        const QString work = QDir::current().absoluteFilePath("data");
        const QString other = QDir(dir.path()).absoluteFilePath("other");

        // Nothing anywhere: every place is named, the working directory's first.
        qputenv("KARVENO_DATA", other.toUtf8());
        DataLocation none = DataLocation::find();
        QVERIFY(!none.found());
        QCOMPARE(none.placesTried().mid(0, 2), (QStringList{work, other}));
        QVERIFY(none.placesTriedText().contains(QDir::toNativeSeparators(other)));
        QCOMPARE(none.filePath("properties.txt"), QStringLiteral("data/properties.txt"));

        // A data/ folder without catalogues (a folder of results, say) does not stop the search.
        QVERIFY(makeDataFolder(other));
        QCOMPARE(DataLocation::find().folder(), other);
        QCOMPARE(DataLocation::find().filePath("materials"), other + "/materials");

        // The working directory's catalogues win over KARVENO_DATA.
        QVERIFY(makeDataFolder(work));
        QCOMPARE(DataLocation::find().folder(), work);
        QCOMPARE(DataLocation::find().writableMaterialFolder(), work + "/materials");
    }
};

QTEST_GUILESS_MAIN(TestDataLocation)
#include "tst_datalocation.moc"
