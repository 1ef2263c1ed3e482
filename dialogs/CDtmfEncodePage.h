#pragma once
#include <QString>
#include <QWidget>

class CDtmfCodeEdit;
class QCheckBox;
class QComboBox;

// The first page of the DTMF dialog: encoder timing, PTT ID and the codes
// sent at the begin and end of a transmission.
class CDtmfEncodePage : public QWidget {
    Q_OBJECT
public:
    enum List { KeyFormat, DKey, PttId, ToneTime, FirstTime, FirstDelay, Speed, ListCount };
    static const int kListIds[ListCount];

    explicit CDtmfEncodePage(QWidget* parent = nullptr);

    QString optionText[ListCount];
    int position[ListCount] = {};
    int holdTime = 0;        // check box 1136
    int storeAndSend = 0;    // check box 1137
    QString botText;
    QString eotText;

    Q_INVOKABLE void OnInitDialog();
    void UpdateData(bool saveAndValidate);
    // Reads the selected list positions into position (-1 for none).
    void ReadPositions();

    QComboBox* ListControl(List list) const { return lists_[list]; }
    CDtmfCodeEdit* BotEdit() const { return bot_; }
    CDtmfCodeEdit* EotEdit() const { return eot_; }

private:
    // PTT ID decides which of the two codes is sent, so only those edits are
    // open; a code that is not sent is emptied.
    void ApplyPttIdRule();

    QComboBox* lists_[ListCount] = {};
    CDtmfCodeEdit* bot_ = nullptr;
    CDtmfCodeEdit* eot_ = nullptr;
    QCheckBox* hold_ = nullptr;
    QCheckBox* storeSend_ = nullptr;
};
