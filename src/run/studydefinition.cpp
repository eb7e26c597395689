#include "run/studydefinition.h"

#include "io/projectfile.h"
#include "model/material.h"
#include "model/materialsmanager.h"

#include <QRegularExpression>

#include <cmath>

namespace {

QString tr(const char *text) {
    return QString::fromUtf8(text);
}

// Every property named `name` in the categories, alternatives of choices included.
QList<Property *> findProperties(QList<Category> &categories, const QString &name) {
    QList<Property *> found;
    for (Category &category : categories) {
        for (Property &property : category.getProperties()) {
            if (property.getName() == name)
                found << &property;
            for (Condition &condition : property.getConditions())
                for (Property &inner : condition.getProperties())
                    if (inner.getName() == name)
                        found << &inner;
        }
    }
    return found;
}

bool setValue(Property &property, const QString &value, QString *error) {
    bool ok = false;
    switch (property.getType()) {
    case Property::Boolean: {
        const QString word = value.trimmed().toLower();
        if (word == QLatin1String("1") || word == QLatin1String("true"))
            property.setValue(true);
        else if (word == QLatin1String("0") || word == QLatin1String("false"))
            property.setValue(false);
        else
            break;
        return true;
    }
    case Property::Integer: {
        const int v = value.trimmed().toInt(&ok);
        if (!ok)
            break;
        property.setValue(v);
        return true;
    }
    case Property::Real:
    case Property::RealExponent: {
        const double v = value.trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(v))
            break;
        property.setValue(v);
        return true;
    }
    case Property::Choice: {
        QList<Condition> &conditions = property.getConditions();
        qsizetype chosen = -1;
        for (qsizetype i = 0; i < conditions.size(); ++i)
            if (conditions[i].getName() == value.trimmed())
                chosen = i;
        if (chosen < 0) {
            QStringList names;
            for (const Condition &c : conditions)
                names << c.getName();
            *error = tr("%1 is not an alternative of %2 (%3)")
                         .arg(value, property.getName(), names.join(QLatin1String(", ")));
            return false;
        }
        for (qsizetype i = 0; i < conditions.size(); ++i)
            conditions[i].setActivated(i == chosen);
        return true;
    }
    default:
        break;
    }
    static const char *const kKinds[] = {"0 or 1", "a whole number", "a number", "a number"};
    const int type = property.getType();
    *error = tr("%1 is not a value of %2, which takes %3")
                 .arg(value, property.getName(),
                      QLatin1String(type >= 0 && type < 4 ? kKinds[type] : "no value"));
    return false;
}

QString formatNumber(double v) {
    // Ten significant digits hide the rounding of start + i * step (0.30000000000000004).
    if (std::fabs(v) < 1e-300)
        return QStringLiteral("0");
    return QString::number(v, 'g', 10);
}

} // namespace

bool StudyDefinition::parseValues(const QString &text, QStringList *values, QString *error) {
    values->clear();
    const QString trimmed = text.trimmed();
    const QStringList range = trimmed.split(QLatin1Char(':'));
    if (range.size() == 3) {
        bool a = false, b = false, c = false;
        const double start = range[0].trimmed().toDouble(&a);
        const double step = range[1].trimmed().toDouble(&b);
        const double end = range[2].trimmed().toDouble(&c);
        if (!a || !b || !c || !std::isfinite(start) || !std::isfinite(step) ||
            !std::isfinite(end)) {
            *error = tr("\"%1\" is not start:step:end with three numbers").arg(trimmed);
            return false;
        }
        if (step == 0 || (end - start) / step < 0) {
            *error = tr("the step of \"%1\" never reaches its end").arg(trimmed);
            return false;
        }
        // A small tolerance keeps an end that the steps reach up to rounding.
        const double count = std::floor((end - start) / step + 1e-9) + 1;
        if (count > kMaxPoints) {
            *error = tr("\"%1\" gives more than %2 values").arg(trimmed).arg(kMaxPoints);
            return false;
        }
        for (int i = 0; i < int(count); ++i)
            *values << formatNumber(start + i * step);
        return true;
    }
    if (range.size() != 1) {
        *error = tr("\"%1\" is neither a list nor start:step:end").arg(trimmed);
        return false;
    }
    *values = trimmed.split(QRegularExpression(QStringLiteral("[,;\\s]+")), Qt::SkipEmptyParts);
    if (values->isEmpty()) {
        *error = tr("no values given");
        return false;
    }
    if (values->size() > kMaxPoints) {
        *error = tr("more than %1 values").arg(kMaxPoints);
        return false;
    }
    return true;
}

bool StudyDefinition::points(QList<QStringList> *result, QString *error) const {
    result->clear();
    if (settings.isEmpty() || settings.size() > 2) {
        *error = tr("a study varies one or two settings");
        return false;
    }
    for (const StudySetting &s : settings) {
        if (s.values.isEmpty()) {
            *error = tr("%1 has no values").arg(s.path);
            return false;
        }
    }
    if (settings.size() == 1) {
        for (const QString &v : settings[0].values)
            *result << QStringList{v};
        return true;
    }
    const QStringList &first = settings[0].values;
    const QStringList &second = settings[1].values;
    if (paired) {
        if (first.size() != second.size()) {
            *error = tr("paired lists differ in length (%1 and %2 values)")
                         .arg(first.size())
                         .arg(second.size());
            return false;
        }
        for (qsizetype i = 0; i < first.size(); ++i)
            *result << QStringList{first[i], second[i]};
        return true;
    }
    if (qint64(first.size()) * second.size() > kMaxPoints) {
        *error = tr("every combination would give more than %1 points").arg(kMaxPoints);
        return false;
    }
    for (const QString &a : first)
        for (const QString &b : second)
            *result << QStringList{a, b};
    return true;
}

bool applyStudySetting(ProjectDesign &design, MaterialsManager &registry, const QString &path,
                       const QString &value, QString *error) {
    const QStringList parts = path.split(QLatin1Char('/'));
    QList<Category> *categories = nullptr;
    if (parts.size() == 2 && parts[0] == QLatin1String("general")) {
        categories = &design.categories;
    } else if (parts.size() == 3 && parts[0] == QLatin1String("volum")) {
        for (Volum &volum : design.volums)
            if (volum.getName() == parts[1])
                categories = &volum.getCategories();
        if (!categories) {
            *error = tr("the design has no volum %1").arg(parts[1]);
            return false;
        }
    } else if (parts.size() == 3 && parts[0] == QLatin1String("material")) {
        if (Material *material = registry.getMaterial(parts[1]))
            categories = &material->getCategories();
        if (!categories) {
            *error = tr("the design has no material %1").arg(parts[1]);
            return false;
        }
    } else {
        *error = tr("\"%1\" is not general/SETTING, volum/VOLUM/SETTING or "
                    "material/MATERIAL/SETTING")
                     .arg(path);
        return false;
    }
    const QList<Property *> found = findProperties(*categories, parts.last());
    if (found.isEmpty()) {
        *error = tr("%1: no setting named %2").arg(path, parts.last());
        return false;
    }
    if (found.size() > 1) {
        *error = tr("%1: more than one setting is named %2").arg(path, parts.last());
        return false;
    }
    return setValue(*found.first(), value, error);
}
