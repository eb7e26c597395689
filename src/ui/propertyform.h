#ifndef KARVENO_UI_PROPERTYFORM_H
#define KARVENO_UI_PROPERTYFORM_H

// The generated property form shared by the volum, general-properties and materials dialogs:
// one row of editing widgets per property of the chosen category, built from the type codes.

#include "model/category.h"

#include <QIcon>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QLayout;
class QRadioButton;
class QScrollArea;
class QSignalMapper;
class QSpinBox;
class QToolButton;
class QVBoxLayout;
class QWidget;

// The form holds values only while it is shown. Choosing another category (showCategory) and
// accepting the carrying dialog (readBack) write the widgets' values into the Property and
// Condition objects of the category the form was built from and destroy the widgets.
//
// The carrying dialog keeps the list of categories alive and at the same address while a form of
// it is shown: the form writes back through that pointer. A carrying dialog typically
//   - creates the form after setupUi: form = new PropertyForm(ui->scrollArea, this);
//   - in on_propertiesList_currentRowChanged(int row): form->showCategory(&myCategories, row);
//   - in on_buttonBox_accepted(): form->readBack(); before its own work;
//   - forwards its showHelp / setRadioButtonState / showOption slots to the form's.
class PropertyForm : public QObject {
    Q_OBJECT

public:
    // Whether a read-back writes the "Deleting <label>" trace of condition sub-properties to the
    // debug channel (the general properties dialog does on accept).
    enum class Trace { Quiet, Deletions };

    // Replaces the widget of scrollArea by the form's own content widget.
    explicit PropertyForm(QScrollArea *scrollArea, QObject *parent = nullptr);
    ~PropertyForm() override;

    // Generated widgets carry object names made from the property (or condition) names:
    // "<name>-label", "<name>" for editing widgets, "<name>-vallabel", "<name>-explabel",
    // "<condition>-condname", "<name>-help". Off by default; set before the first form is built.
    void setObjectNamesEnabled(bool enabled) { objectNames = enabled; }
    bool objectNamesEnabled() const { return objectNames; }

    // Reads the shown form back (if any), then builds the form of (*categories)[row]. A row
    // outside the list, or a null list, only reads back and leaves no form shown.
    void showCategory(QList<Category> *categories, int row);

    // Writes the shown form's values back into its category and destroys its widgets; afterwards
    // no form is shown (lastIndex() is -1). Does nothing when no form is shown.
    void readBack(Trace trace = Trace::Quiet);

    // Index of the shown category in the list it was built from; -1 when no form is shown.
    int lastIndex() const { return lastindex; }
    bool isShown() const { return lastindex >= 0; }

    // The list the shown form writes back into; null when no form is shown.
    QList<Category> *shownCategories() const { return isShown() ? categories : nullptr; }

    QWidget *contentWidget() const { return content; }
    QVBoxLayout *layout() const { return generalVBox; }

    // Mantissa (1 <= |m| < 10, or 0) and power of ten of a finite value, by repeated division or
    // multiplication by ten. Non-finite values are returned as they are with exponent 0.
    static void splitValue(double value, double &mantissa, int &exponent);
    static double joinValue(double mantissa, int exponent);

public slots:
    // Modal question box with the given help text.
    void showHelp(const QString &text);
    // Each condition's radio button reports its new state here, then its sub-form is passed to
    // showOption, which shows it while the radio button is checked.
    void setRadioButtonState(bool state);
    void showOption(QWidget *subForm);

private:
    // Editing widgets of one property of type 0 to 3; the pointers not used by its type are null.
    struct ValueEditor {
        int type = -1;
        QLabel *nameLabel = nullptr;
        QComboBox *boolbox = nullptr;
        QSpinBox *intbox = nullptr;
        QDoubleSpinBox *doublebox = nullptr;
        QDoubleSpinBox *valuebox = nullptr;
        QSpinBox *exponentbox = nullptr;
    };

    struct ConditionEditor {
        QRadioButton *condname = nullptr;
        QList<ValueEditor> properties;
        QList<QToolButton *> helpButtons;
    };

    struct Row {
        ValueEditor editor;
        QGroupBox *groupBox = nullptr;
        QList<ConditionEditor> conditions;
    };

    void buildRow(const Property &property);
    ConditionEditor buildCondition(const Condition &condition, QWidget *groupBox,
                                   QVBoxLayout *vbox);
    ValueEditor buildValueEditor(const Property &property, QWidget *parent, QLayout *hbox);
    QToolButton *buildHelpButton(const Property &property, QWidget *parent);

    void readValue(ValueEditor &editor, Property &property);
    void traceDeletion(const ValueEditor &editor, Trace trace) const;
    void alignNameLabels();
    void clearWidgets();
    void name(QObject *object, const QString &text) const;

    QPointer<QWidget> content;
    QVBoxLayout *generalVBox = nullptr;
    QSignalMapper *signalMapper = nullptr;

    QList<Category> *categories = nullptr;
    int lastindex = -1;
    bool radiobuttonstate = false;
    bool objectNames = false;
    QIcon helpImage;

    // The rows of the shown form, in the order of the category's properties, and every widget
    // and row layout the form created, so that nothing survives into the next form.
    QList<Row> rows;
    QList<QWidget *> wlist;
    QList<QLayout *> rowLayouts;
};

#endif
