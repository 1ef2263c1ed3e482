#pragma once
#include <QString>
#include <QWidget>

class CDtmfCodeEdit;

// The third page of the DTMF dialog: nine autodial memories of up to 16
// DTMF symbols each.
class CAutodialPage : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMemories = 9;
    static const int kEditIds[kMemories];

    explicit CAutodialPage(QWidget* parent = nullptr);

    QString text[kMemories];

    // Runs once, when the tab strip creates the page.
    Q_INVOKABLE void OnInitDialog();
    // true: the edits into the members; false: the members into the edits.
    void UpdateData(bool saveAndValidate);

    CDtmfCodeEdit* Edit(int memory) const { return edits_[memory]; }

private:
    CDtmfCodeEdit* edits_[kMemories] = {};
};
