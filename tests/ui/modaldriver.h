#ifndef KARVENO_TESTS_UI_MODALDRIVER_H
#define KARVENO_TESTS_UI_MODALDRIVER_H

// Answers the modal boxes and dialogs that a command opens, in the order they appear, and records
// what each one said. An unexpected modal widget is rejected and recorded, so a test never hangs.

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QQueue>
#include <QStringList>
#include <QTimer>

#include <functional>

class ModalDriver : public QObject {
public:
    using Answer = std::function<void(QWidget *)>;

    ModalDriver() {
        connect(&timer, &QTimer::timeout, this, &ModalDriver::poll);
        timer.start(10);
    }

    // Queues the answer to the next modal widget.
    ModalDriver &then(Answer answer) {
        answers.enqueue(std::move(answer));
        return *this;
    }

    static Answer press(QMessageBox::StandardButton button) {
        return [button](QWidget *w) {
            if (auto *box = qobject_cast<QMessageBox *>(w); box && box->button(button))
                box->button(button)->click();
            else
                reject(w);
        };
    }

    // Accepts a file dialog on `path`. With removeAfter, the file is deleted right after the
    // dialog has accepted it and before the caller gets to read it.
    static Answer chooseFile(const QString &path, bool removeAfter = false) {
        return [path, removeAfter](QWidget *w) {
            auto *dialog = qobject_cast<QFileDialog *>(w);
            if (!dialog) {
                reject(w);
                return;
            }
            // selectFile leaves the name field alone while it has the focus; type it instead.
            if (auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                name->setText(path);
            else
                dialog->selectFile(path);
            static_cast<QDialog *>(dialog)->accept(); // QFileDialog::accept is protected
            if (removeAfter)
                QFile::remove(path);
        };
    }

    static Answer cancel() {
        return [](QWidget *w) { reject(w); };
    }

    // One line per modal widget met: "title|text" for message boxes, "file:title" for file
    // dialogs, "other:class" for anything else.
    QStringList seen;
    int pending() const { return int(answers.size()); }

private:
    static void reject(QWidget *w) {
        if (auto *dialog = qobject_cast<QDialog *>(w))
            dialog->reject();
        else
            w->close();
    }

    void poll() {
        QWidget *w = QApplication::activeModalWidget();
        if (!w || !w->isVisible())
            return;
        if (w == current) {
            // Answered but still open (a file dialog may refuse an accept while it is still
            // listing its folder): answer again now and then.
            if (++pollsSinceAnswer % 10 == 0)
                currentAnswer(w);
            return;
        }
        if (auto *box = qobject_cast<QMessageBox *>(w))
            seen << box->windowTitle() + QLatin1Char('|') + box->text();
        else if (qobject_cast<QFileDialog *>(w))
            seen << QStringLiteral("file:") + w->windowTitle();
        else
            seen << QStringLiteral("other:") + QLatin1String(w->metaObject()->className());
        current = w;
        pollsSinceAnswer = 0;
        currentAnswer = answers.isEmpty() ? cancel() : answers.dequeue();
        currentAnswer(w);
    }

    QPointer<QWidget> current;
    Answer currentAnswer;
    int pollsSinceAnswer = 0;
    QTimer timer;
    QQueue<Answer> answers;
};

#endif
