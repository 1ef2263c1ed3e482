#pragma once
#include <QDialog>
#include <QString>

class OptionList;
class QComboBox;
class RadioSettings;

// The function of the radio's monitor (Moni) key, chosen from the list of
// section "CKeyAssig".
class CKeyAssignDlg : public QDialog {
    Q_OBJECT
public:
    explicit CKeyAssignDlg(QWidget* parent = nullptr);

    int position = 0;
    QString optionText;

    void LoadFrom(const RadioSettings& settings, const OptionList& options);
    void StoreTo(RadioSettings& settings) const;

    QComboBox* ListControl() const { return list_; }

public slots:
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnInitDialog();

    QComboBox* list_ = nullptr;
    bool initialised_ = false;
};
