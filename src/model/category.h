#pragma once

#include "model/condition.h"
#include "model/property.h"

#include <QList>
#include <QString>

// A named group of properties; order of properties is the order of the files and the editors.
class Category {
public:
    Category() = default;
    explicit Category(const QString &name);

    QList<Property> &getProperties() { return properties; }
    const QList<Property> &getProperties() const { return properties; }
    QString getName() const { return name; }
    void setName(const QString &n) { name = n; }
    void addProperty(const Property &property);

    bool operator==(const Category &other) const;
    bool operator!=(const Category &other) const { return !(*this == other); }

private:
    QList<Property> properties;
    QString name;
};

// Number of entries of a category list once flattened: one per property, and for a choice
// property one more per condition plus one per property of that condition. Sizes the checker
// hand-over, which walks the settings in the same order.
int flattenedCount(const QList<Category> &categories);
