// Every control a person types into or chooses from in every dialog carries
// a name for screen readers: its own accessible name, a label that has it as
// buddy, or (for boxes and buttons) its own text.
#include <QAbstractButton>
#include <QLabel>
#include <QSignalSpy>
#include <memory>
#include <vector>

#include "DialogTestKit.h"
#include "dialogs/CChannelEditDlg.h"
#include "dialogs/CCheckConnectionDlg.h"
#include "dialogs/CCommPortDlg.h"
#include "dialogs/CCompareDlg.h"
#include "dialogs/CDtmfDlg.h"
#include "dialogs/CEmbeddedMsgDlg.h"
#include "dialogs/CKeyAssignDlg.h"
#include "dialogs/CLinkProgressDlg.h"
#include "dialogs/CModelInfoDlg.h"
#include "dialogs/COptionalFeatureDlg.h"
#include "dialogs/CProductionLineDlg.h"
#include "dialogs/CRadioInfoDlg.h"
#include "dialogs/DialogEntry.h"
#include "image/CImportData.h"
#include "image/ImageCompare.h"

namespace {
using AccessibleNamesTest = DialogTest;

// A dialog of type D made from args and kept in all.
template <class D, class... A>
D* Add(std::vector<std::unique_ptr<QDialog>>& all, A&&... args)
{
    all.push_back(std::make_unique<D>(std::forward<A>(args)...));
    return static_cast<D*>(all.back().get());
}

bool IsControl(const QWidget* w)
{
    // A list's or a spin box's own edit is named through its owner.
    const QWidget* owner = w->parentWidget();
    if (owner && (owner->inherits("QComboBox") || owner->inherits("QAbstractSpinBox")))
        return false;
    static const char* const types[] = {"QLineEdit", "QComboBox", "QAbstractSpinBox", "QCheckBox", "QRadioButton",
                                        "QPlainTextEdit", "QTextEdit", "QListWidget", "QTableWidget", "QTreeWidget"};
    return std::ranges::any_of(types, [w](const char* type) { return w->inherits(type); });
}

TEST_F(AccessibleNamesTest, EveryControlOfEveryDialogIsNamed)
{
    RadioSettings s;
    FakeChannelView view;
    CImportData golden;
    const OptionList options = Options({});
    std::vector<std::unique_ptr<QDialog>> all;
    Add<CRadioInfoDlg>(all)->LoadFrom(s);
    Add<CDtmfDlg>(all)->LoadFrom(s, options);
    Add<CEmbeddedMsgDlg>(all)->LoadFrom(s);
    Add<CKeyAssignDlg>(all)->LoadFrom(s, options);
    Add<COptionalFeatureDlg>(all)->LoadFrom(s, options);
    Add<CLinkProgressDlg>(all);
    Add<CCompareDlg>(all, ImageCompare::Compare(golden, golden), CCompareDlg::Other::File, "b.dat");
    ChannelEditRequest r;
    r.settings = &s;
    r.bandText = "UHF:450-470MHz";
    Add<CChannelEditDlg>(all, r, view);
    auto* check = Add<CCheckConnectionDlg>(all);
    QSignalSpy finished(check, &CCheckConnectionDlg::checkFinished);
    check->OnInitDialog(); // no port: the facts only
    EXPECT_TRUE(finished.count() > 0 || finished.wait(10000));
    Add<CCommPortDlg>(all)->OnInitDialog();
    Add<CModelInfoDlg>(all, view)->OnInitDialog(); // no band: the custom area is open
    auto* line = Add<CProductionLineDlg>(all);
    line->golden = &golden;
    line->findDevices = [] { return std::vector<SerialDevice>{}; };
    line->OnInitDialog();
    for (const auto& d : all) {
        d->show();
        const QList<QLabel*> labels = d->findChildren<QLabel*>();
        int controls = 0;
        for (QWidget* w : d->findChildren<QWidget*>()) {
            if (!IsControl(w))
                continue;
            ++controls;
            const auto* button = qobject_cast<const QAbstractButton*>(w);
            EXPECT_TRUE(!w->accessibleName().isEmpty() || (button && !button->text().isEmpty()) ||
                        std::ranges::any_of(labels, [w](const QLabel* l) { return l->buddy() == w; }))
                << d->metaObject()->className() << ": " << w->objectName() << " (" << w->metaObject()->className()
                << ")";
        }
        EXPECT_GT(controls, 0) << d->metaObject()->className();
    }
}

} // namespace
