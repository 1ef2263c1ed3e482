#pragma once
#include <QString>
#include <QWidget>

#include "ui/FilteredEdit.h"

class QCheckBox;
class QComboBox;

// The stun (remote kill) code: 0-9 and A-C; a-c are entered as A-C, anything
// else is refused with a message.
class CStunCodeEdit : public FilteredEdit {
    Q_OBJECT
public:
    explicit CStunCodeEdit(QWidget* parent = nullptr) : FilteredEdit(parent) {}

protected:
    Verdict FilterChar(QChar& c) const override;
    void ReportRefused() override;
};

// Decimal digits only; anything else is dropped without a word.
class CDigitEdit : public FilteredEdit {
    Q_OBJECT
public:
    explicit CDigitEdit(QWidget* parent = nullptr) : FilteredEdit(parent) {}

protected:
    Verdict FilterChar(QChar& c) const override;
};

// The second page of the DTMF dialog: decoder options, the radio's ID code
// and the stun settings.
class CDtmfDecodePage : public QWidget {
    Q_OBJECT
public:
    enum List { AutoReset, Transpond, CallAlert, GroupCode, Intermediate, Signalling, ListCount };
    static const int kListIds[ListCount];

    explicit CDtmfDecodePage(QWidget* parent = nullptr);

    QString optionText[ListCount];
    int position[ListCount] = {};
    QString idCode;
    QString stunCode;
    int stunAllow = 0;        // check box 1146
    int clearTranspond = 0;   // check box 1147

    Q_INVOKABLE void OnInitDialog();
    void UpdateData(bool saveAndValidate);
    void ReadPositions();

    // 1 when the stun code may be kept; 0 when it is refused, after a message.
    // With stun allowed the code must have six characters, at least one of
    // them a letter A-C.
    int ValidateStunCode();

    QComboBox* ListControl(List list) const { return lists_[list]; }
    CDigitEdit* IdEdit() const { return id_; }
    CStunCodeEdit* StunEdit() const { return stun_; }
    QCheckBox* StunAllowBox() const { return stunAllowBox_; }
    QCheckBox* ClearTranspondBox() const { return clearBox_; }

private:
    void ApplyStunAllowRule();
    void ApplySignallingAtOpening();
    void OnSignallingChanged();
    void OnIdCodeEdited();

    QComboBox* lists_[ListCount] = {};
    CDigitEdit* id_ = nullptr;
    CStunCodeEdit* stun_ = nullptr;
    QCheckBox* stunAllowBox_ = nullptr;
    QCheckBox* clearBox_ = nullptr;
};
