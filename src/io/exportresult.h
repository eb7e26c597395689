#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

// What an export wrote, or why it wrote nothing.
struct ExportResult {
    QString error;          // empty when the file was written
    std::int64_t count = 0; // cells or atoms written
    QStringList notes;      // volums that contributed nothing, with the reason

    bool ok() const { return error.isEmpty(); }
};
