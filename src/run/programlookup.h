#ifndef PROGRAMLOOKUP_H
#define PROGRAMLOOKUP_H

// Finds the external programs the designer starts by relative name ("KARVENOCOM.exe",
// "plot/Graph_KARVENO.exe"): first in the working directory, as the desktop platforms the tool
// comes from do, then in every folder of the PATH, then beside the running program.

#include <QString>

// The path to start for `name`: an executable file found as above, or `name` itself when there is
// none (so that the start fails with the platform's own reason).
QString resolveProgram(const QString &name);

#endif
