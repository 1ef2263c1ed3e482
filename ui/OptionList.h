#pragma once
#include <QByteArrayView>
#include <QString>

class QComboBox;

// Reads the wording of a drop-down list from a section of the current
// language's configuration file ("Config.ini" or "EConfig.ini"). The list
// text holds the section's keys in file order, each followed by "|".
class OptionList {
public:
    // Remembers the current folder; files are looked up there first, then in
    // the folder the program is installed in.
    OptionList();
    explicit OptionList(const QString& directory);

    void SetFile(const QString& fileName);
    QString File() const { return fileName_; }
    QString Directory() const { return directory_; }
    // The path that ReadSection reads, or "" when the file is in neither folder.
    QString ResolvedPath() const;

    // "A|B|C|" for a section with the lines A=1, B=2, C=3; "" for a missing
    // file, a missing section or an empty one.
    QString ReadSection(const QString& section) const;

private:
    QString directory_;
    QString fileName_;
};

// The text of an option file: UTF-8 when the bytes are valid UTF-8, else
// GBK (the Chinese files carried over from Windows).
QString DecodeOptionFile(QByteArrayView bytes);

// Empties combo and inserts every entry of listText that ends with "|", in
// order at positions 0, 1, 2, ...; text after the last "|" is dropped.
void FillComboFromList(QComboBox* combo, const QString& listText);
