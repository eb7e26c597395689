#pragma once

#include "io/readproblem.h"
#include "model/category.h"

#include <QList>
#include <QString>

// The general property catalogue ("data/properties.txt"): a version, then categories.
struct GeneralCatalogue {
    int version = 0;
    QList<Category> categories;
};

inline constexpr char kGeneralCataloguePath[] = "data/properties.txt";
inline constexpr char kVolumCataloguePath[] = "data/volum_properties.txt";

// False when the file cannot be read (out untouched); otherwise fills `out` completely. The
// reading problems, when asked for, are appended to `problems`.
bool readGeneralCatalogue(const QString &path, GeneralCatalogue &out,
                          ReadProblems *problems = nullptr);
// Appends the file's categories; false when the file cannot be read (nothing appended).
bool readVolumCatalogue(const QString &path, QList<Category> &appendTo,
                        ReadProblems *problems = nullptr);
