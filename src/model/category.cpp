#include "model/category.h"

Category::Category(const QString &name) : name(name) {}

void Category::addProperty(const Property &property) {
    properties.append(property);
}

bool Category::operator==(const Category &other) const {
    return name == other.name && properties == other.properties;
}

int flattenedCount(const QList<Category> &categories) {
    int count = 0;
    for (const Category &category : categories) {
        for (const Property &property : category.getProperties()) {
            ++count;
            if (property.getType() != Property::Choice)
                continue;
            for (const Condition &condition : property.getConditions())
                count += 1 + condition.getPropertiesCount();
        }
    }
    return count;
}
