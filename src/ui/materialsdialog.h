#ifndef KARVENO_UI_MATERIALSDIALOG_H
#define KARVENO_UI_MATERIALSDIALOG_H

// Edits the registry's materials: for the material chosen in the combo box its colour, lattice
// vectors, basis (in a VectorListWidget) and property categories. It can also duplicate the chosen
// material under a new name and colour, adding the copy to the registry and writing it as a
// material file that the next start reads again. Changes reach the registry's objects while the
// dialog is open (the view shows a new colour at once); Cancel, Escape and closing the window
// put the registry back as the dialog found it.

#include <QColor>
#include <QDialog>
#include <QList>
#include <QString>

#include <memory>

class Material;
class PropertyForm;
class VectorListWidget;

namespace Ui {
class MaterialsDialog;
}

class MaterialsDialog : public QDialog {
    Q_OBJECT

public:
    explicit MaterialsDialog(QWidget *parent = nullptr);
    ~MaterialsDialog() override;

    // Whether the user changed a basis list while the dialog was open; the atoms of the design
    // must then be generated again.
    bool isVectorListModified() const { return vectorListModified; }

    // Whether the registry now differs from what the dialog opened with: a colour chosen, a
    // material duplicated, or values written back when another material was chosen.
    bool hasWrittenChanges() const;

signals:
    // Emitted when an acceptance leaves the registry changed.
    void changeEvent();

public slots:
    void reject() override;
    void on_buttonBox_accepted();
    void on_materialBox_currentIndexChanged(int index);
    void on_propertiesList_currentRowChanged(int currentRow);
    void showHelp(QString text);
    void showOption(QWidget *subForm);
    void setRadioButtonState(bool state);
    void vectorListChangedSlot();
    void on_duplicateButton_clicked();
    void on_colorButton_clicked();

protected:
    void changeEvent(QEvent *event) override;

private:
    Material *shownMaterial() const;
    // Writes the lattice boxes, the basis editor and the shown category into the shown material.
    void storeShownMaterial();
    void showColor();
    // Writes a duplicated material as a material file where the next start reads it (the data
    // folder's materials when writable, else the user's own), and says where it went: in the
    // status line (and the window's status bar), or in a box with the path and the reason.
    void saveDuplicate(const Material &material);

    std::unique_ptr<Ui::MaterialsDialog> ui;
    QList<Material *> *materials;
    // Name and registry index of the material whose data the dialog shows.
    QString lastmat;
    int lastmatindex = 0;
    QColor color;
    PropertyForm *form = nullptr;
    VectorListWidget *vector_list_widget = nullptr;
    bool vectorListModified = false;
    // The registry's list and copies of its materials as the dialog opened, in registry order.
    QList<Material *> originalList;
    QList<Material> original;
};

#endif // KARVENO_UI_MATERIALSDIALOG_H
