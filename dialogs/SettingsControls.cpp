#include "SettingsControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "DialogUnits.h"

namespace {
template <class W>
W* Named(W* widget, int id)
{
    widget->setObjectName(IdName(id));
    return widget;
}
} // namespace

QLabel* MakeLabel(QWidget* parent, const DialogUnits& du, int id, int x, int y, int width, int height)
{
    auto* label = Named(new QLabel(parent), id);
    du.Place(label, x, y, width, height);
    return label;
}

QComboBox* MakeDropList(QWidget* parent, const DialogUnits& du, int id, int x, int y, int width)
{
    auto* list = Named(new QComboBox(parent), id);
    list->setEditable(false);
    list->setInsertPolicy(QComboBox::NoInsert);
    list->setMaxVisibleItems(12);
    // A closed drop-down list is 12 units high on the original platform.
    du.Place(list, x, y, width, 12);
    return list;
}

QCheckBox* MakeCheck(QWidget* parent, const DialogUnits& du, int id, int x, int y, int width, int height)
{
    auto* box = Named(new QCheckBox(parent), id);
    du.Place(box, x, y, width, height);
    return box;
}

QGroupBox* MakeGroup(QWidget* parent, const DialogUnits& du, int id, int x, int y, int width, int height)
{
    auto* group = Named(new QGroupBox(parent), id);
    du.Place(group, x, y, width, height);
    return group;
}

QPushButton* MakeButton(QWidget* parent, const DialogUnits& du, int id, int x, int y, int width, int height)
{
    auto* button = Named(new QPushButton(parent), id);
    du.Place(button, x, y, width, height);
    return button;
}

void SelectPosition(QComboBox* list, int position)
{
    list->setCurrentIndex(position >= 0 && position < list->count() ? position : -1);
}

int SelectedPosition(const QComboBox* list) { return list->currentIndex(); }
