#pragma once
// "New Takeoff Item": the name, kind, colour, unit and waste allowance of an item that marks
// are measured for. The units offered follow the kind.
#include "takeoff/TakeoffData.h"

#include <QDialog>
#include <QStringList>

class QComboBox;
class QDoubleSpinBox;
class QLineEdit;

namespace brevant::viewer {

class frmTakeoffItem : public QDialog {
    Q_OBJECT
public:
    explicit frmTakeoffItem(takeoff::LengthSystem system, QWidget* parent = nullptr);

    // What was entered (the name trimmed).
    takeoff::Item item() const;
    void setItem(const takeoff::Item& item);
    void setKind(takeoff::Kind kind);
    // Starts on the first offered colour the project's items do not use yet, so that marks of
    // items made without choosing one still look apart on the sheet.
    void preferColourBeside(const QStringList& used);

    // The colours offered, in order: distinct on a white sheet and on each other.
    static const QStringList& colours();

private:
    void fillUnits();

    takeoff::LengthSystem system_;
    QLineEdit* txtName;
    QComboBox* cboKind;
    QComboBox* cboColour;
    QComboBox* cboUnit;
    QDoubleSpinBox* txtWaste;
};

} // namespace brevant::viewer
