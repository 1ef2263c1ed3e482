#pragma once
#include <QString>

#include <cstddef>

#include "ui/DialogUnits.h"

class QCheckBox;
class QComboBox;
class QDialog;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QPushButton;
class QWidget;

// Building blocks shared by the dialogs: each control is placed in dialog
// units and carries its control id as its object name, so the dialogs keep
// the ids of the radio tool's templates.

// The object name of a control id.
inline QString IdName(int id) { return QString::number(id); }

// Names control by id and places it at the rectangle given in dialog units.
template <class W>
W* PlaceControl(W* control, const DialogUnits& du, int id, int x, int y, int width, int height)
{
    control->setObjectName(IdName(id));
    du.Place(control, x, y, width, height);
    return control;
}

QLabel* MakeLabel(QWidget* parent, const DialogUnits& du, int id, int x, int y, int width, int height);
// A drop-down list without an edit field. Only the closed height is placed;
// the open list sizes itself.
QComboBox* MakeDropList(QWidget* parent, const DialogUnits& du, int id, int x, int y, int width);
QCheckBox* MakeCheck(QWidget* parent, const DialogUnits& du, int id, int x, int y, int width, int height);
QGroupBox* MakeGroup(QWidget* parent, const DialogUnits& du, int id, int x, int y, int width, int height);
QPushButton* MakeButton(QWidget* parent, const DialogUnits& du, int id, int x, int y, int width, int height);
// OK (id 1, the default button, accepts) and Cancel (id 2, rejects), both
// 38 x 13 units on row y.
void MakeOkCancel(QDialog* dialog, const DialogUnits& du, int okX, int cancelX, int y);
// Puts the texts of the buttons MakeOkCancel made, in the language of the moment.
void SetOkCancelTexts(QDialog* dialog);

// Selects position in list; a position outside the list leaves no selection,
// as the classic list does.
void SelectPosition(QComboBox* list, int position);
// The selected position, -1 when nothing is selected.
int SelectedPosition(const QComboBox* list);

// Fills list from an option text ("a|b|c|") and selects position.
void FillAndSelect(QComboBox* list, const QString& text, int position);
// The same for each list of a dialog.
template <std::size_t N>
void ShowPositions(QComboBox* const (&lists)[N], const QString (&texts)[N], const int (&positions)[N])
{
    for (std::size_t i = 0; i < N; ++i)
        FillAndSelect(lists[i], texts[i], positions[i]);
}
// Reads the selected position of each list (-1 for none).
template <std::size_t N>
void ReadPositions(QComboBox* const (&lists)[N], int (&positions)[N])
{
    for (std::size_t i = 0; i < N; ++i)
        positions[i] = SelectedPosition(lists[i]);
}

// A label's text as an accessible name: without the closing colon, ASCII or
// full-width.
QString StripColon(QString text);
// The control after from in dialog's tab order that can take the focus.
QWidget* NextTabItem(QWidget* dialog, QWidget* from);
// Return or Enter without a command modifier.
bool IsEnterKey(const QKeyEvent* key);
