#pragma once
#include <QString>
#include <QWidget>

#include "dialogs/CSettingsDlg.h"

class CAutodialPage;
class CDtmfDecodePage;
class CDtmfEncodePage;
class OptionList;
class QTabBar;
class RadioSettings;

// The tab strip of the DTMF dialog. It owns the showing and hiding of its
// pages and will not leave the decode page while its stun code is refused.
class CDtmfTabCtrl : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxPages = 16;

    explicit CDtmfTabCtrl(QWidget* parent = nullptr);

    // 1 when added, 0 when the table is full.
    int AddPage(const QString& title, QWidget* page, int templateId);
    // Makes every page a child of the strip, runs its initialisation, inserts
    // the tab items, shows page 0 and lays the pages out.
    void CreatePages();
    // The index shown before, or -1 for an index outside the table.
    int SelectPage(int index);
    // SelectPage(current + 1), or -2 when the decode page may not be left.
    int NextPage();

    int CurrentIndex() const { return current_; }
    int Count() const { return count_; }
    QWidget* Page(int index) const { return index >= 0 && index < count_ ? pages_[index].page : nullptr; }
    QTabBar* Bar() const { return bar_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Entry {
        QString title;
        int templateId = 0;
        QWidget* page = nullptr;
    };
    // true when the page shown may be left (always, unless it is the decode
    // page and its stun code is refused; the focus then goes to the code).
    bool MayLeaveCurrent();
    void ShowOnly(int index);
    void LayoutPages();
    void OnBarChanged(int index);

    Entry pages_[kMaxPages];
    int count_ = 0;
    int current_ = 0;
    QTabBar* bar_ = nullptr;
    bool pressChecked_ = false;
};

// The DTMF settings: encode, decode and autodial pages on a tab strip. Enter
// steps through the pages and confirms on the last one.
class CDtmfDlg : public CSettingsDlg {
    Q_OBJECT
public:
    explicit CDtmfDlg(QWidget* parent = nullptr);
    ~CDtmfDlg() override;

    // The transfer members: filled before the dialog opens, read after OK.
    QString autodial[9];
    QString encodeOptionText[7];   // in CDtmfEncodePage::List order
    QString decodeOptionText[6];   // in CDtmfDecodePage::List order
    QString botText;
    QString eotText;
    int encodePosition[7] = {};
    int holdTime = 0;
    int storeAndSend = 0;
    int decodePosition[6] = {};
    QString idCode;
    QString stunCode;
    int stunAllow = 0;
    int clearTranspond = 0;

    void LoadFrom(const RadioSettings& settings, const OptionList& options);
    void StoreTo(RadioSettings& settings) const;

    CDtmfTabCtrl* TabCtrl() const { return tab_; }
    CDtmfEncodePage* EncodePage() const { return encode_; }
    CDtmfDecodePage* DecodePage() const { return decode_; }
    CAutodialPage* AutodialPage() const { return autodial_; }

public slots:
    void accept() override;

protected:
    void OnInitDialog() override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CDtmfTabCtrl* tab_ = nullptr;
    CDtmfEncodePage* encode_ = nullptr;
    CDtmfDecodePage* decode_ = nullptr;
    CAutodialPage* autodial_ = nullptr;
    bool filtering_ = false;
    bool dispatchingEnter_ = false;
};
