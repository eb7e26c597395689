#include "model/material.h"
#include "model/materialsmanager.h"
#include "model/volum.h"

#include <QTest>

class TestMaterials : public QObject {
    Q_OBJECT

private slots:
    void lookUpAndClearing();
};

void TestMaterials::lookUpAndClearing() {
    MaterialsManager registry;
    auto make = [](const char *name, int index) {
        return new Material(QString::fromLatin1(name), index, QColor(10, 20, 30), Coord(1, 0, 0),
                            Coord(0, 1, 0), Coord(0, 0, 1), {});
    };
    Material *first = make("Si", 1);
    registry.addMaterial(first);
    registry.addMaterial(make("GaAs", 2));
    registry.addMaterial(make("Si", 3));
    registry.addMaterial(nullptr);
    QCOMPARE(registry.getMaterials()->size(), 3);
    QCOMPARE(registry.getMaterial("Si"), first);   // first match wins
    QCOMPARE(registry.getMaterial("si"), nullptr); // case matters
    QCOMPARE(registry.getMaterial(QString()), nullptr);

    Volum volum(QStringLiteral("body"), 1, 1, 1);
    volum.setMaterial(first);
    registry.clearMaterials();
    QVERIFY(registry.getMaterials()->isEmpty());
    // Forgotten, not destroyed: the volum still reads its material.
    QCOMPARE(volum.getMaterial()->getName(), QStringLiteral("Si"));
    QCOMPARE(volum.getMaterial()->getColor(), QColor(10, 20, 30));
    // Added again after a clear, it must not be owned twice (ASan catches a double delete).
    registry.addMaterial(first);
}

QTEST_GUILESS_MAIN(TestMaterials)
#include "tst_materials.moc"
