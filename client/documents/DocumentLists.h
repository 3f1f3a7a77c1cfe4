#pragma once
// The three document lists of a project (plan pages, specification sections with their
// table-of-contents entries, addenda) without widgets: the rows loaded from Desktop.mdb, the
// selection string that asks the service for the ticked documents, and ticking every row.
// The main window's lists implement DocumentViews; tests use DocumentRows.
#include <QString>
#include <optional>
#include <vector>

namespace brevant::db {
class Connection;
}

namespace brevant::documents {

// The lists, numbered as the tabs of the documents tab set that hold them.
enum DocumentList { PlanList = 0, SpecList = 1, AddendaList = 2 };

// Small icon of a row: the document is not in the cache / is in the cache.
constexpr int NotCachedIcon = 1;
constexpr int CachedIcon = 2;

struct DocumentRow {
    QString text;    // Description (plans) or Spec
    QString subItem; // Description (sections and addenda); empty for plans
    QString tag;     // File (plans) or Spec
    QString key;     // "P" + kind + Description + "|" + Size, or "S" + kind + Spec
    int icon = NotCachedIcon;
    bool checked = false;
};

// What the document commands need of the lists on screen.
class DocumentViews {
public:
    virtual ~DocumentViews() = default;
    virtual int rowCount(int list) const = 0;
    virtual DocumentRow row(int list, int index) const = 0;
    virtual void setChecked(int list, int index, bool checked) = 0;
    virtual void setIcon(int list, int index, int icon) = 0;
    // Scrolls the row into view and selects it.
    virtual void showRow(int list, int index) = 0;
    // The selected row of the list, or -1.
    virtual int selectedRow(int list) const = 0;
    // Switches the documents tab set to the list's tab.
    virtual void showList(int list) = 0;
};

// Plain rows, for code and tests that have no widgets.
class DocumentRows : public DocumentViews {
public:
    std::vector<DocumentRow> lists[3];
    int currentList = PlanList;
    int selected[3] = {-1, -1, -1};

    int rowCount(int list) const override { return int(lists[list].size()); }
    DocumentRow row(int list, int index) const override { return lists[list][size_t(index)]; }
    void setChecked(int list, int index, bool checked) override {
        lists[list][size_t(index)].checked = checked;
    }
    void setIcon(int list, int index, int icon) override { lists[list][size_t(index)].icon = icon; }
    void showRow(int list, int index) override { selected[list] = index; }
    int selectedRow(int list) const override { return selected[list]; }
    void showList(int list) override { currentList = list; }
};

// The rows of one list for a project; kind is "PLANS", "SPECS" or "ADD" (any case). Any other
// kind gives std::nullopt (the list is left as it is). Table-of-contents entries come before
// the sections. Throws db::DbError.
std::optional<std::vector<DocumentRow>> LoadDocumentList(db::Connection& connection, int jobId,
                                                         const QString& kind);

// The list a kind fills, or -1.
int documentListOfKind(const QString& kind);

// A document list's count as shown under it: "9 sheets", "1 section", "2 addenda".
QString documentCountText(int list, qint64 count);

// The argument of the documents request for documentClass "PLAN", "SPEC", "ADD" or anything
// else for all three lists: "NONE" without a selected project; otherwise the project number,
// "@" and one entry per ticked row not yet cached ("PLN~file", "SPC~spec", "ADD~spec") joined
// by ":" (the bare number when no row qualifies). Every other row of the walked lists loses its
// tick.
QString BuildDocumentSelection(DocumentViews& views, std::optional<int> selectedJobId,
                               const QString& documentClass);

// The lists a documents class walks, in order.
std::vector<int> listsOfClass(const QString& documentClass);

// True when a row of the list is ticked.
bool AnyChecked(const DocumentViews& views, int list);
// Ticks (or clears) every row of the list.
void SetAllChecked(DocumentViews& views, int list, bool checked);

// The row of a list whose tag equals tag (without regard to case), or -1.
int findRowByTag(const DocumentViews& views, int list, const QString& tag);

} // namespace brevant::documents
