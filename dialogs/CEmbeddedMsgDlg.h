#pragma once
#include <QByteArray>
#include <QString>

#include "dialogs/CSettingsDlg.h"
#include "ui/FilteredEdit.h"

class RadioSettings;

// An edit for a message the radio shows: its limit counts the bytes of the
// radio's Chinese code page (GBK; a Chinese character takes two), and a
// character that code page cannot hold is not taken.
class CMessageEdit : public FilteredEdit {
    Q_OBJECT
public:
    explicit CMessageEdit(QWidget* parent = nullptr) : FilteredEdit(parent) {}

    int Measure(const QString& text) const override;
    // Characters of text that have no GBK form.
    static int UnstorableCount(const QString& text);
    static QByteArray ToGbk(const QString& text);
    static QString FromGbk(const QByteArray& bytes);

protected:
    bool AllowChange(const QString& before, const QString& after) const override;
};

// The two texts the radio carries, 32 bytes each.
class CEmbeddedMsgDlg : public CSettingsDlg {
    Q_OBJECT
public:
    static constexpr int kMaxBytes = 32;

    explicit CEmbeddedMsgDlg(QWidget* parent = nullptr);

    QString message1;
    QString message2;

    void LoadFrom(const RadioSettings& settings);
    // Each text and its terminating zero go to the start of its field; the
    // bytes after the zero stay as they were.
    void StoreTo(RadioSettings& settings) const;

    CMessageEdit* Edit1() const { return edit1_; }
    CMessageEdit* Edit2() const { return edit2_; }

public slots:
    void accept() override;

protected:
    void OnInitDialog() override;

private:
    void UpdateData(bool saveAndValidate);

    CMessageEdit* edit1_ = nullptr;
    CMessageEdit* edit2_ = nullptr;
    // A message that is not changed is stored byte for byte as it was read,
    // even where its bytes are not valid GBK.
    QByteArray stored1_, stored2_;
    QString shown1_, shown2_;
};
