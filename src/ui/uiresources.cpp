#include "ui/uiresources.h"

#include "io/datalocation.h"

#include <QFileInfo>
#include <QIcon>
#include <QString>

// Q_INIT_RESOURCE must be expanded outside any namespace.
static void registerResources() {
    Q_INIT_RESOURCE(resources);
}

void initUiResources() {
    static const bool registered = (registerResources(), true);
    Q_UNUSED(registered);
}

QIcon dataIcon(const QString &fileName) {
    const QString path = DataLocation::find().filePath(QStringLiteral("images/") + fileName);
    if (QFileInfo(path).isFile())
        return QIcon(path);
    initUiResources();
    return QIcon(QStringLiteral(":/") + fileName);
}

QIcon programIcon() {
    initUiResources();
    return QIcon(QStringLiteral(":/karveno.png"));
}
