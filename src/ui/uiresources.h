#ifndef KARVENO_UI_UIRESOURCES_H
#define KARVENO_UI_UIRESOURCES_H

// Registers the resources embedded in the user-interface library (the help page, the button
// images and the program's icon under ":/"). The library is static, so a program must ask for
// them; safe to call often.
void initUiResources();

class QIcon;
class QString;

// A button image by file name ("AddIcon.png"): the data folder's images/ copy when there is one,
// so that a site can restyle the buttons, otherwise the copy embedded in the program.
QIcon dataIcon(const QString &fileName);

// The program's own icon, for its windows.
QIcon programIcon();

#endif
