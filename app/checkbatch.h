#pragma once

// karveno-check on several project files and folders: one line (or with --json one JSON object)
// per file, then a summary line.

#include <QStringList>

// True when the arguments ask for more than the one-file check: --json, several paths, or a
// folder.
bool isBatchCheck(const QStringList &args);

// Checks every file named and every "*.txt" file of every folder named (sorted by name) and
// returns the exit status: 0 every design is free from errors, 1 some design has an error or was
// not checked, 2 some file cannot be read, holds no project or was read with problems, or the
// arguments are wrong.
int checkBatch(const QStringList &args);
