#include "io/materialfiles.h"
#include "iotest.h"
#include "model/material.h"
#include "model/materialsmanager.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray materialText(const QByteArray &name, const QByteArray &tail = "0\n") {
    return "M\n" + name + "\n7\n255 128 0\n0.1 0 0\n0 0.2 0\n0 0 0.3\n2\n0 0 0 " + name +
           "\n0.25 0.25 0.25\n" + tail;
}

// The material read from a file of the given content.
std::unique_ptr<Material> readFrom(const QTemporaryDir &dir, const QByteArray &content) {
    const QString path = dir.filePath(QStringLiteral("material.txt"));
    return std::unique_ptr<Material>(writeFile(path, content) ? readMaterialFile(path) : nullptr);
}

QStringList names(const MaterialsManager &registry) {
    QStringList list;
    for (const Material *m : *registry.getMaterials())
        list << m->getName();
    return list;
}

} // namespace

class TestMaterialFiles : public QObject {
    Q_OBJECT

private slots:
    void readsOneMaterial() {
        QTemporaryDir dir;
        const auto m = readFrom(dir, materialText("Si", "1\n2 Band structure\ngap 2 1.12 eV\n"
                                                        "mode 4 1 h\nonly 1 1\nm 2 0.3 mass\n"));
        QVERIFY(m && m->getName() == QStringLiteral("Si") && m->getIndexName() == 7);
        QCOMPARE(m->getColor(), QColor(255, 128, 0, 255));
        // Reals are read in single precision.
        QCOMPARE(m->getAtomVec3().getZ(), double(0.3f));
        const QList<Coord> &offsets = m->getOffsets();
        QVERIFY(offsets.size() == 2 && offsets[0].getMaterialName() == QStringLiteral("Si"));
        // An offset of three numbers has no material name.
        QVERIFY(offsets[1].getMaterialName().isEmpty() && offsets[1].getX() == 0.25);
        QCOMPARE(m->getPropertiesCount(), 2 + 1 + 1); // one category: two entries and a choice

        QVERIFY(!readMaterialFile(dir.filePath("absent.txt")));
    }

    void folderOrderAndSkippedFiles() {
        QTemporaryDir dir;
        const QDir folder(dir.path());
        QVERIFY(writeFile(folder.filePath("b.txt"), materialText("Bee")));
        QVERIFY(writeFile(folder.filePath("A.txt"), materialText("Ay")));
        QVERIFY(writeFile(folder.filePath("c.dat"), materialText("Cee")));
        QVERIFY(writeFile(folder.filePath("blank.txt"), " " + materialText("No")));
        QVERIFY(writeFile(folder.filePath("notes.txt"), "Notes\nM\n"));
        QVERIFY(writeFile(folder.filePath("empty.txt"), ""));
        QVERIFY(folder.mkdir(QStringLiteral("M_folder")));
        QVERIFY(QFile::link(folder.filePath("A.txt"), folder.filePath("a_link.txt")));

        MaterialsManager registry;
        Material *stale = new Material("Old", 1, Qt::red, {}, {}, {}, {});
        registry.addMaterial(stale);
        QVERIFY(loadMaterialFolder(dir.path(), registry));
        QCOMPARE(names(registry), (QStringList{"Ay", "Bee", "Cee"}));
        QCOMPARE(stale->getName(), QStringLiteral("Old")); // dropped from the list, still alive

        // The user's folder follows the data folder; a name loaded already is not loaded twice.
        QTemporaryDir user;
        QVERIFY(writeFile(QDir(user.path()).filePath("0.txt"), materialText("Bee")));
        QVERIFY(writeFile(QDir(user.path()).filePath("1.txt"), materialText("Aa")));
        QVERIFY(loadMaterialFolders({dir.path(), dir.filePath("absent"), user.path()}, registry));
        QCOMPARE(names(registry), (QStringList{"Ay", "Bee", "Cee", "Aa"}));
        QVERIFY(loadMaterialFolder(dir.path(), registry));

        // A missing folder leaves the registry as it was; an empty one empties it.
        QVERIFY(!loadMaterialFolder(dir.filePath("absent"), registry));
        QCOMPARE(registry.getMaterials()->size(), 3);
        QTemporaryDir emptyDir;
        QVERIFY(loadMaterialFolder(emptyDir.path(), registry));
        QVERIFY(registry.getMaterials()->isEmpty());
    }

    void malformedMaterialsStaySafe() {
        QTemporaryDir dir;
        const auto m = readFrom(dir, "M Big 1 300 -5 20 1 0 0 0 1 0 0 0 1 2000000000\n0 0 0 Big\n");
        QVERIFY(m && m->getOffsets().size() == 1 && m->getCategories().isEmpty());
        QCOMPARE(m->getColor(), QColor(255, 0, 20)); // components clamped

        const auto s = readFrom(dir, "MShort");
        QVERIFY(s && s->getName() == QStringLiteral("Short") && s->getAtomVec1().getX() == 0.0);

        MessageLog log;
        const auto f = readFrom(dir, materialText("F", "1\n1 C\nodd 8 1\n"));
        QCOMPARE(log.count(QStringLiteral("Unexpected type of propertie")), 1);
        QVERIFY(f && f->getCategories()[0].getProperties().isEmpty());
    }

    // A duplicated material is written where the loader reads it, so it must come back whole, and
    // it must never take the file of another material.
    void duplicateFileReadsBackAndNeverReplacesAnother() {
        Category category(QStringLiteral("Band"));
        category.addProperty(Property("gap", Property::Real, 1.12, QString()));
        Material m(QStringLiteral("SiCopy"), 15, QColor(1, 2, 3), Coord(0.543, 0, 0),
                   Coord(0, 0.543, 0), Coord(0, 0, 0.25),
                   {Coord(0, 0, 0, "Si"), Coord(0.25, 0.25, 0.25, ""), Coord(0.5, 0, 0, "Ge X")});
        m.setCategories({category});

        QTemporaryDir dir;
        QString error;
        QVERIFY(!writeMaterialFile(dir.filePath("absent/sicopy.txt"), m, &error));
        QVERIFY(!error.isEmpty());

        const QString first = duplicateMaterialFilePath(dir.path(), m.getName());
        QCOMPARE(first, dir.filePath("sicopy.txt"));
        QVERIFY(writeMaterialFile(first, m));
        // SICOPY differs only in letter case: it gets a file of its own.
        const QString second = duplicateMaterialFilePath(dir.path(), QStringLiteral("SICOPY"));
        QCOMPARE(second, dir.filePath("sicopy-2.txt"));

        std::unique_ptr<Material> back(readMaterialFile(first));
        QVERIFY(back && back->getName() == m.getName() && back->getIndexName() == 15);
        QCOMPARE(back->getColor(), QColor(1, 2, 3));
        QCOMPARE(float(back->getAtomVec1().getX()), 0.543f);
        QCOMPARE(back->getAtomVec3().getZ(), 0.25);
        QCOMPARE(back->getOffsets(), m.getOffsets()); // with their material names
        QCOMPARE(back->getCategories(), m.getCategories());
    }
};

QTEST_GUILESS_MAIN(TestMaterialFiles)
#include "tst_materialfiles.moc"
