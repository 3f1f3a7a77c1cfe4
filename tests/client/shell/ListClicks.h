#pragma once
// Real mouse clicks on a row of a list view: on its text, or on its check box, where Qt ticks
// the box without moving the list's current row by itself.
#include <QCoreApplication>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTreeWidget>

namespace brevant::shell::test {

// Shows the window (clicks need a laid-out list) and scrolls the row into view.
inline void bringIntoView(QTreeWidget* list, QTreeWidgetItem* item) {
    if (!list->window()->isVisible())
        list->window()->show();
    QCoreApplication::processEvents();
    list->scrollToItem(item);
    QCoreApplication::processEvents();
}

inline void clickRow(QTreeWidget* list, QTreeWidgetItem* item) {
    bringIntoView(list, item);
    const QRect cell = list->visualItemRect(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
}

// The centre of the row's check box as the view's style lays the first cell out.
inline QPoint checkBoxCentre(QTreeWidget* list, QTreeWidgetItem* item) {
    QStyleOptionViewItem option;
    option.initFrom(list);
    option.rect = list->visualItemRect(item);
    option.rect.setWidth(list->columnWidth(0));
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    if (!item->icon(0).isNull())
        option.features |= QStyleOptionViewItem::HasDecoration;
    option.decorationSize = list->iconSize().isValid() ? list->iconSize() : QSize(16, 16);
    option.text = item->text(0);
    option.icon = item->icon(0);
    option.checkState = item->checkState(0);
    return list->style()
        ->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list)
        .center();
}

inline void clickCheckBox(QTreeWidget* list, QTreeWidgetItem* item) {
    bringIntoView(list, item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, checkBoxCentre(list, item));
}

} // namespace brevant::shell::test
