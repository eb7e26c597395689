#ifndef KARVENO_UI_NEWVOLUMENAMEDIALOG_H
#define KARVENO_UI_NEWVOLUMENAMEDIALOG_H

// Asks for the name and colour of a duplicated material. The dialog checks nothing; the caller
// reads the name and colour only when it was accepted.

#include <QColor>
#include <QDialog>
#include <QString>

namespace Ui {
class NewVolumeNameDialog;
}

class NewVolumeNameDialog : public QDialog {
    Q_OBJECT

public:
    explicit NewVolumeNameDialog(QWidget *parent = nullptr);
    ~NewVolumeNameDialog() override;

    QString getNewName() const;
    QColor getColor() const { return color; }

    // Makes `newColor` the dialog's colour and shows it on the colour button; an invalid colour
    // (a cancelled colour dialog) leaves the previous one.
    void setColor(const QColor &newColor);

    // Style sheet that shows a colour as a button's background: "background-color: #rrggbb",
    // two lower-case hexadecimal digits per component.
    static QString colorStyleSheet(const QColor &color);

public slots:
    void on_colorButton_clicked();

private:
    Ui::NewVolumeNameDialog *ui;
    QColor color;
};

#endif
