#include "ui/wheelguard.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QObject>
#include <QWheelEvent>

namespace {

class WheelGuard : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() != QEvent::Wheel)
            return false;
        auto *box = static_cast<QWidget *>(watched);
        if (box->hasFocus() || !box->parentWidget())
            return false;
        // Handed to the parent as if the box were not there, so a scroll area scrolls.
        const auto *wheel = static_cast<QWheelEvent *>(event);
        QWidget *parent = box->parentWidget();
        QWheelEvent passed(parent->mapFromGlobal(wheel->globalPosition()), wheel->globalPosition(),
                           wheel->pixelDelta(), wheel->angleDelta(), wheel->buttons(),
                           wheel->modifiers(), wheel->phase(), wheel->inverted(), wheel->source());
        QCoreApplication::sendEvent(parent, &passed);
        return true;
    }
};

WheelGuard *guard() {
    static WheelGuard *instance = new WheelGuard(QCoreApplication::instance());
    return instance;
}

} // namespace

void guardWheel(QWidget *box) {
    box->setFocusPolicy(Qt::StrongFocus);
    box->installEventFilter(guard());
}

void guardWheelInTree(QWidget *root) {
    for (QAbstractSpinBox *box : root->findChildren<QAbstractSpinBox *>())
        guardWheel(box);
    for (QComboBox *box : root->findChildren<QComboBox *>())
        guardWheel(box);
}
