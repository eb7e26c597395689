#pragma once

#include <QList>
#include <QString>

class Condition;

// One typed setting. Type codes: 0 boolean, 1 integer, 2 real, 3 real edited as mantissa and
// exponent, 4 choice among conditions (value = number of conditions; the chosen one is the
// condition whose activated flag is set). One double holds every value.
class Property {
public:
    enum Type { Boolean = 0, Integer = 1, Real = 2, RealExponent = 3, Choice = 4 };

    // Placeholder: empty name and help, type 0, value 0, no conditions.
    Property();
    Property(const QString &name_, int type_, bool v, const QString &h);
    Property(const QString &name_, int type_, int v, const QString &h);
    Property(const QString &name_, int type_, double v, const QString &h);
    Property(const Property &other);
    Property(Property &&other) noexcept;
    Property &operator=(const Property &other);
    Property &operator=(Property &&other) noexcept;
    ~Property();

    void addCondition(const Condition &condition);
    QList<Condition> &getConditions();
    const QList<Condition> &getConditions() const;

    // Store as the matching constructor does; the type code is left alone.
    void setValue(bool v);
    void setValue(int v);
    void setValue(double v);
    void setName(const QString &n) { name = n; }
    void setHelp(const QString &h) { help = h; }

    // True only for a stored value of exactly 1.0.
    bool getBoolValue() const;
    // The value truncated toward zero; saturates at the int range, NaN gives 0.
    int getIntValue() const;
    double getDoubleValue() const { return value; }
    QString getName() const { return name; }
    int getType() const { return type; }
    QString getHelp() const { return help; }

    bool operator==(const Property &other) const;
    bool operator!=(const Property &other) const { return !(*this == other); }

private:
    QString name;
    int type = 0;
    double value = 0.0;
    QString help;
    QList<Condition> conditions;
};
