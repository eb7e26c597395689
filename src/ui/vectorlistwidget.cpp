#include "ui/vectorlistwidget.h"

#include "ui/valuebox.h"
#include "ui/wheelguard.h"

#include <QComboBox>
#include <QDebug>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QIcon>
#include <QToolButton>

#include "model/material.h"
#include "model/materialsmanager.h"
#include "ui/exactspinvalue.h"
#include "ui/uiresources.h"

namespace {

QDoubleSpinBox *makeCoordinateBox(double value, QWidget *parent) {
    auto *box = new ValueBox(parent);
    box->setDecimals(4);
    box->setRange(-999999999.0, 999999999.0);
    // The range alone would ask for a box wide enough for ten digits; offsets are short numbers
    // and a row must fit the dialog's column.
    box->setMinimumWidth(70);
    box->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    setExactValue(box, value);
    return box;
}

} // namespace

VectorListWidget::VectorListWidget(QWidget *parent, QString materialname)
    : QWidget(parent), gridlayout(new QGridLayout(this)), addvectorbutton(new QToolButton(this)),
      materialname(std::move(materialname)) {
    addvectorbutton->setIcon(dataIcon(QStringLiteral("AddIcon.png")));
    addvectorbutton->setToolTip(tr("Add an atom position"));
    connect(addvectorbutton, &QToolButton::clicked, this, [this] { addNewVector(); });
    relayout();
}

VectorListWidget::~VectorListWidget() {
    // The delete buttons are destroyed with this widget; their rows must not be removed (and
    // reported as a user change) while the widget itself is being torn down.
    for (QWidget *widget : std::as_const(vector_list))
        disconnect(widget, nullptr, this, nullptr);
}

void VectorListWidget::addNewVector(double x, double y, double z, QString matnam) {
    auto *deleteButton = new QToolButton(this);
    deleteButton->setIcon(dataIcon(QStringLiteral("Delete-icon.png")));
    deleteButton->setToolTip(tr("Delete this atom position"));
    QDoubleSpinBox *xBox = makeCoordinateBox(x, this);
    QDoubleSpinBox *yBox = makeCoordinateBox(y, this);
    QDoubleSpinBox *zBox = makeCoordinateBox(z, this);

    auto *materialBox = new QComboBox(this);
    guardWheel(materialBox);
    int matIndex = -1;
    int ownIndex = -1;
    const QList<Material *> &materials = *MaterialsManager::getInstance()->getMaterials();
    for (const Material *material : materials) {
        const QString name = material ? material->getName() : QString();
        if (matIndex < 0 && !matnam.isEmpty() && name == matnam)
            matIndex = materialBox->count();
        if (ownIndex < 0 && name == materialname)
            ownIndex = materialBox->count();
        materialBox->addItem(name);
    }
    if (matIndex < 0)
        matIndex = ownIndex >= 0 ? ownIndex : 0;
    if (materialBox->count() > 0)
        materialBox->setCurrentIndex(matIndex);

    const bool firstRow = vector_list.isEmpty();
    vector_list << deleteButton << xBox << yBox << zBox << materialBox;

    if (firstRow) {
        // The first offset cannot be removed: its button exists but is never shown.
        deleteButton->hide();
    } else {
        connect(deleteButton, &QToolButton::clicked, deleteButton, &QObject::deleteLater);
        connect(deleteButton, &QObject::destroyed, this, &VectorListWidget::deleteVector);
    }
    for (QDoubleSpinBox *box : {xBox, yBox, zBox})
        connect(box, &QDoubleSpinBox::valueChanged, this, &VectorListWidget::valueChangedSlot);
    connect(materialBox, &QComboBox::currentIndexChanged, this,
            &VectorListWidget::valueChangedSlot);

    relayout();
    emit vectorListChanged();
}

void VectorListWidget::deleteVector(QObject *button) {
    // button is half destroyed: only its address is compared.
    for (int row = 1; row < rowCount(); ++row) {
        const int first = row * kWidgetsPerRow;
        if (vector_list.at(first + DeleteColumn) != button)
            continue;
        for (int column = XColumn; column < kWidgetsPerRow; ++column)
            delete vector_list.at(first + column);
        vector_list.remove(first, kWidgetsPerRow);
        relayout();
        emit vectorListChanged();
        return;
    }
}

void VectorListWidget::valueChangedSlot() {
    qDebug() << "VectorListWidget::valueChangedSlot";
    emit vectorListChanged();
}

QList<Coord> VectorListWidget::getVectors() const {
    QList<Coord> vectors;
    vectors.reserve(rowCount());
    for (int first = 0; first < vector_list.size(); first += kWidgetsPerRow) {
        auto box = [&](int column) {
            return exactValue(static_cast<QDoubleSpinBox *>(vector_list.at(first + column)));
        };
        const auto *materialBox = static_cast<QComboBox *>(vector_list.at(first + MaterialColumn));
        vectors.append(Coord(box(XColumn), box(YColumn), box(ZColumn), materialBox->currentText()));
    }
    return vectors;
}

void VectorListWidget::relayout() {
    while (gridlayout->count() > 0)
        delete gridlayout->takeAt(0);
    const int rows = rowCount();
    for (int row = 0; row < rows; ++row) {
        const int first = row * kWidgetsPerRow;
        // Columns on screen: x, y, z, material, delete.
        for (int column = XColumn; column < kWidgetsPerRow; ++column)
            gridlayout->addWidget(vector_list.at(first + column), row, column - XColumn);
        if (row > 0)
            gridlayout->addWidget(vector_list.at(first + DeleteColumn), row,
                                  kWidgetsPerRow - XColumn);
    }
    gridlayout->addWidget(addvectorbutton, rows, 0, Qt::AlignLeft);
    // Rows keep their natural height; the space left over goes below the add button.
    for (int row = 0; row < gridlayout->rowCount(); ++row)
        gridlayout->setRowStretch(row, 0);
    gridlayout->setRowStretch(rows + 1, 1);
}
