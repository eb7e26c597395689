#pragma once

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

// False when the file cannot be opened (out untouched); otherwise fills `out` completely.
bool readGeneralCatalogue(const QString &path, GeneralCatalogue &out);
// Appends the file's categories; false when the file cannot be opened (nothing appended).
bool readVolumCatalogue(const QString &path, QList<Category> &appendTo);
