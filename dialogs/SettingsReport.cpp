#include "dialogs/SettingsReport.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>

#include "dialogs/CDtmfDlg.h"
#include "dialogs/CEmbeddedMsgDlg.h"
#include "dialogs/CKeyAssignDlg.h"
#include "dialogs/COptionalFeatureDlg.h"
#include "dialogs/SettingsControls.h"
#include "ui/Language.h"

namespace {

QString Plain(QString text)
{
    // "&&" is a literal ampersand; a single '&' only marks the access key.
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return StripColon(text);
}

QString ValueOf(const QWidget* control)
{
    if (const auto* list = qobject_cast<const QComboBox*>(control))
        return list->currentIndex() >= 0 || list->isEditable() ? list->currentText() : QString();
    if (const auto* edit = qobject_cast<const QLineEdit*>(control))
        return edit->text();
    return QString();
}

// The labelled fields and check boxes of a form, the left half of it top
// to bottom, then the right half: the dialogs are laid out in two columns.
std::vector<SettingsLine> FieldsOf(const QWidget* form)
{
    struct Placed {
        bool right;
        int y, x;
        SettingsLine line;
    };
    std::vector<Placed> found;
    const int middle = form->width() / 2;
    auto add = [&](const QWidget* w, SettingsLine line) {
        const QPoint at = w->mapTo(form, QPoint(0, 0));
        found.push_back({at.x() >= middle, at.y(), at.x(), std::move(line)});
    };
    for (const QWidget* w : form->findChildren<QWidget*>()) {
        if (const auto* label = qobject_cast<const QLabel*>(w)) {
            if (label->buddy())
                add(label, {Plain(label->text()), ValueOf(label->buddy())});
        } else if (const auto* box = qobject_cast<const QCheckBox*>(w)) {
            add(box, {Plain(box->text()), box->isChecked() ? Lang("On", "开") : Lang("Off", "关")});
        }
    }
    std::stable_sort(found.begin(), found.end(), [](const Placed& a, const Placed& b) {
        if (a.right != b.right)
            return !a.right;
        return a.y != b.y ? a.y < b.y : a.x < b.x;
    });
    std::vector<SettingsLine> lines;
    for (Placed& p : found)
        lines.push_back(std::move(p.line));
    return lines;
}

template <class D, class... Load>
SettingsSection DescribeDialog(const RadioSettings& settings, const Load&... load)
{
    D dialog;
    dialog.LoadFrom(settings, load...);
    dialog.Prepare();
    return {dialog.windowTitle(), FieldsOf(&dialog)};
}

} // namespace

std::vector<SettingsSection> DescribeSettings(const RadioSettings& settings, const OptionList& options, bool dtmf)
{
    std::vector<SettingsSection> sections;
    sections.push_back(DescribeDialog<COptionalFeatureDlg>(settings, options));
    sections.push_back(DescribeDialog<CKeyAssignDlg>(settings, options));
    if (dtmf) {
        CDtmfDlg dialog;
        dialog.LoadFrom(settings, options);
        dialog.Prepare();
        CDtmfTabCtrl* tabs = dialog.TabCtrl();
        for (int i = 0; i < tabs->Count(); ++i)
            sections.push_back({QStringLiteral("%1 - %2").arg(dialog.windowTitle(), tabs->Bar()->tabText(i)),
                                FieldsOf(tabs->Page(i))});
    }
    sections.push_back(DescribeDialog<CEmbeddedMsgDlg>(settings));
    return sections;
}
