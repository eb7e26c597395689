#include "ui/helpdialog.h"

#include "io/datalocation.h"
#include "ui/uiresources.h"
#include "ui_helpdialog.h"

#include <QFileInfo>
#include <QUrl>

HelpDialog::HelpDialog(QWidget *parent) : QDialog(parent), ui(new Ui::HelpDialog) {
    initUiResources();
    ui->setupUi(this);
    // A help.html in the data folder (a site's own page) takes the place of the built-in one.
    const QString local = DataLocation::find().filePath(QStringLiteral("help.html"));
    ui->webView->setSource(QFileInfo(local).isFile() ? QUrl::fromLocalFile(local)
                                                     : QUrl(QStringLiteral("qrc:/help.html")));
}

HelpDialog::~HelpDialog() {
    delete ui;
}

QTextBrowser *HelpDialog::browser() const {
    return ui->webView;
}
