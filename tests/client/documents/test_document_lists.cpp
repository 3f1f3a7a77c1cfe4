// The document lists of a project and the selection string the documents request carries.
#include "DocumentsTestDb.h"
#include "documents/DocumentLists.h"

using namespace brevant::documents;
using brevant::documents::test::DocumentsDbTest;

namespace {

class DocumentListsTest : public DocumentsDbTest {
protected:
    void load(DocumentRows& rows) {
        for (const char* kind : {"PLANS", "SPECS", "ADD"}) {
            auto list = LoadDocumentList(connection, Job, QString::fromLatin1(kind));
            ASSERT_TRUE(list.has_value());
            rows.lists[documentListOfKind(QString::fromLatin1(kind))] = *list;
        }
    }
    static QStringList texts(const std::vector<DocumentRow>& rows) {
        QStringList out;
        for (const auto& r : rows)
            out << r.text;
        return out;
    }
};

TEST_F(DocumentListsTest, RowsCarryTextsTagsKeysAndIconsWithContentsAboveSections) {
    connection.execute(
        QStringLiteral("Update [Plans] Set [Local] = TRUE Where [File] = 'PLAN002'"));
    connection.execute(QStringLiteral("Update [Specs] Set [Local] = TRUE Where [Spec] = 'ADD02'"));
    connection.execute(
        QStringLiteral("Update [Specs] Set [Description] = NULL Where [Spec] = '03300'"));
    DocumentRows rows;
    load(rows);

    const auto& plans = rows.lists[PlanList];
    ASSERT_EQ(plans.size(), 3u);
    EXPECT_EQ(plans[0].text, "A-101 FLOOR PLAN");
    EXPECT_EQ(plans[0].tag, "PLAN001");
    EXPECT_EQ(plans[0].key, "PPLANSA-101 FLOOR PLAN|4096");
    EXPECT_EQ(plans[0].icon, NotCachedIcon);
    EXPECT_EQ(plans[1].icon, CachedIcon);
    EXPECT_EQ(plans[2].text, "O'BRIEN DETAIL");

    EXPECT_EQ(texts(rows.lists[SpecList]),
              QStringList({"TOC01", "TOC02", "0100", "03300", "09900"}));
    const DocumentRow& sec = rows.lists[SpecList][3];
    EXPECT_EQ(sec.tag, "03300");
    EXPECT_EQ(sec.subItem, "") << "a null description is an empty text";
    EXPECT_EQ(sec.key, "SSPECS03300");
    EXPECT_EQ(rows.lists[SpecList][0].subItem, "Text TOC01");

    EXPECT_EQ(texts(rows.lists[AddendaList]), QStringList({"ADD01", "ADD02"}));
    EXPECT_EQ(rows.lists[AddendaList][1].icon, CachedIcon);
    EXPECT_EQ(rows.lists[AddendaList][0].key, "SADDADD01");

    // The kind is compared without regard to case; an unknown kind loads nothing.
    EXPECT_EQ(LoadDocumentList(connection, Job, "plans")->size(), 3u);
    EXPECT_FALSE(LoadDocumentList(connection, Job, "ATT").has_value());
    EXPECT_TRUE(LoadDocumentList(connection, 4242, "SPECS")->empty());
}

TEST_F(DocumentListsTest, SelectionTakesTickedUncachedRowsAndUnticksTheRest) {
    DocumentRows rows;
    load(rows);
    rows.lists[PlanList][0].checked = true;
    rows.lists[PlanList][1].checked = true;
    rows.lists[PlanList][1].icon = CachedIcon; // ticked, but cached already
    rows.lists[SpecList][2].checked = true;    // 0100
    rows.lists[SpecList][4].checked = true;    // 09900
    rows.lists[AddendaList][0].checked = true;

    EXPECT_EQ(BuildDocumentSelection(rows, Job, "ALL"),
              "210007@PLN~PLAN001:SPC~0100:SPC~09900:ADD~ADD01");
    EXPECT_FALSE(rows.lists[PlanList][1].checked) << "a cached row loses its tick";
    EXPECT_TRUE(rows.lists[PlanList][0].checked);
    EXPECT_TRUE(rows.lists[AddendaList][0].checked);

    // One class walks only its own list and leaves the others' ticks alone.
    rows.lists[PlanList][1].checked = true;
    EXPECT_EQ(BuildDocumentSelection(rows, Job, "SPEC"), "210007@SPC~0100:SPC~09900");
    EXPECT_TRUE(rows.lists[PlanList][1].checked);
    EXPECT_EQ(BuildDocumentSelection(rows, Job, "ADD"), "210007@ADD~ADD01");
    EXPECT_EQ(BuildDocumentSelection(rows, Job, "PLAN"), "210007@PLN~PLAN001");
    EXPECT_FALSE(rows.lists[PlanList][1].checked);
}

TEST_F(DocumentListsTest, NothingQualifyingGivesTheBareNumberAndNoProjectGivesNone) {
    DocumentRows rows;
    load(rows);
    rows.lists[SpecList][0].checked = true;
    rows.lists[SpecList][0].icon = CachedIcon;
    EXPECT_EQ(BuildDocumentSelection(rows, Job, "SPEC"), "210007");
    EXPECT_FALSE(rows.lists[SpecList][0].checked);
    EXPECT_EQ(BuildDocumentSelection(rows, std::nullopt, "ALL"), "NONE");
}

TEST_F(DocumentListsTest, SelectAllAndDeSelectAllTouchOneList) {
    DocumentRows rows;
    load(rows);
    EXPECT_FALSE(AnyChecked(rows, SpecList));
    SetAllChecked(rows, SpecList, true);
    EXPECT_TRUE(AnyChecked(rows, SpecList));
    for (const auto& r : rows.lists[SpecList])
        EXPECT_TRUE(r.checked);
    EXPECT_FALSE(AnyChecked(rows, PlanList));
    SetAllChecked(rows, SpecList, false);
    EXPECT_FALSE(AnyChecked(rows, SpecList));
    EXPECT_EQ(findRowByTag(rows, PlanList, "plan003"), 2);
    EXPECT_EQ(findRowByTag(rows, PlanList, "PLAN009"), -1);
}

} // namespace
