#include "model/property.h"

#include "model/condition.h"

#include <cmath>
#include <limits>

Property::Property() = default;

Property::Property(const QString &name_, int type_, bool v, const QString &h)
    : name(name_), type(type_), value(v ? 1.0 : 0.0), help(h) {}

Property::Property(const QString &name_, int type_, int v, const QString &h)
    : name(name_), type(type_), value(double(v)), help(h) {}

Property::Property(const QString &name_, int type_, double v, const QString &h)
    : name(name_), type(type_), value(v), help(h) {}

Property::Property(const Property &other) = default;
Property::Property(Property &&other) noexcept = default;
Property &Property::operator=(const Property &other) = default;
Property &Property::operator=(Property &&other) noexcept = default;
Property::~Property() = default;

void Property::addCondition(const Condition &condition) {
    conditions.append(condition);
}

QList<Condition> &Property::getConditions() {
    return conditions;
}

const QList<Condition> &Property::getConditions() const {
    return conditions;
}

void Property::setValue(bool v) {
    value = v ? 1.0 : 0.0;
}

void Property::setValue(int v) {
    value = double(v);
}

void Property::setValue(double v) {
    value = v;
}

bool Property::getBoolValue() const {
    return value == 1.0;
}

int Property::getIntValue() const {
    // A plain cast of NaN or an out-of-range double is undefined; saturate instead.
    if (std::isnan(value))
        return 0;
    if (value >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (value <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return int(value);
}

bool Property::operator==(const Property &other) const {
    // Values compare as stored; NaN == NaN here, so a copy always equals its original.
    const bool sameValue = value == other.value || (std::isnan(value) && std::isnan(other.value));
    return name == other.name && type == other.type && sameValue && help == other.help &&
           conditions == other.conditions;
}
