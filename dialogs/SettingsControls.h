#pragma once
#include <QString>

class DialogUnits;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QWidget;

// Building blocks of the settings dialogs: each control is placed in dialog
// units and carries its control id as its object name, so the dialogs keep
// the ids of the radio tool's templates.
QLabel* MakeLabel(QWidget* parent, const DialogUnits& du, int id, int x, int y, int width, int height);
// A drop-down list without an edit field. Only the closed height is placed;
// the open list sizes itself.
QComboBox* MakeDropList(QWidget* parent, const DialogUnits& du, int id, int x, int y, int width);
QCheckBox* MakeCheck(QWidget* parent, const DialogUnits& du, int id, int x, int y, int width, int height);
QGroupBox* MakeGroup(QWidget* parent, const DialogUnits& du, int id, int x, int y, int width, int height);
QPushButton* MakeButton(QWidget* parent, const DialogUnits& du, int id, int x, int y, int width, int height);

// Selects position in list; a position outside the list leaves no selection.
void SelectPosition(QComboBox* list, int position);
// The selected position, -1 when nothing is selected.
int SelectedPosition(const QComboBox* list);

// The object name of a control id.
inline QString IdName(int id) { return QString::number(id); }
