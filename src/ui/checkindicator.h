#ifndef KARVENO_UI_CHECKINDICATOR_H
#define KARVENO_UI_CHECKINDICATOR_H

// The live check's verdict in the status bar: a coloured mark and one line of text, elided to
// the room it has, with the whole line in its tooltip. A click on a fault asks to be taken to the
// volum it names.

#include "check/handover.h"

#include <QTimer>
#include <QWidget>

class QLabel;

class CheckIndicator : public QWidget {
    Q_OBJECT

public:
    enum State { Checking, Ok, Fault, Idle };

    explicit CheckIndicator(QWidget *parent = nullptr);

    State state() const { return state_; }
    // The whole text shown (before eliding).
    QString text() const { return text_; }
    QSize sizeHint() const override;

public slots:
    // A changed design awaits its verdict: "Checking…" when the verdict takes a moment, so that
    // quick checks do not make the indicator flicker.
    void showChecking();
    void showVerdict(const CheckVerdict &verdict);

signals:
    // The user clicked a fault.
    void faultClicked(const CheckVerdict &verdict);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void show(State state, const QString &text, const QString &toolTip);
    void elide();

    QLabel *mark_ = nullptr;
    QLabel *label_ = nullptr;
    State state_ = Idle;
    QString text_;
    CheckVerdict verdict_;
    QTimer checkingDelay_;
};

#endif // KARVENO_UI_CHECKINDICATOR_H
