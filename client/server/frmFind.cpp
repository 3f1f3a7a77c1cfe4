#include "server/frmFind.h"

#include "base/MainWindow.h"
#include "base/modResources.h"
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "server/SearchMemory.h"
#include "server/ServerConnection.h"
#include "server/ServerSession.h"
#include "server/frmTrack.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <iterator>

namespace brevant::server {

namespace {

QLineEdit* box(QWidget* parent, const QString& name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    return e;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

// A range: "<caption> Start" over the first box, "<-->" between the boxes, "<caption> End"
// over the second.
QGridLayout* range(const QString& caption, QLineEdit* start, QLineEdit* end) {
    auto* grid = new QGridLayout;
    auto* startLabel = new QLabel(
        QCoreApplication::translate("brevant::server::frmFind", "%1 Start").arg(caption));
    auto* endLabel =
        new QLabel(QCoreApplication::translate("brevant::server::frmFind", "%1 End").arg(caption));
    startLabel->setBuddy(start);
    endLabel->setBuddy(end);
    grid->addWidget(startLabel, 0, 0);
    grid->addWidget(endLabel, 0, 2);
    grid->addWidget(start, 1, 0);
    grid->addWidget(new QLabel(QCoreApplication::translate("brevant::server::frmFind", "<-->")), 1,
                    1);
    grid->addWidget(end, 1, 2);
    return grid;
}

} // namespace

frmFind::frmFind(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmFind"));
    setWindowTitle(tr("Find Projects"));
    setModal(true);

    txtJobName = box(this, QStringLiteral("txtJobName"));
    txtScope = box(this, QStringLiteral("txtScope"));
    for (int i = 0; i < 2; ++i)
        txtBidDate[i] = box(this, QStringLiteral("txtBidDate_%1").arg(i));
    for (int i = 0; i < 2; ++i) {
        txtCSI[i] = box(this, QStringLiteral("txtCSI_%1").arg(i));
        connect(txtCSI[i], &QLineEdit::textChanged, this, [this] { txtCSI_Change(); });
    }
    txtCSVCSI = box(this, QStringLiteral("txtCSVCSI"));
    connect(txtCSVCSI, &QLineEdit::textChanged, this, [this] { txtCSVCSI_Change(); });
    for (QLineEdit* e : {txtJobName, txtScope, txtBidDate[0], txtBidDate[1], txtCSVCSI})
        e->installEventFilter(this);

    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    connect(Combo1, &QComboBox::currentIndexChanged, this, [this] { Combo1_Click(); });

    Command1 = button(this, "Command1", tr("&SEARCH"));
    Command2 = button(this, "Command2", tr("&CANCEL"));
    Command3 = button(this, "Command3", tr("SA&VE SEARCH"));
    Command4 = button(this, "Command4", tr("C&LEAR"));
    connect(Command1, &QPushButton::clicked, this, [this] { Search(); });
    connect(Command2, &QPushButton::clicked, this, [this] { close(); });
    connect(Command3, &QPushButton::clicked, this, [this] { SaveSearch(); });
    connect(Command4, &QPushButton::clicked, this, [this] { DeleteSearch(); });
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));

    auto* criteriaFrame = new QGroupBox(tr("Job Search Criteria"), this);
    criteriaFrame->setObjectName(QStringLiteral("Frame1"));
    auto* form = new QFormLayout(criteriaFrame);
    form->addRow(tr("Project Name:"), txtJobName);
    form->addRow(tr("Scope Description:"), txtScope);
    form->addRow(range(tr("Bid Date Range"), txtBidDate[0], txtBidDate[1]));
    auto* csiFrame = new QGroupBox(tr("CSI Lookup"), criteriaFrame);
    csiFrame->setObjectName(QStringLiteral("Frame2"));
    auto* csiForm = new QFormLayout(csiFrame);
    csiForm->addRow(range(tr("CSI Range"), txtCSI[0], txtCSI[1]));
    csiForm->addRow(tr("CSI Code(s):"), txtCSVCSI);
    csiForm->addRow(QString(), new QLabel(tr("(e.g., 00100,12345,06453)")));
    form->addRow(csiFrame);

