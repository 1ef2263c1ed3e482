// Every control a person types into or chooses from in every dialog carries
// a name for screen readers: its own accessible name, a label that has it as
// buddy, or (for boxes and buttons) its own text.
#include <QAbstractButton>
#include <QLabel>
#include <QSignalSpy>
#include <memory>

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

template <class D, class... A>
std::unique_ptr<QDialog> Loaded(const A&... from)
{
    auto d = std::make_unique<D>();
    d->LoadFrom(from...);
    return d;
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
    const std::pair<const char*, std::function<std::unique_ptr<QDialog>()>> dialogs[] = {
        {"RadioInfo", [&] { return Loaded<CRadioInfoDlg>(s); }},
        {"Dtmf", [&] { return Loaded<CDtmfDlg>(s, options); }},
        {"EmbeddedMsg", [&] { return Loaded<CEmbeddedMsgDlg>(s); }},
        {"KeyAssign", [&] { return Loaded<CKeyAssignDlg>(s, options); }},
        {"OptionalFeature", [&] { return Loaded<COptionalFeatureDlg>(s, options); }},
        {"LinkProgress", [] { return std::make_unique<CLinkProgressDlg>(); }},
        {"Compare", [&] { return std::make_unique<CCompareDlg>(ImageCompare::Compare(golden, golden),
                                                               CCompareDlg::Other::File, "b.dat"); }},
        {"ChannelEdit", [&] {
             ChannelEditRequest r;
             r.settings = &s;
             r.bandText = "UHF:450-470MHz";
             return std::make_unique<CChannelEditDlg>(r, view);
         }},
        {"CheckConnection", [] {
             auto d = std::make_unique<CCheckConnectionDlg>();
             QSignalSpy finished(d.get(), &CCheckConnectionDlg::checkFinished);
             d->OnInitDialog(); // no port: the facts only
             EXPECT_TRUE(finished.count() > 0 || finished.wait(10000));
             return d;
         }},
        {"CommPort", [] {
             auto d = std::make_unique<CCommPortDlg>();
             d->OnInitDialog();
             return d;
         }},
        {"ModelInfo", [&] {
             auto d = std::make_unique<CModelInfoDlg>(view);
             d->OnInitDialog(); // no band: the custom area is open
             return d;
         }},
        {"ProductionLine", [&] {
             auto d = std::make_unique<CProductionLineDlg>();
             d->golden = &golden;
             d->findDevices = [] { return std::vector<SerialDevice>{}; };
             d->OnInitDialog();
             return d;
         }},
    };
    for (const auto& [name, make] : dialogs) {
        const std::unique_ptr<QDialog> d = make();
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
                << name << ": " << w->objectName() << " (" << w->metaObject()->className() << ")";
        }
        EXPECT_GT(controls, 0) << name;
    }
}

} // namespace
