#ifndef KARVENO_UI_HELPDIALOG_H
#define KARVENO_UI_HELPDIALOG_H

// The help window: the embedded page with the keyboard and mouse commands of the 3D view.

#include <QDialog>

namespace Ui {
class HelpDialog;
}

class QTextBrowser;

class HelpDialog : public QDialog {
    Q_OBJECT

public:
    explicit HelpDialog(QWidget *parent = nullptr);
    ~HelpDialog() override;

    QTextBrowser *browser() const;

private:
    void fitToPage();

    Ui::HelpDialog *ui;
};

#endif