    auto* saved = new QHBoxLayout;
    saved->addWidget(new QLabel(tr("Custom Search List:")));
    saved->addWidget(Combo1, 1);
    saved->addWidget(Command3);
    saved->addWidget(Command4);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lblStatus, 1);
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(criteriaFrame);
    layout->addLayout(saved);
    layout->addLayout(buttons);
    // The Tab key goes through the criteria as they are read: each range start, then its end.
    QWidget* order[] = {txtJobName, txtScope, txtBidDate[0], txtBidDate[1], txtCSI[0], txtCSI[1],
                        txtCSVCSI,  Combo1,   Command3,      Command4,      Command1,  Command2};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    WireletFind = new ServerConnection(RequestKind::Search, this);
    WireletFind->setObjectName(QStringLiteral("WireletFind"));
    WireletFind->onLabel = [this](const QString& text) { lblStatus->setText(text); };
    WireletFind->onBytes = [this](std::int64_t bytes) {
        lblStatus->setText(tr("%1 bytes received...").arg(bytes));
    };
    WireletFind->onReply = [this](const QByteArray&) {
        lblStatus->setText(tr("Processing..."));
        base::SetStatusText(tr("Looking for Projects ..."));
        ParseSearchResults();
    };
    WireletFind->onEnded = [this] { requestEnded(); };

    LoadSavedSearches();
    // The entries the window was last closed with, over the emptied boxes.
    const SearchCriteria last = ReadLastSearch();
    txtJobName->setText(last.jobName);
    txtScope->setText(last.scope);
    txtBidDate[0]->setText(last.bidStart);
    txtBidDate[1]->setText(last.bidEnd);
    txtCSI[0]->setText(last.csiFrom);
    txtCSI[1]->setText(last.csiTo);
    if (!last.csiList.isEmpty())
        txtCSVCSI->setText(last.csiList);
}

frmFind::~frmFind() = default;

SearchCriteria frmFind::criteria() const {
    SearchCriteria c;
    c.jobName = txtJobName->text();
    c.scope = txtScope->text();
    c.bidStart = txtBidDate[0]->text();
    c.bidEnd = txtBidDate[1]->text();
    c.csiFrom = txtCSI[0]->text();
    c.csiTo = txtCSI[1]->text();
    c.csiList = txtCSVCSI->isEnabled() ? txtCSVCSI->text() : QString();
    return c;
}

bool frmFind::eventFilter(QObject* watched, QEvent* event) {
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (edit && event->type() == QEvent::FocusIn) {
        QTimer::singleShot(0, edit, &QLineEdit::selectAll);
    } else if (edit && event->type() == QEvent::FocusOut) {
        bool leave = true;
        if (edit == txtJobName)
            leave = txtJobName_LostFocus();
        else if (edit == txtScope)
            leave = txtScope_LostFocus();
        else if (edit == txtBidDate[0] || edit == txtBidDate[1])
            leave = txtBidDate_LostFocus(edit == txtBidDate[1] ? 1 : 0);
        else if (edit == txtCSVCSI)
            leave = txtCSVCSI_LostFocus();
        if (!leave)
            QTimer::singleShot(0, edit, [edit] { edit->setFocus(); });
    }
    return QDialog::eventFilter(watched, event);
}

bool frmFind::txtJobName_LostFocus() {
    txtJobName->setText(txtJobName->text().trimmed());
    return true;
}

bool frmFind::txtScope_LostFocus() {
    txtScope->setText(txtScope->text().trimmed());
    return true;
}

bool frmFind::txtBidDate_LostFocus(int index) {
    QLineEdit* e = txtBidDate[index];
    e->setText(e->text().trimmed());
    if (!e->text().isEmpty() && !ParseDateText(e->text())) {
        ui::message(tr("You have entered an invalid date."), ui::Buttons::Ok, ui::Icon::Exclamation,
                    tr("System Message"));
        return false;
    }
    if (index == 1) {
        const auto start = ParseDateText(txtBidDate[0]->text());
        const auto end = ParseDateText(txtBidDate[1]->text());
        if (start && end && *start > *end) {
            ui::message(tr("When using a date range, the second date must come "
                           "after the first date."),
                        ui::Buttons::Ok, ui::Icon::Exclamation, tr("System Message"));
            return false;
        }
    }
    return true;
}

