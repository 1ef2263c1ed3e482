#pragma once
#include <QDialog>
#include <QString>

#include <array>

#include "dialogs/DialogEntry.h"

class CDigitsOnlyEdit;
class CFrequencyEdit;
class CToneCodeCombo;
class ChannelUpdateSink;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QToolButton;
class RadioSettings;
struct ChannelRecord;

// The up-down arrows beside the channel number. The range runs from 50 at
// the bottom to 1 at the top, so the up arrow asks for the lower channel
// (delta -1) and the down arrow for the higher one (delta +1). Clicking it
// puts the keyboard focus into its buddy field, as the classic control does.
class CChannelSpin : public QWidget {
    Q_OBJECT
public:
    CChannelSpin(QWidget* buddy, QWidget* parent);
    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

signals:
    void positionChanging(int delta);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* buddy_;
    QToolButton* up_;
    QToolButton* down_;
};

// Channel edit dialog: edits the channels of RadioSettings one at a time.
// Every change goes straight into the channel's record and is reported to
// the view, so the grid repaints at once; "Exit" only closes.
class CChannelEditDlg : public QDialog {
    Q_OBJECT
public:
    // The fields below the channel number, each with its label.
    static constexpr int kFields = 8;

    CChannelEditDlg(const ChannelEditRequest& request, ChannelUpdateSink& view, QWidget* parent = nullptr);

    int ChannelNumber() const { return channel_; }

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Set-up
    void BuildControls();
    void SetTexts();
    void FitLabels();
    void OnInitDialog();

    // Member exchange with the controls (channel number and check boxes).
    bool ReadMembers(long long* typedNumber = nullptr);
    void WriteMembers();
    void ChannelNumberRefused(const QString& message);

    ChannelRecord& Record();
    void Notify(int mode = 0);
    bool IsBand476() const { return band476_ != 0; }

    // The controls that only an open channel enables.
    std::array<QWidget*, 10> ChannelControls() const;
    void ApplyChannelOpen(bool reload);
    // Shows the channel the dialog is now on, open or not; reload takes the
    // open state from the record instead.
    void EnterChannel(bool open, bool reload);
    void LoadChannel();
    void StoreChannel();
    void RefreshSquelchLists();
    void FillSquelchLists();
    void ApplyDefaultChannel();
    void SaveAsDefaultChannel();
    void DeleteAllChannels();

    // Handlers
    void OnCheckBox(QCheckBox* box);
    void OnOpenChannel();
    void OnOpenTx();
    void OnCodeSelected(CToneCodeCombo* combo, int index);
    void OnCodeEntered(CToneCodeCombo* combo);
    void OnListSelected(QComboBox* list);
    void OnChannelFocusGained(Qt::FocusReason reason);
    void OnChannelFocusLost();
    void OnSpin(int delta);
    void OnReceiveFocusLost(QWidget* newFocus);
    void OnTransmitFocusLost();
    bool OnEnterKey(QWidget* focus);

    // Control helpers
    void ShowCode(CToneCodeCombo* combo, const char* code);
    QString StoredCode(const CToneCodeCombo* combo) const;
    bool IsNoCodeWord(const CToneCodeCombo* combo, const QString& text) const;
    void SetBox(QCheckBox* box, int& member, bool checked);

    // Inputs
    RadioSettings* settings_;
    ChannelUpdateSink& view_;
    QString bandText_;
    QString lowestText_;
    QString highestText_;
    int band476_;
    QString signallingList_;
    QString wideNarrowList_;
    QString decodeCodeList_;
    QString encodeCodeList_;

    // Members
    int channel_;
    int openChannel_ = 0;
    int openTx_ = 0;
    int beatShift_ = 0;
    int txHighPower_ = 0;
    int scanAdd_ = 0;
    int openedByUser_ = 0;
    int allowDefault_ = 0;
    QString spUnmuteListText_;
    QString lockoutListText_;
    double lower_ = 0.0;
    double upper_ = 0.0;

    bool firstFocusSeen_ = false;
    bool closing_ = false;
    bool refusing_ = false;

    // Controls
    QGroupBox* frame_ = nullptr;
    QLabel* channelLabel_ = nullptr;
    CDigitsOnlyEdit* channelEdit_ = nullptr; // 1167
    CChannelSpin* spin_ = nullptr;           // 1105
    CFrequencyEdit* rxEdit_ = nullptr;       // 1056
    CFrequencyEdit* txEdit_ = nullptr;       // 1097
    CToneCodeCombo* rxCode_ = nullptr;       // 1091
    CToneCodeCombo* txCode_ = nullptr;       // 1092
    QComboBox* signal_ = nullptr;            // 1093
    QComboBox* spUnmute_ = nullptr;          // 1094
    QComboBox* lockout_ = nullptr;           // 1095
    QComboBox* wideNarrow_ = nullptr;        // 1096
    QLabel* fieldLabels_[kFields] = {};      // 1118..1125, in the order above
    QCheckBox* openChannelBox_ = nullptr;    // 1109
    QCheckBox* openTxBox_ = nullptr;         // 1110
    QCheckBox* beatShiftBox_ = nullptr;      // 1089
    QCheckBox* highPowerBox_ = nullptr;      // 1090
    QCheckBox* scanAddBox_ = nullptr;        // 1106
    QPushButton* saveDefault_ = nullptr;     // 3
    QPushButton* deleteAll_ = nullptr;       // 4
    QPushButton* exit_ = nullptr;            // 2
};
