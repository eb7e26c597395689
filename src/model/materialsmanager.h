#pragma once

#include <QList>
#include <QSet>
#include <QString>

class Material;

// The material registry: the materials of the run, in order of addition. getInstance() gives the
// one registry of the program, created on first use and never destroyed. A registry keeps every
// material ever added to it alive until the registry itself goes away, so pointers held by volums,
// atoms and dialogs stay valid after clearMaterials(). Separate instances are for tests and tools.
class MaterialsManager {
public:
    MaterialsManager() = default;
    ~MaterialsManager();
    MaterialsManager(const MaterialsManager &) = delete;
    MaterialsManager &operator=(const MaterialsManager &) = delete;

    static MaterialsManager *getInstance();

    // Appends; takes ownership; no check for a duplicate name. Null is ignored.
    void addMaterial(Material *material);
    // First material whose name equals `name` exactly; null when none.
    Material *getMaterial(const QString &name) const;
    // The registry's own list, in order of addition.
    QList<Material *> *getMaterials() { return &materials; }
    const QList<Material *> *getMaterials() const { return &materials; }
    // Forgets the list; the materials stay alive.
    void clearMaterials();

private:
    static MaterialsManager *managerInstance;
    QList<Material *> materials;
    QSet<Material *> owned;
};
