#include "ui/volumnameedit.h"

#include <QKeyEvent>

VolumNameEdit::VolumNameEdit(QWidget *parent) : QLineEdit(parent) {}

void VolumNameEdit::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Space) {
        event->accept(); // swallowed, so it does not reach the dialog either
        return;
    }
    QLineEdit::keyPressEvent(event);
}
