#pragma once

// What a parameter study varies: one or two settings, each with its values, and how their values
// combine into points.

#include <QList>
#include <QString>
#include <QStringList>

class MaterialsManager;
struct ProjectDesign;

struct StudySetting {
    // "general/NAME", "volum/VOLUM/NAME" or "material/MATERIAL/NAME": a setting by its name, as
    // the property form shows it (a setting of a choice's alternative included).
    QString path;
    // As the setting takes them: 0 or 1 for a switch, a whole number, a real, or the name of one
    // alternative of a choice.
    QStringList values;
};

struct StudyDefinition {
    static constexpr int kMaxPoints = 10000;

    QList<StudySetting> settings; // one or two
    bool paired = false;          // two settings: pair the lists instead of every combination

    // The values of each point, in point order; false with the reason for a definition that
    // gives no points or too many.
    bool points(QList<QStringList> *points, QString *error) const;

    // Reads values written as a list ("1,2,5" or "1 2 5") or as "start:step:end" (both ends
    // included).
    static bool parseValues(const QString &text, QStringList *values, QString *error);
};

// Sets the setting named by `path` to `value` in a design read from a project file.
bool applyStudySetting(ProjectDesign &design, MaterialsManager &registry, const QString &path,
                       const QString &value, QString *error);
