// Columns, filters, sort state, the list query and the text of a row: the parts of the project
// list that need neither the database nor the settings.
#include "store/ProjectList.h"

#include "store/BidDay.h"

#include <QCoreApplication>
#include <QDate>
#include <QRegularExpression>
#include <cmath>

namespace brevant::store {

const std::vector<ListColumn>& listColumns() {
    static const std::vector<ListColumn> columns = {
        {QStringLiteral("ListView1"),
         QStringLiteral(QT_TRANSLATE_NOOP("brevant::store::ProjectList", "BID DATE")), 1750},
        {QStringLiteral("ListView1"),
         QStringLiteral(QT_TRANSLATE_NOOP("brevant::store::ProjectList", "TITLE")), 5000},
        {QStringLiteral("ListView1"),
         QStringLiteral(QT_TRANSLATE_NOOP("brevant::store::ProjectList", "ASSIGN")), 1750},
        {QStringLiteral("ListView2"),
         QStringLiteral(QT_TRANSLATE_NOOP("brevant::store::ProjectList", "DOCUMENT")), 1250},
        {QStringLiteral("ListView3"),
         QStringLiteral(QT_TRANSLATE_NOOP("brevant::store::ProjectList", "SECTION")), 1250},
        {QStringLiteral("ListView3"),
         QStringLiteral(QT_TRANSLATE_NOOP("brevant::store::ProjectList", "SPEC DESC.")), 1250},
        {QStringLiteral("ListView4"),
         QStringLiteral(QT_TRANSLATE_NOOP("brevant::store::ProjectList", "A_SECTION")), 1250},
        {QStringLiteral("ListView4"),
         QStringLiteral(QT_TRANSLATE_NOOP("brevant::store::ProjectList", "A_SPEC DESC.")), 1250},
        {QStringLiteral("ListView5"),
         QStringLiteral(QT_TRANSLATE_NOOP("brevant::store::ProjectList", "FILE")), 2500},
        {QStringLiteral("ListView5"),
         QStringLiteral(QT_TRANSLATE_NOOP("brevant::store::ProjectList", "DESCRIPTION")), 5000},
        {QStringLiteral("ListView5"),
         QStringLiteral(QT_TRANSLATE_NOOP("brevant::store::ProjectList", "ADDED")), 2500},
    };
    return columns;
}

std::vector<ListColumn> columnsOf(const QString& listView) {
    std::vector<ListColumn> out;
    for (const auto& c : listColumns()) {
        if (c.listView.compare(listView, Qt::CaseInsensitive) == 0) {
            out.push_back(c);
        }
    }
    return out;
}

int twipsToPixels(int twips, double logicalDpi) {
    return static_cast<int>(std::lround(twips * logicalDpi / 1440.0));
}

int pixelsToTwips(int pixels, double logicalDpi) {
    if (logicalDpi <= 0) {
        logicalDpi = 96.0;
    }
    return static_cast<int>(std::lround(pixels * 1440.0 / logicalDpi));
}

QString filterName(Filter filter) {
    switch (filter) {
    case Filter::New:
        return QStringLiteral("NEW");
    case Filter::Track:
        return QStringLiteral("TRACK");
    case Filter::View:
        return QStringLiteral("VIEW");
    case Filter::All:
        break;
    }
    return QStringLiteral("ALL");
}

Filter filterFromName(const QString& name) {
    const QString n = name.trimmed().toUpper();
    if (n == QLatin1String("NEW")) {
        return Filter::New;
    }
    if (n == QLatin1String("TRACK")) {
        return Filter::Track;
    }
    if (n == QLatin1String("VIEW")) {
        return Filter::View;
    }
    return Filter::All;
}

QString sortKeyOf(const QString& caption) {
    const QString c = caption.toUpper();
    if (c == QLatin1String("BID DATE")) {
        return QStringLiteral("DUE_DATE");
    }
    if (c == QLatin1String("TITLE")) {
        return QStringLiteral("NAME");
    }
    if (c == QLatin1String("ASSIGN")) {
        return QStringLiteral("ASSIGNMENT");
    }
    return {};
}

SortState::SortState(const QString& caption, SortIcon icon) {
    if (!sortKeyOf(caption).isEmpty() && icon != NoSortIcon) {
        caption_ = caption.toUpper();
        icon_ = icon;
    }
}

void SortState::clickHeader(const QString& caption) {
    if (sortKeyOf(caption).isEmpty()) {
        return;
    }
    if (caption.compare(caption_, Qt::CaseInsensitive) == 0) {
        icon_ = icon_ == SortDescending ? SortAscending : SortDescending;
    } else {
        caption_ = caption.toUpper();
        icon_ = SortAscending;
    }
}

int SortState::headerIcon(const QString& caption) const {
    return caption.compare(caption_, Qt::CaseInsensitive) == 0 ? icon_ : NoSortIcon;
}

QString SortState::key() const {
    return sortKeyOf(caption_);
}

QString SortState::order() const {
    return icon_ == SortDescending ? QStringLiteral("DESC") : QStringLiteral("ASC");
}

QString projectsQuery(Filter filter, const SortState& sort) {
    QString prefix;
    switch (filter) {
    case Filter::All:
        prefix = QStringLiteral("Select * from [projects] Order By [");
        break;
    case Filter::New:
        prefix = QStringLiteral("Select * from [projects] where [New] = true Order By [");
        break;
    case Filter::Track:
        prefix = QStringLiteral("Select * from [projects] where [tracked] = true Order By [");
        break;
    case Filter::View:
        prefix = QStringLiteral(
            "Select * from [projects] where [new] = False and [Tracked] = False Order By [");
        break;
    }
    return prefix + sort.key() + QStringLiteral("] ") + sort.order();
}

int stateIcon(bool isNew, bool tracked) {
    if (isNew) {
        return IconNew;
    }
    return tracked ? IconTagged : IconOpened;
}

namespace {

// The calendar day of a stored or received date text, or an invalid date.
QDate dayOf(const QString& text, int* year) {
    static const QRegularExpression iso(QStringLiteral(R"(^\s*(\d{4})-(\d{1,2})-(\d{1,2}))"));
    static const QRegularExpression us(QStringLiteral(R"(^\s*(\d{1,2})/(\d{1,2})/(\d{4}))"));
    auto m = iso.match(text);
    if (m.hasMatch()) {
        *year = m.captured(1).toInt();
        return QDate(*year, m.captured(2).toInt(), m.captured(3).toInt());
    }
    m = us.match(text);
    if (m.hasMatch()) {
        *year = m.captured(3).toInt();
        return QDate(*year, m.captured(1).toInt(), m.captured(2).toInt());
    }
    *year = 0;
    return {};
}

} // namespace

QString bidDateText(const QString& storedDate) {
    if (storedDate.trimmed().isEmpty()) {
        return {};
    }
    int year = 0;
    const QDate day = dayOf(storedDate, &year);
    if (year == 1900) {
        return QStringLiteral("No Date Set");
    }
    if (!day.isValid()) {
        return storedDate;
    }
    return QString::asprintf("%02d/%02d/%04d", day.month(), day.day(), day.year());
}

QDate bidDay(const QString& storedDate) {
    int year = 0;
    return dayOf(storedDate, &year);
}

bool isPastDue(const QString& bidDate, const QDate& today) {
    int year = 0;
    const QDate day = dayOf(bidDate, &year);
    return day.isValid() && year != 1900 && day < today;
}

QString countText(qint64 count, const QString& one, const QString& many) {
    return (count == 1 ? one : many).arg(count);
}

QString projectCountText(qint64 count) {
    return countText(count,
                     QCoreApplication::translate("brevant::store::ProjectList", "%1 project"),
                     QCoreApplication::translate("brevant::store::ProjectList", "%1 projects"));
}

QString emptyProjectListText() {
    return QCoreApplication::translate(
        "brevant::store::ProjectList",
        "No projects yet — Find Projects (Ctrl+Shift+F) to search the service");
}

QString changedBidDateText(const QString& dateText) {
    return bidDateText(dateText);
}

QString selectProjectSql(int jobId) {
    return QStringLiteral("Select * from [Projects] where [JOB_ID] = ") + QString::number(jobId);
}

QString saveNotesSql(int jobId, const QString& notes) {
    QString text = notes;
    text.replace(QLatin1Char('\''), QLatin1String("''"));
    return QStringLiteral("Update [Projects] Set Notes = '") + text +
           QStringLiteral("' where [JOB_ID] = ") + QString::number(jobId);
}

} // namespace brevant::store
