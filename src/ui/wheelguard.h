#ifndef KARVENO_UI_WHEELGUARD_H
#define KARVENO_UI_WHEELGUARD_H

// Spin boxes and combo boxes change their value under the mouse wheel even when the pointer
// merely passes over them while the user scrolls a form. A guarded box takes the wheel only
// while it has the keyboard focus; otherwise the wheel goes on to the form around it.

class QWidget;

// Guards one spin box or combo box: strong focus (click or Tab, not the wheel), and wheel
// events without focus passed to its parent.
void guardWheel(QWidget *box);

// Guards every spin box and combo box inside root.
void guardWheelInTree(QWidget *root);

#endif // KARVENO_UI_WHEELGUARD_H
