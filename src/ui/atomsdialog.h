#ifndef KARVENO_UI_ATOMSDIALOG_H
#define KARVENO_UI_ATOMSDIALOG_H

// Edits one atom in place: its position relative to its volum's origin, its material and the
// number of the basis offset that produced it.

#include <QDialog>
#include <QString>

#include <memory>

class Atom;

namespace Ui {
class AtomsDialog;
}

class AtomsDialog : public QDialog {
    Q_OBJECT

public:
    // atom must outlive the dialog; it is changed only when the dialog is accepted.
    AtomsDialog(QWidget *parent, Atom &atom);
    ~AtomsDialog() override;

signals:
    // The dialog has written its values into the atom.
    void changeEvent();

public slots:
    void on_buttonBox_accepted();
    void on_materialBox_currentIndexChanged(int index);

protected:
    void changeEvent(QEvent *event) override;

private:
    // Limits the offset number to the basis offsets of the material called name.
    void setOffsetRange(const QString &name);

    std::unique_ptr<Ui::AtomsDialog> ui;
    Atom &selectedAtom;
};

#endif // KARVENO_UI_ATOMSDIALOG_H
