#include "TakeoffPanel.h"

#include "TakeoffSession.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace brevant::viewer {

using namespace brevant::takeoff;

namespace {

QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

// The entry of the sheet's calibration: not a stated scale to set.
const QString CalibratedEntry = QStringLiteral("#calibrated");

QIcon swatch(const QColor& colour) {
    QPixmap p(12, 12);
    p.fill(colour.isValid() ? colour : QColor(Qt::gray));
    return QIcon(p);
}

} // namespace

TakeoffPanel::TakeoffPanel(TakeoffSession& session, QWidget* parent)
    : QWidget(parent), session_(session) {
    setObjectName(QStringLiteral("TakeoffPanel"));
    cboScale = new QComboBox(this);
    cboScale->setObjectName(QStringLiteral("cboScale"));
    cmdCalibrate = button(this, "cmdCalibrate", tr("Calibrate"));
    cmdVerify = button(this, "cmdVerify", tr("Verify"));
    lstItems = new QTreeWidget(this);
    lstItems->setObjectName(QStringLiteral("lstItems"));
    lstItems->setRootIsDecorated(false);
    lstItems->setColumnCount(Columns);
    lstItems->setHeaderLabels(
        {tr("Item"), tr("Sheet"), tr("Project"), tr("Unit"), tr("Waste"), tr("Kind"), tr("Note")});
    lstItems->header()->setStretchLastSection(true);
    for (int c = ColItem; c < ColNote; ++c)
        lstItems->header()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    cmdNewItem = button(this, "cmdNewItem", tr("New Item..."));
    cmdRemoveItem = button(this, "cmdRemoveItem", tr("Remove Item"));
    lblStale = new QLabel(this);
    lblStale->setObjectName(QStringLiteral("lblStale"));
    lblStale->setWordWrap(true);
    lblStale->setStyleSheet(QStringLiteral("color: #b71c1c; font-weight: bold"));
    cmdAccept = button(this, "cmdAccept", tr("Accept"));
    lblMeasure = new QLabel(this);
    lblMeasure->setObjectName(QStringLiteral("lblMeasure"));
    lblMeasure->setWordWrap(true);
    lblSnapshot = new QLabel(this);
    lblSnapshot->setObjectName(QStringLiteral("lblSnapshot"));
    lblSnapshot->setWordWrap(true);
    cmdFreeze = button(this, "cmdFreeze", tr("Freeze Quantities..."));
    cmdExport = button(this, "cmdExport", tr("Export CSV..."));

    auto* scaleRow = new QHBoxLayout;
    scaleRow->addWidget(new QLabel(tr("Scale:"), this));
    scaleRow->addWidget(cboScale, 1);
    auto* scaleTools = new QHBoxLayout;
    scaleTools->addWidget(cmdCalibrate);
    scaleTools->addWidget(cmdVerify);
    auto* itemRow = new QHBoxLayout;
    itemRow->addWidget(cmdNewItem);
    itemRow->addWidget(cmdRemoveItem);
    auto* staleRow = new QHBoxLayout;
    staleRow->addWidget(lblStale, 1);
    staleRow->addWidget(cmdAccept);
    auto* outputRow = new QHBoxLayout;
    outputRow->addWidget(cmdFreeze);
    outputRow->addWidget(cmdExport);
    auto* box = new QVBoxLayout(this);
    box->addLayout(scaleRow);
    box->addLayout(scaleTools);
    box->addWidget(lstItems, 1);
    box->addLayout(itemRow);
    box->addLayout(staleRow);
    box->addWidget(lblMeasure);
    box->addWidget(lblSnapshot);
    box->addLayout(outputRow);

    connect(cboScale, &QComboBox::activated, this, [this](int index) { scaleChosen(index); });
    connect(cmdCalibrate, &QPushButton::clicked, this, &TakeoffPanel::calibrateRequested);
    connect(cmdVerify, &QPushButton::clicked, this, &TakeoffPanel::verifyRequested);
    connect(cmdNewItem, &QPushButton::clicked, this, &TakeoffPanel::newItemRequested);
    connect(cmdFreeze, &QPushButton::clicked, this, &TakeoffPanel::freezeRequested);
    connect(cmdExport, &QPushButton::clicked, this, &TakeoffPanel::exportRequested);
    connect(cmdRemoveItem, &QPushButton::clicked, this, [this] {
        if (session_.currentItem() != 0)
            session_.model().removeItem(session_.currentItem());
    });
    connect(cmdAccept, &QPushButton::clicked, this, [this] { session_.acceptStale(); });
    connect(lstItems, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (!refreshing_ && current)
            session_.setCurrentItem(current->data(ColItem, Qt::UserRole).toInt());
    });
    connect(&session_, &TakeoffSession::changed, this, &TakeoffPanel::refresh);
    refresh();
}

void TakeoffPanel::scaleChosen(int index) {
    if (refreshing_ || index < 0)
        return;
    if (cboScale->itemData(index).toString() == CalibratedEntry)
        return; // the sheet's own calibration, already set
    QString why;
    if (!session_.setStatedScale(cboScale->itemData(index).toString(), &why))
        Q_EMIT scaleRefused(why);
}

void TakeoffPanel::showMeasurement(const QString& text) {
    lblMeasure->setText(text);
}

void TakeoffPanel::refresh() {
    refreshing_ = true;
    // The scale list: none, the usual stated scales, and the sheet's calibration when it has
    // one.
    cboScale->clear();
    cboScale->addItem(tr("(no scale)"), QString());
    for (const Scale& s : statedScales())
        cboScale->addItem(s.label, s.label);
    const Scale current = session_.model().scale(session_.sheet());
    int at = 0;
    if (current.isSet()) {
        at = cboScale->findData(current.label);
        if (current.family == ScaleFamily::Calibrated || at < 0) {
            cboScale->addItem(current.label, CalibratedEntry);
            at = cboScale->count() - 1;
        }
    }
    cboScale->setCurrentIndex(at);

    lstItems->clear();
    QTreeWidgetItem* selected = nullptr;
    for (const PanelRow& r : session_.rows()) {
        auto* line = new QTreeWidgetItem(lstItems);
        line->setData(ColItem, Qt::UserRole, r.itemId);
        line->setText(ColItem, r.name);
        line->setIcon(ColItem, swatch(r.colour));
        line->setText(ColKind, r.kind);
        line->setText(ColUnit, r.unit);
        line->setText(ColWaste, r.waste);
        line->setText(ColSheet, r.sheet);
        line->setText(ColProject, r.project);
        QStringList note;
        if (r.stale)
            note << r.staleText;
        if (!r.snapshot.isEmpty())
            note << r.snapshot;
        line->setText(ColNote, note.join(QStringLiteral("; ")));
        if (r.stale)
            line->setForeground(ColNote, QColor(0xb7, 0x1c, 0x1c));
        if (r.itemId == session_.currentItem())
            selected = line;
    }
    if (selected)
        lstItems->setCurrentItem(selected);
    cmdRemoveItem->setEnabled(selected != nullptr);

    const bool stale = session_.sheetIsStale();
    lblStale->setText(stale ? tr("This sheet's marks were measured on an earlier version.")
                            : QString());
    lblStale->setVisible(stale);
    cmdAccept->setVisible(stale);
    const std::optional<Snapshot> snapshot = session_.latestSnapshot();
    lblSnapshot->setText(
        snapshot
            ? tr("Frozen %1: %2")
                  .arg(QLocale().toString(snapshot->taken, QLocale::ShortFormat), snapshot->note)
            : QString());
    refreshing_ = false;
}

} // namespace brevant::viewer
