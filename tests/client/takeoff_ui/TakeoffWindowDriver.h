#pragma once
// Driving the viewer's takeoff as a user does: the window's actions and buttons, clicks at page
// points, the New Item dialog filled in, and the side panel's lines read back.
#include "TakeoffPanel.h"
#include "frmTakeoffItem.h"
#include "frmViewer.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <memory>

namespace brevant::viewer::test {

// The window's shortcuts (undo, redo, delete, close) work in the active window; the offscreen
// platform does not give activation back after a dialog.
inline void activate(frmViewer& v) {
    QApplication::setActiveWindow(&v);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&v));
    v.pageView()->setFocus();
}

// The viewer shown (as the program shows it before opening its file), then the document.
inline std::unique_ptr<frmViewer> openShown(const QString& path, int jobId, QSize size) {
    auto v = std::make_unique<frmViewer>();
    v->setQuitAction([] {});
    v->resize(size);
    v->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(v.get()));
    activate(*v);
    EXPECT_TRUE(v->openDocument(path, jobId)) << v->errorText().toStdString();
    return v;
}

inline QAction* action(frmViewer& v, const char* name) {
    auto* a = v.findChild<QAction*>(QString::fromLatin1(name));
    EXPECT_TRUE(a) << name;
    return a;
}
inline QWidget* viewport(frmViewer& v) {
    return v.pageView()->viewport();
}
inline QPoint at(frmViewer& v, QPointF page) {
    return v.pageView()->toViewport(page).toPoint();
}
inline void click(frmViewer& v, QPoint pixel, Qt::KeyboardModifiers mods = {}) {
    QTest::mouseClick(viewport(v), Qt::LeftButton, mods, pixel);
}
inline void clickButton(frmViewer& v, const char* name) {
    auto* b = v.findChild<QPushButton*>(QString::fromLatin1(name));
    ASSERT_TRUE(b) << name;
    QTest::mouseClick(b, Qt::LeftButton);
}

// Scrolls the page as a user would (the scroll bars) until the page point lies well inside the
// viewport, and gives its pixel there: a zoomed-in sheet is larger than the window.
inline QPoint scrolledTo(frmViewer& v, QPointF page) {
    PageView* view = v.pageView();
    const QRect inside = view->viewport()->rect().adjusted(40, 40, -40, -40);
    QPointF pixel = view->toViewport(page);
    if (!inside.contains(pixel.toPoint())) {
        view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->value() +
                                              qRound(pixel.x() - inside.center().x()));
        view->verticalScrollBar()->setValue(view->verticalScrollBar()->value() +
                                            qRound(pixel.y() - inside.center().y()));
        pixel = view->toViewport(page);
    }
    EXPECT_TRUE(view->viewport()->rect().contains(pixel.toPoint()));
    return pixel.toPoint();
}
// A click at a page point, scrolled into view first.
inline void clickPage(frmViewer& v, QPointF page) {
    click(v, scrolledTo(v, page));
}

// New Item... with the dialog filled in as a user would; kindIndex 0 length, 1 area, 2 count.
inline void addItem(frmViewer& v, const QString& name, int kindIndex) {
    QTimer::singleShot(0, [name, kindIndex] {
        auto* d = qobject_cast<frmTakeoffItem*>(QApplication::activeModalWidget());
        ASSERT_TRUE(d);
        d->findChild<QLineEdit*>("txtName")->setText(name);
        d->findChild<QComboBox*>("cboKind")->setCurrentIndex(kindIndex);
        QTest::mouseClick(d->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    });
    QTest::mouseClick(v.findChild<QPushButton*>("cmdNewItem"), Qt::LeftButton);
    activate(v);
}

// The panel's text in a column of the named item's line.
inline QString cell(frmViewer& v, const QString& item, int column) {
    auto* list = v.findChild<QTreeWidget*>("lstItems");
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->text(TakeoffPanel::ColItem) == item)
            return list->topLevelItem(i)->text(column);
    return QStringLiteral("(no item %1)").arg(item);
}
inline void chooseItem(frmViewer& v, const QString& item) {
    auto* list = v.findChild<QTreeWidget*>("lstItems");
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->text(TakeoffPanel::ColItem) == item)
            list->setCurrentItem(list->topLevelItem(i));
}

} // namespace brevant::viewer::test
