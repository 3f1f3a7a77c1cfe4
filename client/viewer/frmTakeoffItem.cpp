#include "frmTakeoffItem.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSet>

namespace brevant::viewer {

using namespace brevant::takeoff;

const QStringList& frmTakeoffItem::colours() {
    static const QStringList list = {QStringLiteral("#e53935"), QStringLiteral("#1e88e5"),
                                     QStringLiteral("#43a047"), QStringLiteral("#fb8c00"),
                                     QStringLiteral("#8e24aa"), QStringLiteral("#00897b"),
                                     QStringLiteral("#6d4c41"), QStringLiteral("#d81b60")};
    return list;
}

frmTakeoffItem::frmTakeoffItem(LengthSystem system, QWidget* parent)
    : QDialog(parent), system_(system), txtName(new QLineEdit(this)), cboKind(new QComboBox(this)),
      cboColour(new QComboBox(this)), cboUnit(new QComboBox(this)),
      txtWaste(new QDoubleSpinBox(this)) {
    setObjectName(QStringLiteral("frmTakeoffItem"));
    setWindowTitle(tr("New Takeoff Item"));
    txtName->setObjectName(QStringLiteral("txtName"));
    txtName->setMaxLength(kMaxNameLength);
    cboKind->setObjectName(QStringLiteral("cboKind"));
    for (Kind k : {Kind::Length, Kind::Area, Kind::Count})
        cboKind->addItem(kindName(k), int(k));
    cboColour->setObjectName(QStringLiteral("cboColour"));
    for (const QString& c : colours()) {
        QPixmap p(16, 16);
        p.fill(QColor(c));
        cboColour->addItem(QIcon(p), c, c);
    }
    cboUnit->setObjectName(QStringLiteral("cboUnit"));
    txtWaste->setObjectName(QStringLiteral("txtWaste"));
    txtWaste->setRange(0, 100);
    txtWaste->setDecimals(1);
    txtWaste->setSuffix(QStringLiteral(" %"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setEnabled(false);
    auto* form = new QFormLayout(this);
    form->addRow(tr("Name:"), txtName);
    form->addRow(tr("Kind:"), cboKind);
    form->addRow(tr("Colour:"), cboColour);
    form->addRow(tr("Unit:"), cboUnit);
    form->addRow(tr("Waste:"), txtWaste);
    form->addRow(buttons);
    connect(cboKind, &QComboBox::currentIndexChanged, this, [this] { fillUnits(); });
    connect(txtName, &QLineEdit::textChanged, this,
            [ok](const QString& t) { ok->setEnabled(!t.trimmed().isEmpty()); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    fillUnits();
}

void frmTakeoffItem::fillUnits() {
    const Kind kind = Kind(cboKind->currentData().toInt());
    cboUnit->clear();
    for (Unit u :
         {Unit::FeetInches, Unit::Metres, Unit::SquareFeet, Unit::SquareMetres, Unit::Each})
        if (unitFitsKind(u, kind))
            cboUnit->addItem(unitSymbol(u), int(u));
    const int fallback = cboUnit->findData(int(defaultUnit(kind, system_)));
    cboUnit->setCurrentIndex(std::max(0, fallback));
}

Item frmTakeoffItem::item() const {
    Item i;
    i.name = txtName->text().trimmed();
    i.kind = Kind(cboKind->currentData().toInt());
    i.colour = cboColour->currentData().toString();
    i.unit = Unit(cboUnit->currentData().toInt());
    i.wastePercent = txtWaste->value();
    return i;
}

void frmTakeoffItem::setItem(const Item& item) {
    txtName->setText(item.name);
    cboKind->setCurrentIndex(std::max(0, cboKind->findData(int(item.kind))));
    int c = cboColour->findData(item.colour);
    if (c < 0) {
        cboColour->addItem(item.colour, item.colour);
        c = cboColour->count() - 1;
    }
    cboColour->setCurrentIndex(c);
    cboUnit->setCurrentIndex(std::max(0, cboUnit->findData(int(item.unit))));
    txtWaste->setValue(item.wastePercent);
}

void frmTakeoffItem::setKind(Kind kind) {
    cboKind->setCurrentIndex(std::max(0, cboKind->findData(int(kind))));
}

void frmTakeoffItem::preferColourBeside(const QStringList& used) {
    QSet<QString> taken;
    for (const QString& c : used)
        taken.insert(c.toLower());
    const QStringList& offered = colours();
    int pick = offered.isEmpty() ? 0 : int(used.size() % offered.size()); // all taken: go round
    for (int i = 0; i < offered.size(); ++i) {
        if (!taken.contains(offered[i].toLower())) {
            pick = i;
            break;
        }
    }
    cboColour->setCurrentIndex(std::max(0, cboColour->findData(offered.value(pick))));
}

} // namespace brevant::viewer
