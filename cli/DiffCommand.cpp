// zemtra800-cli diff: two data files compared field by field.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/CliCommands.h"
#include "cli/CliSupport.h"
#include "cli/SettingsJson.h"
#include "image/ImageCompare.h"

namespace {

using SettingsFields::Group;
using SettingsFields::Kind;

// A value as dump prints it; frequencies with the five decimals the image holds.
QString ValueText(const SettingsFields::Field& field, const SettingsFields::Value& value)
{
    switch (value.kind) {
    case Kind::Scalar:
    case Kind::Flag: return QString::number(value.integer);
    case Kind::Frequency: return QString::fromStdString(SettingsFields::FrequencyText(value.frequency));
    case Kind::Text: break;
    }
    // The JSON string, quoted and escaped exactly as dump writes it.
    QByteArray json = QJsonDocument(QJsonArray{ValueToJson(field, value)}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(json.mid(1, json.size() - 2));
}

QString FromStd(const std::string& text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QJsonArray DifferencesJson(const ImageCompare::Differences& d)
{
    QJsonArray out;
    for (const ImageCompare::ValueDifference& v : d.values) {
        QJsonObject o;
        o.insert(QStringLiteral("member"), QLatin1String(v.field.member->name));
        if (v.field.member->group == Group::Channel)
            o.insert(QStringLiteral("channel"), v.field.number);
        else if (v.field.member->group == Group::Autodial)
            o.insert(QStringLiteral("index"), v.field.number);
        o.insert(QStringLiteral("a"), ValueToJson(v.field, v.a));
        o.insert(QStringLiteral("b"), ValueToJson(v.field, v.b));
        out.append(o);
    }
    for (const ImageCompare::ByteRun& r : d.bytes) {
        QJsonObject o;
        o.insert(QStringLiteral("member"), QStringLiteral("bytes"));
        o.insert(QStringLiteral("from"), qint64(r.from));
        o.insert(QStringLiteral("to"), qint64(r.to));
        o.insert(QStringLiteral("a"), FromStd(ImageCompare::HexBytes(r.a)));
        o.insert(QStringLiteral("b"), FromStd(ImageCompare::HexBytes(r.b)));
        if (r.field)
            o.insert(QStringLiteral("field"), FromStd(r.field->Name()));
        out.append(o);
    }
    return out;
}

} // namespace

int RunDiffCommand(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Compares two data files. One line per member whose value differs, by the names dump uses "
        "(\"channel 7 rxFrequency: 450.01250 -> 451.00000\"), then the bytes that differ where no value shows "
        "it, as runs (\"bytes 0x07F0..0x07F3: ff ff ff ff -> 00 00 00 00\"), with the field they belong to in "
        "parentheses. Exit status 0 when the 2048 bytes are equal, 1 when they differ, 2 on bad input."));
    parser.addPositionalArgument(QStringLiteral("A.dat"), QStringLiteral("The first data file."));
    parser.addPositionalArgument(QStringLiteral("B.dat"), QStringLiteral("The second data file."));
    const QCommandLineOption json(QStringLiteral("json"),
                                  QStringLiteral("Print a JSON array of differences: {member, channel or index, "
                                                 "a, b} with values as dump types them, and {\"member\": "
                                                 "\"bytes\", from, to, a, b, field} for byte runs."));
    parser.addOption(json);
    if (auto done = ParseCommand(parser, QStringLiteral("diff"), arguments, 2))
        return *done;

    CliDocument a, b;
    if (!LoadAndDecode(a.data, parser.positionalArguments().at(0)) ||
        !LoadAndDecode(b.data, parser.positionalArguments().at(1)))
        return kBadInput;
    const ImageCompare::Differences differences = ImageCompare::Compare(a.data, b.data);

    QByteArray text;
    if (parser.isSet(json)) {
        text = QJsonDocument(DifferencesJson(differences)).toJson(QJsonDocument::Indented);
    } else {
        for (const ImageCompare::ValueDifference& v : differences.values)
            text += QStringLiteral("%1: %2 -> %3\n")
                        .arg(FromStd(v.field.Name()), ValueText(v.field, v.a), ValueText(v.field, v.b))
                        .toUtf8();
        for (const ImageCompare::ByteRun& r : differences.bytes)
            text += QByteArray::fromStdString(ImageCompare::ByteRunText(r)) + '\n';
    }
    if (int status = WriteStandardOutput(text, QStringLiteral("diff")))
        return status;
    return differences.Equal() ? 0 : 1;
}
