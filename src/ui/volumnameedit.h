#ifndef KARVENO_UI_VOLUMNAMEEDIT_H
#define KARVENO_UI_VOLUMNAMEEDIT_H

// Name field of the volum dialog: names are single words, so the space key does nothing. Text
// set or pasted is taken as it is.

#include <QLineEdit>

class VolumNameEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit VolumNameEdit(QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

#endif
