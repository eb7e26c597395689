#include "ui/helpdialog.h"

#include "ui/uiresources.h"
#include "ui_helpdialog.h"

#include <QUrl>

HelpDialog::HelpDialog(QWidget *parent) : QDialog(parent), ui(new Ui::HelpDialog) {
    initUiResources();
    ui->setupUi(this);
    ui->webView->setSource(QUrl("qrc:/help.html"));
}

HelpDialog::~HelpDialog() {
    delete ui;
}

QTextBrowser *HelpDialog::browser() const {
    return ui->webView;
}
