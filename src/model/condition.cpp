#include "model/condition.h"

Condition::Condition(const QString &name, bool activated) : name(name), activated(activated) {}

void Condition::addProperty(const Property &property) {
    properties.append(property);
}

bool Condition::operator==(const Condition &other) const {
    return name == other.name && activated == other.activated && properties == other.properties;
}
