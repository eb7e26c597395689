#ifndef KARVENO_UI_UIRESOURCES_H
#define KARVENO_UI_UIRESOURCES_H

// Registers the resources embedded in the user-interface library (the help page and the button
// images under ":/"). The library is static, so a program must ask for them; safe to call often.
void initUiResources();

#endif
