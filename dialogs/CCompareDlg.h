#pragma once
#include <QDialog>
#include <QString>

#include "image/ImageCompare.h"

class QLabel;
class QPushButton;
class QTableWidget;

// What differs between this document and another image, a data file or the
// radio: one row per member whose value differs (named as dump names it,
// with both values as dump prints them), then the bytes no value shows, as
// runs. Copy puts the whole list on the clipboard as text. Display only.
class CCompareDlg : public QDialog {
    Q_OBJECT
public:
    enum class Other { File, Radio };

    // otherName: the file's name (for Other::File); the radio is named in
    // the window's language.
    CCompareDlg(const ImageCompare::Differences& differences, Other other, const QString& otherName,
                QWidget* parent = nullptr);

    QLabel* Summary() const { return summary_; }
    QTableWidget* Table() const { return table_; }
    QPushButton* CopyButton() const { return copy_; }
    QPushButton* CloseButton() const { return close_; }

    // The summary line, then one line per row: "channel 7 rxFrequency:
    // 450.01250 -> 451.00000", "bytes 0x07F0..0x07F3: ff ff ff ff -> 00 00 00 00".
    QString Text() const;

    // A value as dump prints it: numbers, frequencies with five decimals,
    // texts in double quotes (the messages from the radio's GBK).
    static QString ValueText(const SettingsFields::Field& field, const SettingsFields::Value& value);

private:
    void Copy();

    QLabel* summary_;
    QTableWidget* table_;
    QPushButton* copy_;
    QPushButton* close_;
};
