#ifndef KARVENO_UI_VECTORLISTWIDGET_H
#define KARVENO_UI_VECTORLISTWIDGET_H

// Editor of a material's basis: one row per offset (x, y, z and the material of the atoms it
// generates), a delete button on every row but the first, and an add button below the rows.

#include <QList>
#include <QString>
#include <QWidget>

#include "model/coord.h"

class QGridLayout;
class QToolButton;

class VectorListWidget : public QWidget {
    Q_OBJECT

public:
    VectorListWidget(QWidget *parent, QString materialname);
    ~VectorListWidget() override;

    // The rows in order; each Coord carries its row's material name.
    QList<Coord> getVectors() const;
    int rowCount() const { return vector_list.size() / kWidgetsPerRow; }

signals:
    // A row was added, deleted or edited.
    void vectorListChanged();

public slots:
    void addNewVector(double x = 0.0, double y = 0.0, double z = 0.0, QString matnam = QString());
    // Removes the row whose delete button is button (which is being destroyed).
    void deleteVector(QObject *button);
    void valueChangedSlot();

private:
    // vector_list holds per row: delete button, x box, y box, z box, material box.
    enum Column { DeleteColumn, XColumn, YColumn, ZColumn, MaterialColumn, kWidgetsPerRow };

    void relayout();

    QList<QWidget *> vector_list;
    QGridLayout *gridlayout;
    QToolButton *addvectorbutton;
    QString materialname;
};

#endif // KARVENO_UI_VECTORLISTWIDGET_H
