#include "model/materialsmanager.h"

#include "model/material.h"

MaterialsManager *MaterialsManager::managerInstance = nullptr;

MaterialsManager::~MaterialsManager() {
    qDeleteAll(owned);
}

MaterialsManager *MaterialsManager::getInstance() {
    // Created on first use and deliberately never destroyed: volums and atoms may point into it
    // until the very end of the program.
    if (!managerInstance)
        managerInstance = new MaterialsManager;
    return managerInstance;
}

void MaterialsManager::addMaterial(Material *material) {
    if (!material)
        return;
    materials.append(material);
    owned.insert(material);
}

Material *MaterialsManager::getMaterial(const QString &name) const {
    for (Material *material : materials) {
        if (material->getName() == name)
            return material;
    }
    return nullptr;
}

void MaterialsManager::clearMaterials() {
    materials.clear();
}
