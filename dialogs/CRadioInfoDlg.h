#pragma once
#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class RadioSettings;

// Shows which model the connected radio reported: model name, band and the
// identification texts the radio sent. Display only.
class CRadioInfoDlg : public QDialog {
    Q_OBJECT
public:
    explicit CRadioInfoDlg(QWidget* parent = nullptr);

    // Model name and band from the model table row of settings' model code
    // (both empty for a code in no row), and the radio's identification texts.
    void LoadFrom(const RadioSettings& settings);

    // Moved into the read-only boxes when the dialog opens.
    QString typeText;
    QString frequencyText;
    QString serialText;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnInitDialog();

    QLabel* typeLabel_;
    QLabel* frequencyLabel_;
    QLabel* serialLabel_;
    QLineEdit* typeEdit_;
    QLineEdit* frequencyEdit_;
    QLineEdit* serialEdit_;
    QPushButton* ok_;
};
