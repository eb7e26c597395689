#pragma once

#include "model/category.h"
#include "model/categorywriter.h"

#include <QList>

class QTextStream;
class TokenReader;

// What a category block reader does with a foreign type code: Report writes "Unexpected type of
// propertie" to the debug channel (catalogues, material files), Skip is silent (project files).
// Either way the entry adds nothing and reading goes on where the stream stands.
enum class ForeignTypes { Report, Skip };

// Reads up to `count` category blocks; stops early, keeping what was read, when the stream ends.
// Counts from the file are never used to reserve memory.
QList<Category> readCategoryBlocks(QTextStream &in, qint64 count, ForeignTypes foreign);
QList<Category> readCategoryBlocks(TokenReader &reader, qint64 count, ForeignTypes foreign);
// One block: count, name, entries.
Category readCategoryBlock(TokenReader &reader, ForeignTypes foreign);

// The writer lives with the model (model/categorywriter.h): writeCategoryBlocks, writeCategoryList.
