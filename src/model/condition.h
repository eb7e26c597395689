#pragma once

#include "model/property.h"

#include <QList>
#include <QString>

// A named alternative of a choice property, carrying sub-properties of types 0 to 3.
class Condition {
public:
    // Placeholder: empty name, not activated, no properties.
    Condition() = default;
    Condition(const QString &name, bool activated);

    bool isActivated() const { return activated; }
    void setActivated(bool a) { activated = a; }

    QList<Property> &getProperties() { return properties; }
    const QList<Property> &getProperties() const { return properties; }
    int getPropertiesCount() const { return int(properties.size()); }
    QString getName() const { return name; }
    void addProperty(const Property &property);

    bool operator==(const Condition &other) const;
    bool operator!=(const Condition &other) const { return !(*this == other); }

private:
    QList<Property> properties;
    QString name;
    bool activated = false;
};
