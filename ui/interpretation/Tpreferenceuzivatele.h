#pragma once
// The input options dialog ("User options"): which way of entering a new
// curve a double click on the plot takes.

#include <QDialog>

#include <array>

class QPushButton;
class QRadioButton;

namespace orma::ui {

class Tpreferenceuzivatele : public QDialog {
    Q_OBJECT
public:
    explicit Tpreferenceuzivatele(QWidget* parent = nullptr);

    /// The input mode the dialog edits from now on (0..4).
    void edit(int& inputMode) { inputMode_ = &inputMode; }
    /// Selects the button of the current mode.
    void FormShow();

    /// snesena, nesnesena, mysi, gef, rst: modes 0..4.
    std::array<QRadioButton*, 5> modeButtons{};
    QPushButton* Button2 = nullptr;

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    int* inputMode_ = nullptr;
};

}  // namespace orma::ui
