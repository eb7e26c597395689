#ifndef KARVENO_UI_IMAGESIZEDIALOG_H
#define KARVENO_UI_IMAGESIZEDIALOG_H

// Asks at which size to export the view as an image: the view's own size, or a width and height
// in pixels. The caller reads the size only when the dialog was accepted.

#include <QDialog>
#include <QSize>

namespace Ui {
class ImageSizeDialog;
}

class ImageSizeDialog : public QDialog {
    Q_OBJECT

public:
    // viewSize: the view's size in device pixels, shown as the starting width and height.
    explicit ImageSizeDialog(const QSize &viewSize, QWidget *parent = nullptr);
    ~ImageSizeDialog() override;

    // An empty size for the view's own size.
    QSize chosenSize() const;

private:
    Ui::ImageSizeDialog *ui;
};

#endif
