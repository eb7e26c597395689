#ifndef KARVENO_UI_VOLUMSDIALOG_H
#define KARVENO_UI_VOLUMSDIALOG_H

// Creates a volum or edits one: name, origin, size, material, meshes, the "Write Atoms Info"
// switch and the volum's property categories. On acceptance it validates the entry and writes the
// volum into the main window's list; when validation fails it reports itself not finished and
// its caller runs it again with everything the user entered.

#include <QDialog>
#include <QList>
#include <QString>

#include <memory>

#include "model/category.h"
#include "model/volum.h"

class Material;
class PropertyForm;
class VolumNameEdit;

namespace Ui {
class VolumsDialog;
}

class VolumsDialog : public QDialog {
    Q_OBJECT

public:
    // A new volum with the given default categories, its origin at (x, y, z).
    VolumsDialog(QWidget *parent, QList<Volum> *volums, QList<Category> categories, double x,
                 double y, double z);
    // The existing volum called name.
    VolumsDialog(QWidget *parent, QList<Volum> *volums, QString name);
    ~VolumsDialog() override;

    // False after a refused acceptance: the caller sets it back and shows the dialog again.
    bool isFinish() const { return finish; }
    void setFinish(bool f) { finish = f; }

    // Name of the first volum that the box in the dialog would overlap; empty when none.
    QString checkOverlap() const;

signals:
    void volumAdded(QString newName, QString empty);
    void volumEdited(QString newName, QString oldName);
    // Emitted after volumAdded or volumEdited: the design has changed.
    void changeEvent();

public slots:
    void on_buttonBox_accepted();
    void on_propertiesList_currentRowChanged(int currentRow);
    void showHelp(QString text);
    void showOption(QWidget *subForm);
    void setRadioButtonState(bool state);

protected:
    void changeEvent(QEvent *event) override;

private:
    void setUpForm();
    void loadMaterials();
    Volum *findVolum(const QString &volumName) const;
    // Material for the volum from the material box; the volum's own one when none is selected.
    Material *chosenMaterial(const Volum *current) const;
    // Modal warning without parent or title; marks the dialog not finished.
    void refuse(const QString &text);

    std::unique_ptr<Ui::VolumsDialog> ui;
    QList<Volum> *volums;
    QList<Material *> *materials = nullptr;
    bool finish = true;
    // The edited volum's name when the dialog opened; empty when adding a volum.
    QString name;
    // The dialog's own copy of the categories; the property form edits it.
    QList<Category> default_categories;
    VolumNameEdit *vne = nullptr;
    PropertyForm *form = nullptr;
};

#endif // KARVENO_UI_VOLUMSDIALOG_H
