#include "dialogs/SettingsControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "ui/Language.h"
#include "ui/OptionList.h"

QLabel* MakeLabel(QWidget* parent, const DialogUnits& du, int id, int x, int y, int width, int height)
{
    return PlaceControl(new QLabel(parent), du, id, x, y, width, height);
}

QComboBox* MakeDropList(QWidget* parent, const DialogUnits& du, int id, int x, int y, int width)
{
    auto* list = new QComboBox(parent);
    list->setEditable(false);
    list->setInsertPolicy(QComboBox::NoInsert);
    list->setMaxVisibleItems(12);
    // A closed drop-down list is 12 units high on the original platform.
    return PlaceControl(list, du, id, x, y, width, 12);
}

QCheckBox* MakeCheck(QWidget* parent, const DialogUnits& du, int id, int x, int y, int width, int height)
{
    return PlaceControl(new QCheckBox(parent), du, id, x, y, width, height);
}

QGroupBox* MakeGroup(QWidget* parent, const DialogUnits& du, int id, int x, int y, int width, int height)
{
    return PlaceControl(new QGroupBox(parent), du, id, x, y, width, height);
}

QPushButton* MakeButton(QWidget* parent, const DialogUnits& du, int id, int x, int y, int width, int height)
{
    return PlaceControl(new QPushButton(parent), du, id, x, y, width, height);
}

void MakeOkCancel(QDialog* dialog, const DialogUnits& du, int okX, int cancelX, int y)
{
    QPushButton* ok = MakeButton(dialog, du, 1, okX, y, 38, 13);
    QPushButton* cancel = MakeButton(dialog, du, 2, cancelX, y, 38, 13);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
}

void SetOkCancelTexts(QDialog* dialog)
{
    dialog->findChild<QPushButton*>(IdName(1))->setText(Lang("OK", "确定"));
    dialog->findChild<QPushButton*>(IdName(2))->setText(Lang("Cancel", "取消"));
}

void SelectPosition(QComboBox* list, int position)
{
    list->setCurrentIndex(position >= 0 && position < list->count() ? position : -1);
}

int SelectedPosition(const QComboBox* list) { return list->currentIndex(); }

void FillAndSelect(QComboBox* list, const QString& text, int position)
{
    FillComboFromList(list, text);
    SelectPosition(list, position);
}

QString StripColon(QString text)
{
    text = text.trimmed();
    while (text.endsWith(QLatin1Char(':')) || text.endsWith(QChar(0xFF1A)))
        text.chop(1);
    return text.trimmed();
}

QWidget* NextTabItem(QWidget* dialog, QWidget* from)
{
    for (QWidget* w = from->nextInFocusChain(); w && w != from; w = w->nextInFocusChain()) {
        if (w != dialog && dialog->isAncestorOf(w) && w->isEnabled() && w->isVisibleTo(dialog)
            && (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy())
            return w;
    }
    return nullptr;
}

bool IsEnterKey(const QKeyEvent* key)
{
    return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
        && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}
