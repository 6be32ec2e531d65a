#pragma once
// A small rectangle filled with a colour, as the options dialog shows each
// curve and model colour; a mouse press on it asks for a new colour.

#include <QFrame>

#include <cstdint>
#include <functional>

namespace orma::ui {

class ColourShape : public QFrame {
    Q_OBJECT
public:
    explicit ColourShape(QWidget* parent = nullptr);

    /// 0x00BBGGRR.
    void setColour(std::uint32_t colour);
    std::uint32_t colour() const { return colour_; }

    /// Called on a mouse press (also by tests, in place of the press).
    std::function<void()> pressed;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    std::uint32_t colour_ = 0;
};

}  // namespace orma::ui
