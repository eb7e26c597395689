#include "ui/propertyform.h"

#include "ui/exactspinvalue.h"
#include "ui/uiresources.h"
#include "ui/valuebox.h"
#include "ui/wheelguard.h"

#include <QComboBox>
#include <QDebug>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QRadioButton>
#include <QScrollArea>
#include <QSignalMapper>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <QVariant>

#include <algorithm>
#include <cmath>

namespace {

// Ranges of the editing boxes; a value outside is shown, and written back, clamped.
constexpr int kIntLimit = 999999999;
constexpr double kRealLimit = 999999999.0;
constexpr int kRealDecimals = 10;
constexpr double kMantissaLimit = 10.0;
constexpr int kMantissaDecimals = 20;
constexpr int kExponentLimit = 99;

// Dynamic property of a mantissa box: the value to write back while the user has not changed
// the boxes.
const char *const kKeptValue = "karvenoKeptValue";

QIcon helpIcon() {
    return dataIcon(QStringLiteral("helpbutton.gif"));
}

// Integer boxes show the value truncated toward zero and clamped to their range; NaN shows 0.
int clampedInt(double value) {
    if (std::isnan(value))
        return 0;
    return static_cast<int>(std::clamp(std::trunc(value), -double(kIntLimit), double(kIntLimit)));
}

// A real box takes the room its row leaves, and never less than the text it shows.
void fitToRow(QDoubleSpinBox *box) {
    box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

} // namespace

PropertyForm::PropertyForm(QScrollArea *scrollArea, QObject *parent)
    : QObject(parent), content(new QWidget), generalVBox(new QVBoxLayout(content)),
      signalMapper(new QSignalMapper(this)) {
    generalVBox->addStretch(1); // rows are inserted above it, so they stay at the top
    scrollArea->setWidgetResizable(true);
    scrollArea->setWidget(content); // deletes the designer's placeholder contents

    connect(signalMapper, &QSignalMapper::mappedString, this, &PropertyForm::showHelp);
    connect(signalMapper, &QSignalMapper::mappedObject, this,
            [this](QObject *object) { showOption(qobject_cast<QWidget *>(object)); });
}

// The widgets belong to the content widget, which the scroll area owns.
PropertyForm::~PropertyForm() = default;

void PropertyForm::splitValue(double value, double &mantissa, int &exponent) {
    exponent = 0;
    if (!std::isfinite(value) || value == 0.0) {
        mantissa = value == 0.0 ? 0.0 : value;
        return;
    }
    // The digits of the shortest decimal that reads back to the value, so 1e-12 splits into 1
    // and -12 rather than the noise that repeated multiplication by ten leaves.
    const QString text = QString::number(value, 'e', QLocale::FloatingPointShortest);
    const qsizetype e = text.indexOf(QLatin1Char('e'));
    mantissa = text.left(e).toDouble();
    exponent = text.mid(e + 1).toInt();
}

double PropertyForm::joinValue(double mantissa, int exponent) {
    // Read as one decimal number: "1.5e-12" is the double nearest to 1.5 x 10^-12, which a
    // product with a power of ten is not always.
    return (ValueBox::shortestText(mantissa) + QLatin1Char('e') + QString::number(exponent))
        .toDouble();
}

void PropertyForm::showCategory(QList<Category> *list, int row) {
    readBack();
    if (!list || row < 0 || row >= list->size() || !content)
        return;

    categories = list;
    helpImage = helpIcon(); // once per form: categories may hold hundreds of rows
    for (const Property &property : (*list)[row].getProperties())
        buildRow(property);
    alignNameLabels();
    lastindex = row;
}

void PropertyForm::alignNameLabels() {
    // Rows are separate layouts; a common label width lines their editors up.
    int width = 0;
    for (const Row &row : std::as_const(rows)) {
        if (row.editor.nameLabel)
            width = std::max(width, row.editor.nameLabel->sizeHint().width());
    }
    for (const Row &row : std::as_const(rows)) {
        if (row.editor.nameLabel)
            row.editor.nameLabel->setMinimumWidth(width);
    }
}

void PropertyForm::name(QObject *object, const QString &text) const {
    if (objectNames)
        object->setObjectName(text);
}

QToolButton *PropertyForm::buildHelpButton(const Property &property, QWidget *parent) {
    auto *button = new QToolButton(parent);
    button->setIcon(helpImage);
    name(button, property.getName() + "-help");
    if (property.getHelp().isEmpty()) {
        button->hide();
    } else {
        button->setToolTip(tr("Help on %1").arg(property.getName()));
        signalMapper->setMapping(button, property.getHelp());
        connect(button, &QToolButton::clicked, signalMapper, qOverload<>(&QSignalMapper::map));
    }
    wlist.append(button);
    return button;
}

PropertyForm::ValueEditor PropertyForm::buildValueEditor(const Property &property, QWidget *parent,
                                                         QLayout *hbox) {
    ValueEditor editor;
    editor.type = property.getType();
    const QString propertyName = property.getName();
    const double value = property.getDoubleValue();

    auto addLabel = [&](const QString &text, const QString &objectName) {
        auto *label = new QLabel(text, parent);
        name(label, objectName);
        wlist.append(label);
        return label;
    };

    switch (editor.type) {
    case Property::Boolean: {
        editor.nameLabel = addLabel(propertyName, propertyName + "-label");
        editor.boolbox = new QComboBox(parent);
        guardWheel(editor.boolbox);
        editor.boolbox->addItem("false");
        editor.boolbox->addItem("true");
        editor.boolbox->setCurrentIndex(property.getBoolValue() ? 1 : 0);
        name(editor.boolbox, propertyName);
        hbox->addWidget(editor.nameLabel);
        hbox->addWidget(editor.boolbox);
        wlist.append(editor.boolbox);
        break;
    }
    case Property::Integer: {
        editor.nameLabel = addLabel(propertyName, propertyName + "-label");
        editor.intbox = new QSpinBox(parent);
        guardWheel(editor.intbox);
        editor.intbox->setRange(-kIntLimit, kIntLimit);
        editor.intbox->setValue(clampedInt(value));
        name(editor.intbox, propertyName);
        hbox->addWidget(editor.nameLabel);
        hbox->addWidget(editor.intbox);
        wlist.append(editor.intbox);
        break;
    }
    case Property::Real: {
        editor.nameLabel = addLabel(propertyName, propertyName + "-label");
        editor.doublebox = new ValueBox(parent);
        editor.doublebox->setDecimals(kRealDecimals);
        editor.doublebox->setRange(-kRealLimit, kRealLimit);
        fitToRow(editor.doublebox);
        // Kept at full precision while the user leaves the box alone.
        setExactValue(editor.doublebox, std::isnan(value) ? 0.0 : value);
        name(editor.doublebox, propertyName);
        hbox->addWidget(editor.nameLabel);
        hbox->addWidget(editor.doublebox);
        wlist.append(editor.doublebox);
        break;
    }
    case Property::RealExponent: {
        editor.nameLabel = addLabel(propertyName, propertyName + "-label");
        editor.valuebox = new ValueBox(parent);
        editor.valuebox->setDecimals(kMantissaDecimals);
        editor.valuebox->setRange(-kMantissaLimit, kMantissaLimit);
        fitToRow(editor.valuebox);
        name(editor.valuebox, propertyName);
        editor.exponentbox = new QSpinBox(parent);
        guardWheel(editor.exponentbox);
        editor.exponentbox->setRange(-kExponentLimit, kExponentLimit);
        name(editor.exponentbox, propertyName);
        wlist.append(editor.valuebox);
        wlist.append(editor.exponentbox);
        QLabel *vallab = addLabel(tr("Value:"), propertyName + "-vallabel");
        QLabel *explab = addLabel(tr("Exponent:"), propertyName + "-explabel");

        double mantissa = 0.0;
        int exponent = 0;
        splitValue(value, mantissa, exponent);
        if (std::isfinite(value)) {
            editor.valuebox->setValue(mantissa);
            editor.exponentbox->setValue(exponent);
        } else {
            // Show infinities at the end of the range and NaN as zero.
            editor.valuebox->setValue(std::isnan(value) ? 0.0 : std::copysign(10.0, value));
            editor.exponentbox->setValue(std::isnan(value) ? 0 : kExponentLimit);
        }
        // The stored value is written back bit for bit until the user changes one of the boxes.
        QDoubleSpinBox *valuebox = editor.valuebox;
        valuebox->setProperty(kKeptValue, value);
        auto forget = [valuebox] { valuebox->setProperty(kKeptValue, QVariant()); };
        connect(editor.valuebox, &QDoubleSpinBox::valueChanged, valuebox, forget);
        connect(editor.exponentbox, &QSpinBox::valueChanged, valuebox, forget);
        if (!std::isfinite(value)) {
            const QString note =
                tr("The stored value is %1; it is kept unless you change it.").arg(value);
            editor.valuebox->setToolTip(note);
            editor.exponentbox->setToolTip(note);
        }

        hbox->addWidget(editor.nameLabel);
        hbox->addWidget(vallab);
        hbox->addWidget(editor.valuebox);
        hbox->addWidget(explab);
        hbox->addWidget(editor.exponentbox);
        break;
    }
    default:
        break;
    }
    return editor;
}

PropertyForm::ConditionEditor PropertyForm::buildCondition(const Condition &condition,
                                                           QWidget *groupBox, QVBoxLayout *vbox) {
    ConditionEditor editor;
    editor.condname = new QRadioButton(condition.getName(), groupBox);
    name(editor.condname, condition.getName() + "-condname");
    vbox->addWidget(editor.condname);
    wlist.append(editor.condname);

    auto *widgetcond = new QWidget(groupBox);
    auto *vboxcond = new QVBoxLayout(widgetcond);
    vboxcond->setContentsMargins(20, 0, 0, 0); // indent the sub-form under its radio button
    signalMapper->setMapping(editor.condname, widgetcond);
    // Connection order matters: showOption must see the state the button has just taken.
    connect(editor.condname, &QRadioButton::toggled, this, &PropertyForm::setRadioButtonState);
    connect(editor.condname, &QRadioButton::toggled, signalMapper,
            qOverload<>(&QSignalMapper::map));

    for (const Property &sub : condition.getProperties()) {
        auto *hboxcond = new QHBoxLayout;
        vboxcond->addLayout(hboxcond);
        ValueEditor subEditor;
        if (sub.getType() >= Property::Boolean && sub.getType() <= Property::RealExponent) {
            subEditor = buildValueEditor(sub, widgetcond, hboxcond);
        } else {
            // Conditions do not nest: such a sub-property shows only its name and help.
            subEditor.type = sub.getType();
            subEditor.nameLabel = new QLabel(sub.getName(), widgetcond);
            name(subEditor.nameLabel, sub.getName() + "-label");
            hboxcond->addWidget(subEditor.nameLabel);
            wlist.append(subEditor.nameLabel);
        }
        QToolButton *help = buildHelpButton(sub, widgetcond);
        hboxcond->addWidget(help);
        editor.properties.append(subEditor);
        editor.helpButtons.append(help);
    }

    vbox->addWidget(widgetcond);
    if (condition.isActivated())
        editor.condname->setChecked(true);
    else
        widgetcond->hide();
    return editor;
}

void PropertyForm::buildRow(const Property &property) {
    auto *hbox = new QHBoxLayout;
    rowLayouts.append(hbox);
    Row row;

    if (property.getType() == Property::Choice) {
        row.editor.type = Property::Choice;
        row.groupBox = new QGroupBox(property.getName(), content);
        name(row.groupBox, property.getName());
        auto *vbox = new QVBoxLayout(row.groupBox);
        for (const Condition &condition : property.getConditions())
            row.conditions.append(buildCondition(condition, row.groupBox, vbox));
        hbox->addWidget(row.groupBox);
        wlist.append(row.groupBox);
    } else {
        row.editor = buildValueEditor(property, content, hbox);
    }

    hbox->addWidget(buildHelpButton(property, content));
    generalVBox->insertLayout(generalVBox->count() - 1, hbox);
    rows.append(row);
}

void PropertyForm::readValue(ValueEditor &editor, Property &property) {
    // Write only through an editor that was built for this kind of value.
    if (editor.type != property.getType())
        return;
    switch (editor.type) {
    case Property::Boolean:
        property.setValue(editor.boolbox->currentIndex() == 1);
        break;
    case Property::Integer:
        property.setValue(editor.intbox->value());
        break;
    case Property::Real:
        property.setValue(exactValue(editor.doublebox));
        break;
    case Property::RealExponent: {
        const QVariant kept = editor.valuebox->property(kKeptValue);
        property.setValue(kept.isValid()
                              ? kept.toDouble()
                              : joinValue(editor.valuebox->value(), editor.exponentbox->value()));
        break;
    }
    default:
        break;
    }
}

void PropertyForm::traceDeletion(const ValueEditor &editor, Trace trace) const {
    if (trace != Trace::Deletions || !editor.nameLabel)
        return;
    qDebug().noquote() << "Deleting " + editor.nameLabel->objectName();
    QWidget *box = editor.boolbox     ? static_cast<QWidget *>(editor.boolbox)
                   : editor.intbox    ? static_cast<QWidget *>(editor.intbox)
                   : editor.doublebox ? static_cast<QWidget *>(editor.doublebox)
                                      : static_cast<QWidget *>(editor.valuebox);
    if (box)
        qDebug().noquote() << box->objectName();
}

void PropertyForm::readBack(Trace trace) {
    if (lastindex < 0)
        return;

    // The list may have shrunk while the form was shown; then there is nothing to write into.
    if (categories && lastindex < categories->size()) {
        QList<Property> &properties = (*categories)[lastindex].getProperties();
        const int count = std::min<int>(properties.size(), rows.size());
        for (int i = 0; i < count; ++i) {
            Property &property = properties[i];
            Row &row = rows[i];
            if (row.editor.type != Property::Choice) {
                readValue(row.editor, property);
                continue;
            }
            if (property.getType() != Property::Choice)
                continue;
            QList<Condition> &conditions = property.getConditions();
            const int conditionCount = std::min<int>(conditions.size(), row.conditions.size());
            for (int c = 0; c < conditionCount; ++c) {
                ConditionEditor &editor = row.conditions[c];
                conditions[c].setActivated(editor.condname->isChecked());
                QList<Property> &subs = conditions[c].getProperties();
                const int subCount = std::min<int>(subs.size(), editor.properties.size());
                for (int s = 0; s < subCount; ++s) {
                    traceDeletion(editor.properties[s], trace);
                    readValue(editor.properties[s], subs[s]);
                }
            }
        }
    }
    clearWidgets();
}

void PropertyForm::clearWidgets() {
    // Widgets first (children of group boxes and sub-forms go with them), then the row layouts.
    QList<QPointer<QWidget>> guarded;
    for (QWidget *widget : std::as_const(wlist))
        guarded.append(widget);
    for (const QPointer<QWidget> &widget : std::as_const(guarded))
        delete widget.data();
    for (QLayout *layout : std::as_const(rowLayouts)) {
        generalVBox->removeItem(layout);
        delete layout;
    }
    wlist.clear();
    rowLayouts.clear();
    rows.clear();
    categories = nullptr;
    lastindex = -1;
}

void PropertyForm::showHelp(const QString &text) {
    QWidget *parent = content ? content->window() : nullptr;
    QMessageBox box(QMessageBox::Question, QString(), text, QMessageBox::Ok, parent);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
}

void PropertyForm::setRadioButtonState(bool state) {
    radiobuttonstate = state;
}

void PropertyForm::showOption(QWidget *subForm) {
    if (subForm)
        subForm->setVisible(radiobuttonstate);
}
