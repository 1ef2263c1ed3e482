#pragma once
#include <QDialog>
#include <QSize>
#include <QString>

class ChannelUpdateSink;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Model information dialog: chooses the radio model (frequency band) the
// memory image is for. The last list entry is the user-defined model, for
// which the dialog grows a lower area with the band limits, the first IF and
// the local oscillator side. Confirming clears all channel data (the view
// does that on mode 1), after a warning and only once the entry is valid.
class CModelInfoDlg : public QDialog {
    Q_OBJECT
public:
    CModelInfoDlg(ChannelUpdateSink& view, QWidget* parent = nullptr);

    // Set by the opener before OnInitDialog.
    QString modelTypeText;  // section "modeltype"
    QString bandText;       // current model's band; on OK the chosen entry's text
    int custom = 0;         // 1 when the custom model is chosen
    QString lowest;         // frequency texts, "%.5f"
    QString highest;
    QString middle;
    int highLocalOscillator = 0;

    // Results
    int band476 = 0;        // 1 when list position 7 was confirmed

    // Moves the members into the controls, sets the texts, fills and selects
    // the list. Call once, before showing.
    void OnInitDialog();

    int ValidateModel();
    void ShowCustomArea(int show);
    bool IsExpanded() const { return expanded_ != 0; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void SetTexts();
    void FitModelList();
    void ApplyListRule();
    void OnOK();
    void OnFrequencyTyped(QLineEdit* edit);
    void OnFrequencyLeft(QLineEdit* edit);
    void ControlsToMembers();
    void MembersToControls();
    QString& MemberOf(QLineEdit* edit);

    ChannelUpdateSink& view_;
    int edited_ = 0;
    QSize fullSize_;
    int expanded_ = 1;
    int position_ = 1;

    QLabel* typeLabel_ = nullptr;          // 1054
    QComboBox* modelList_ = nullptr;       // 1053
    QPushButton* ok_ = nullptr;            // 1
    QPushButton* cancel_ = nullptr;        // 2
    QGroupBox* upperArea_ = nullptr;       // 1150, never shown
    QGroupBox* customFrame_ = nullptr;     // 1151
    QLabel* lowestLabel_ = nullptr;        // 1153
    QLineEdit* lowestEdit_ = nullptr;      // 1156
    QLabel* highestLabel_ = nullptr;       // 1154
    QLineEdit* highestEdit_ = nullptr;     // 1157
    QLabel* middleLabel_ = nullptr;        // 1155
    QLineEdit* middleEdit_ = nullptr;      // 1158
    QCheckBox* oscillatorBox_ = nullptr;   // 1159
};
