#include "model/material.h"
#include "model/materialsmanager.h"
#include "model/volum.h"

#include <QTest>

namespace {

Material *makeMaterial(const QString &name, int index = 1) {
    return new Material(name, index, QColor(10, 20, 30), Coord(1, 0, 0), Coord(0, 1, 0),
                        Coord(0, 0, 1), {Coord(0, 0, 0, name)});
}

} // namespace

class TestMaterials : public QObject {
    Q_OBJECT

private slots:
    void lookUpIsExactAndFirstMatchWins();
    void clearingKeepsMaterialsAlive();
    void singleRegistry();
    void nullMaterialHelpers();
    void flattenedCountOfMaterialCategories();
};

void TestMaterials::lookUpIsExactAndFirstMatchWins() {
    MaterialsManager registry;
    Material *first = makeMaterial(QStringLiteral("Si"), 1);
    Material *second = makeMaterial(QStringLiteral("Si"), 2);
    registry.addMaterial(first);
    registry.addMaterial(makeMaterial(QStringLiteral("GaAs"), 3));
    registry.addMaterial(second);
    registry.addMaterial(nullptr);

    QCOMPARE(registry.getMaterial(QStringLiteral("Si")), first);
    QCOMPARE(registry.getMaterial(QStringLiteral("si")), nullptr);
    QCOMPARE(registry.getMaterial(QStringLiteral("Ge")), nullptr);
    QCOMPARE(registry.getMaterial(QString()), nullptr);
    QCOMPARE(registry.getMaterials()->size(), 3);
    QCOMPARE(registry.getMaterials()->at(1)->getName(), QStringLiteral("GaAs"));
}

void TestMaterials::clearingKeepsMaterialsAlive() {
    MaterialsManager registry;
    Material *silicon = makeMaterial(QStringLiteral("Si"));
    registry.addMaterial(silicon);
    Volum volum(QStringLiteral("body"), 1, 1, 1);
    volum.setMaterial(silicon);

    registry.clearMaterials();
    QVERIFY(registry.getMaterials()->isEmpty());
    QCOMPARE(registry.getMaterial(QStringLiteral("Si")), nullptr);
    // The volum's pointer still reaches a live material.
    QCOMPARE(volum.getMaterial()->getName(), QStringLiteral("Si"));
    QCOMPARE(volum.getMaterial()->getColor(), QColor(10, 20, 30));

    // Adding the same material again after a clear must not make it owned twice.
    registry.addMaterial(silicon);
    QCOMPARE(registry.getMaterial(QStringLiteral("Si")), silicon);
}

void TestMaterials::singleRegistry() {
    MaterialsManager *a = MaterialsManager::getInstance();
    QVERIFY(a);
    QCOMPARE(MaterialsManager::getInstance(), a);
}

void TestMaterials::nullMaterialHelpers() {
    QCOMPARE(materialWord(nullptr), QString::fromLatin1(kNoMaterialWord));
    QCOMPARE(materialIndex(nullptr), kNoMaterialIndex);
    const Atom atom(1, 2, 3, nullptr, true, 2, 3);
    QCOMPARE(atom.getMaterialName(), QString());
    QCOMPARE(atom.getMaterialIndex(), kNoMaterialIndex);
    QCOMPARE(atom.offsetNumber(), 2);
    QCOMPARE(Atom(0, 0, 0, nullptr, false).offsetNumber(), 0);

    // A material whose name would not read back as one word is written as one.
    Material spaced(QStringLiteral("Poly Si"), 4, Qt::red, Coord(), Coord(), Coord(), {});
    QCOMPARE(materialWord(&spaced), QStringLiteral("Poly_Si"));
    QCOMPARE(materialIndex(&spaced), 4);
}

void TestMaterials::flattenedCountOfMaterialCategories() {
    Material material(QStringLiteral("Si"), 1, Qt::gray, Coord(), Coord(), Coord(), {});
    QCOMPARE(material.getPropertiesCount(), 0);
    Category category(QStringLiteral("Band"));
    category.addProperty(Property(QStringLiteral("gap"), Property::Real, 1.12, QString()));
    category.addProperty(Property(QStringLiteral("mass"), Property::Real, 0.26, QString()));
    material.setCategories({category, category});
    QCOMPARE(material.getPropertiesCount(), 4);
}

QTEST_GUILESS_MAIN(TestMaterials)
#include "tst_materials.moc"