bool frmFind::txtCSVCSI_LostFocus() {
    txtCSVCSI->setText(TidyCsiList(txtCSVCSI->text()));
    return true;
}

bool frmFind::CheckFields() {
    // An accelerator (Alt+S, Alt+V) runs its button while the focus stays in a box, so the
    // box is never left: every rule of leaving a box is applied here again.
    txtJobName_LostFocus();
    txtScope_LostFocus();
    txtCSVCSI_LostFocus();
    for (int i : {0, 1}) {
        if (!txtBidDate_LostFocus(i)) {
            txtBidDate[i]->setFocus();
            return false;
        }
    }
    return true;
}

void frmFind::setBoxEnabled(QLineEdit* e, bool enabled) {
    e->setEnabled(enabled);
    QPalette p = e->palette();
    // Disabled: the menu colour; enabled: the window (edit field) colour.
    p.setColor(QPalette::Base,
               enabled ? palette().color(QPalette::Base) : palette().color(QPalette::Window));
    e->setPalette(p);
}

void frmFind::txtCSI_Change() {
    if (changing_)
        return;
    changing_ = true;
    const bool range = !txtCSI[0]->text().isEmpty() || !txtCSI[1]->text().isEmpty();
    if (range)
        txtCSVCSI->clear();
    setBoxEnabled(txtCSVCSI, !range);
    changing_ = false;
}

void frmFind::txtCSVCSI_Change() {
    if (changing_)
        return;
    changing_ = true;
    const bool list = !txtCSVCSI->text().isEmpty();
    for (QLineEdit* e : txtCSI) {
        if (list)
            e->clear();
        setBoxEnabled(e, !list);
    }
    changing_ = false;
}

void frmFind::EnableSearchControls(bool enabled) {
    for (QWidget* w :
         std::initializer_list<QWidget*>{Command1, Command2, Command3, Command4, Combo1})
        w->setEnabled(enabled);
}

void frmFind::Search() {
    if (!Busy && !CheckFields())
        return;
    if (!IsOnline()) {
        const KindMessage& m = kindTexts(RequestKind::Search).noInternet;
        ui::message(m.text, ui::Buttons::Ok, m.icon, tr("System Message"));
        Hourglass(false);
        return;
    }
    if (Busy)
        return;
    if (modResources::UserName.isEmpty() || modResources::Password.isEmpty()) {
        ShowLogon();
        if (modResources::LogonCancelled) {
            Hourglass(false);
            return;
        }
    }
    Hourglass(true);
    if (modResources::UserName.isEmpty() || modResources::Password.isEmpty()) {
        Hourglass(false);
        return;
    }
    WireletFind->reply().reset();
    WhereClause = BuildSearchClause(criteria(), QDate::currentDate());
    if (WhereClause.isEmpty()) {
        Hourglass(false);
        return;
    }
    Busy = true;
    EnableSearchControls(false);
    const ServerConnection::Open result = WireletFind->OpenConnection(WhereClause);
    if (result == ServerConnection::Open::Connecting || result == ServerConnection::Open::Sent) {
        lblStatus->setText(tr("Connecting..."));
        base::SetStatusText(tr("Connecting to Server ..."));
        return;
    }
    Busy = false;
    EnableSearchControls(true);
}

void frmFind::ParseSearchResults() {
    SearchResults results;
    if (modResources::DbConnection)
        results = ReadSearchResults(WireletFind->reply().text(), *modResources::DbConnection,
                                    [] { QCoreApplication::processEvents(); });
    ShowSearchResultMessage(results);
    Hourglass(false);
    Busy = false;
    Command1->setEnabled(true);
    lblStatus->clear();
    base::SetStatusText(QString());
    WireletFind->reply().reset();
    if (results.status == SearchResults::Status::Rows) {
        frmTrack track(this);
        for (const FoundProject& p : results.rows)
            track.addProject(p);
        track.exec();
    }
    EnableSearchControls(true);
}

