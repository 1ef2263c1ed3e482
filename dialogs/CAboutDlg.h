#pragma once
#include <QDialog>

class QLabel;
class QPushButton;

// The program's description and version, with an etched line above the OK
// button.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    // The etched separator's rectangle in client pixels: 20 pixels in from
    // either side, 50 to 48 pixels above the bottom.
    QRect SeparatorRect() const;

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void OnInitDialog();

    QLabel* icon_;
    QLabel* lines_[6];
    QPushButton* ok_;
};
