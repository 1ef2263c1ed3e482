#include "ui/OptionList.h"

#include <vector>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include "image/FileAccess.h"
#include "ui/AppPictures.h"

namespace {

// The shipped files are a few kilobytes; a larger one is not an option file.
constexpr std::size_t kMaxFileSize = 1024 * 1024;

} // namespace

QString DecodeOptionFile(QByteArrayView bytes)
{
    // A file that is valid UTF-8 is read as such; the files of the Windows
    // program are GBK, which a UTF-8 reader turns into garbage.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder gbk("GBK", QStringDecoder::Flag::Stateless);
    if (!gbk.isValid())
        return text;
    return gbk(bytes);
}

OptionList::OptionList() : directory_(QDir::currentPath()) {}

OptionList::OptionList(const QString& directory) : directory_(directory) {}

void OptionList::SetFile(const QString& fileName) { fileName_ = fileName; }

QString OptionList::ResolvedPath() const
{
    return fileName_.isEmpty() ? QString() : FindShippedFile(fileName_, directory_);
}

QString OptionList::ReadSection(const QString& section) const
{
    const QString path = ResolvedPath();
    if (path.isEmpty())
        return QString();
    std::vector<uint8_t> bytes;
    if (!FileAccess::ReadRegularFile(QFile::encodeName(path).toStdString(), kMaxFileSize,
                                     FileAccess::Longer::Refuse, bytes))
        return QString();
    QString text = DecodeOptionFile(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);

    QString result;
    bool inSection = false;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            if (inSection)
                break; // the section has ended
            inSection = line.mid(1, line.size() - 2).trimmed().compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection)
            continue;
        const int eq = line.indexOf(QLatin1Char('='));
        // Only the key is used; a line without "=" gives an empty entry.
        result += (eq < 0 ? QString() : line.left(eq).trimmed()) + QLatin1Char('|');
    }
    return result;
}

void FillComboFromList(QComboBox* combo, const QString& listText)
{
    combo->clear();
    int position = 0;
    int start = 0;
    for (int bar = listText.indexOf(QLatin1Char('|')); bar >= 0;
         bar = listText.indexOf(QLatin1Char('|'), start)) {
        combo->insertItem(position++, listText.mid(start, bar - start));
        start = bar + 1;
    }
}