void frmFind::requestEnded() {
    Busy = false;
    EnableSearchControls(true);
    Command1->setEnabled(true);
    lblStatus->clear();
}

void frmFind::clearCriteria() {
    for (QLineEdit* e :
         {txtBidDate[0], txtBidDate[1], txtCSI[0], txtCSI[1], txtCSVCSI, txtScope, txtJobName})
        e->clear();
}

void frmFind::LoadSavedSearches() {
    QList<SavedSearchEntry> entries;
    if (modResources::DbConnection)
        entries = server::LoadSavedSearches(*modResources::DbConnection);
    const QSignalBlocker block(Combo1);
    Combo1->clear();
    for (const SavedSearchEntry& e : entries)
        Combo1->addItem(e.text, e.itemData);
    Combo1->setCurrentIndex(Combo1->count() > 0 ? 0 : -1);
    Combo1_Click();
}

void frmFind::Combo1_Click() {
    const int id = Combo1->currentData().toInt();
    if (Combo1->currentIndex() < 0 || id >= ChooseSearchSentinel || !modResources::DbConnection) {
        clearCriteria();
        return;
    }
    const std::optional<SearchCriteria> c = ReadSavedSearch(*modResources::DbConnection, id);
    if (!c)
        return;
    txtBidDate[0]->setText(c->bidStart);
    txtBidDate[1]->setText(c->bidEnd);
    txtCSI[0]->setText(c->csiFrom);
    txtCSI[1]->setText(c->csiTo);
    txtCSVCSI->setText(c->csiList);
    txtScope->setText(c->scope);
    txtJobName->setText(c->jobName);
}

void frmFind::SaveSearch() {
    // The boxes keep what was typed, so that it can be put right.
    if (!CheckFields())
        return;
    if (ui::message(tr("Are you sure you wish to save the search?"), ui::Buttons::YesNo,
                    ui::Icon::Question, tr("System Prompt")) == ui::Answer::Yes) {
        QString name;
        while (true) {
            name = ui::current()
                       .input(tr("You must enter a name for your search -- Enter it "
                                 "in the space provided and press the 'OK' button: "),
                              tr("Save Search"), QString())
                       .value_or(QString())
                       .trimmed();
            if (!name.isEmpty())
                break;
            if (ui::message(tr("You must enter a search name -- Try Again?"), ui::Buttons::YesNo,
                            ui::Icon::Question, tr("System Prompt")) != ui::Answer::Yes)
                break;
        }
        if (!name.isEmpty() && modResources::DbConnection) {
            try {
                InsertSavedSearch(*modResources::DbConnection, name, criteria());
            } catch (const db::DbError& e) {
                ui::message(QStringLiteral("%1 %2").arg(e.number()).arg(e.description()),
                            ui::Buttons::Ok, ui::Icon::Critical, tr("System Error"));
            }
        }
    }
    LoadSavedSearches();
}

void frmFind::DeleteSearch() {
    if (ui::message(tr("Are you sure you wish to delete the currently selected "
                       "search?"),
                    ui::Buttons::YesNo, ui::Icon::Question,
                    tr("System Prompt")) == ui::Answer::Yes) {
        const int id = Combo1->currentData().toInt();
        if (id > 0 && id < ChooseSearchSentinel && modResources::DbConnection)
            DeleteSavedSearch(*modResources::DbConnection, id);
    }
    LoadSavedSearches();
}

void frmFind::closeEvent(QCloseEvent* event) {
    if (Busy) {
        event->ignore(); // the search's own time-out ends a request that hangs
        return;
    }
    QDialog::closeEvent(event);
}

void frmFind::reject() {
    if (Busy)
        return;
    SaveLastSearch(criteria());
    WireletFind->Disconnect();
    base::SetStatusText(QString());
    lblStatus->clear();
    Hourglass(false);
    QDialog::reject();
}

} // namespace brevant::server
