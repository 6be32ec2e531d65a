#pragma once
// The title window shown at start-up: program name, version and a picture of
// a sounding curve with its layered model. Any mouse press or movement over
// it closes it.

#include <QDialog>
#include <QImage>

namespace orma::ui {

class Tuvitani : public QDialog {
    Q_OBJECT
public:
    explicit Tuvitani(QWidget* parent = nullptr);

    static constexpr int kPictureWidth = 337;
    static constexpr int kPictureHeight = 257;
    /// The 337 x 257 picture: a three-layer sounding curve on log-log axes.
    static QImage picture();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void FormMouseDown();
    void FormMouseMove();

    QImage picture_;
};

}  // namespace orma::ui
