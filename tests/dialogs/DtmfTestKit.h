// Opens the DTMF dialog on option files of our own.
#pragma once
#include <memory>

#include "CAutodialPage.h"
#include "CDtmfDecodePage.h"
#include "CDtmfDlg.h"
#include "CDtmfEncodePage.h"
#include "RadioSettings.h"
#include "SettingsTestKit.h"

class DtmfDialogTest : public SettingsDialogTest {
protected:
    std::unique_ptr<CDtmfDlg> Open(const RadioSettings& s)
    {
        const OptionList options = Options({{"CDTMFKey", 2}, {"CDCode", 5}, {"CPTTID", 4}, {"CTONETIME", 5},
                                            {"CFIRSTDTMFTIME", 5}, {"CFIRSTDTMFDELAYTIME", 8},
                                            {"CDTMFSPEED", 5}, {"CAutoReset", 11}, {"CTranspond", 4},
                                            {"CCallAlert", 4}, {"CGroupCode", 7},
                                            {"CINTERMEDIATE_CODE", 5}, {"CDTMFSign", 2}});
        auto dlg = std::make_unique<CDtmfDlg>();
        dlg->LoadFrom(s, options);
        dlg->show();
        return dlg;
    }
    // Presses Enter on a control, as the keyboard would.
    static void Enter(QWidget* control) { QTest::keyClick(control, Qt::Key_Return); }
};
