// The attachment and assignment dialogs: their texts, results and questions.
#include "platform/ui/ScriptedUi.h"
#include "store/frmAssign.h"
#include "store/frmAttach.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace brevant;
using namespace brevant::store;

namespace {

QLineEdit* text1(QDialog& d) {
    return d.findChild<QLineEdit*>("Text1");
}
QPushButton* button(QDialog& d, const char* name) {
    return d.findChild<QPushButton*>(name);
}

} // namespace

TEST(AttachDialog, TextsAndOkWithTextOrEmpty) {
    ui::ScopedScriptedUi ui;
    QString result = "left over";
    frmAttach dlg(result);
    EXPECT_EQ(result, ""); // set empty when the dialog loads
    EXPECT_EQ(dlg.windowTitle(), "File Attachment Dialog");
    EXPECT_EQ(dlg.findChild<QLabel*>("Label1")->text(), "Enter a description for this attachment:");
    EXPECT_EQ(button(dlg, "CancelButton")->text(), "CANCEL");
    dlg.show();
    text1(dlg)->setText("It's the 'signed' copy");
    button(dlg, "OKButton")->click();
    EXPECT_EQ(result, "It's the 'signed' copy");
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_TRUE(ui.shown().isEmpty());

    frmAttach empty(result);
    empty.show();
    button(empty, "OKButton")->click();
    EXPECT_EQ(result, "");
    EXPECT_FALSE(empty.isVisible());
}

TEST(AttachDialog, CancelAsksAndStaysOpenOnNo) {
    ui::ScopedScriptedUi ui;
    QString result;
    frmAttach dlg(result);
    dlg.show();
    text1(dlg)->setText("half typed");
    ui.answerMessage(ui::Answer::No);
    button(dlg, "CancelButton")->click();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(result, "");
    ASSERT_EQ(ui.shown().size(), 1);
    EXPECT_EQ(ui.last().text, "Cancel this attachment?");
    EXPECT_EQ(ui.last().title, "System Prompt");
    EXPECT_EQ(ui.last().icon, ui::Icon::Question);
    EXPECT_EQ(ui.last().buttons, ui::Buttons::YesNo);
    ui.answerMessage(ui::Answer::Yes);
    button(dlg, "CancelButton")->click();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(result, "~~CANCEL~~");
}

TEST(AttachDialog, CloseButtonAsksOnlyWhenNothingIsTyped) {
    ui::ScopedScriptedUi ui;
    QString result;
    {
        frmAttach dlg(result);
        dlg.show();
        ui.answerMessage(ui::Answer::Yes);
        dlg.close();
        EXPECT_EQ(result, "~~CANCEL~~");
        EXPECT_EQ(ui.shown().size(), 1);
    }
    {
        frmAttach dlg(result);
        dlg.show();
        ui.answerMessage(ui::Answer::No);
        dlg.close();
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_EQ(result, ""); // taken as an empty description
        EXPECT_EQ(ui.shown().size(), 2);
    }
    {
        frmAttach dlg(result);
        dlg.show();
        text1(dlg)->setText("typed but closed");
        dlg.close();
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_EQ(result, "");
        EXPECT_EQ(ui.shown().size(), 2); // no question
    }
}

TEST(AssignDialog, RefusesAnEmptyNameAndCancelsWithItsOwnQuestion) {
    ui::ScopedScriptedUi ui;
    QString result = "x";
    frmAssign dlg(result);
    EXPECT_EQ(result, "");
    EXPECT_EQ(dlg.windowTitle(), "Project Assignment Dialog");
    EXPECT_EQ(dlg.findChild<QLabel*>("Label1")->text(), "Who is this project assigned to:");
    dlg.show();
    button(dlg, "OKButton")->click();
    EXPECT_TRUE(dlg.isVisible());
    ASSERT_EQ(ui.shown().size(), 1);
    EXPECT_EQ(ui.last().text, "You are trying to assign the project(s) to a null string -- "
                              "Please enter a value and try again ...");
    EXPECT_EQ(ui.last().title, "System Message");
    EXPECT_EQ(ui.last().icon, ui::Icon::Exclamation);
    text1(dlg)->setText("O'Brien | Sons");
    button(dlg, "OKButton")->click();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(result, "O'Brien | Sons");

    frmAssign cancel(result);
    cancel.show();
    ui.answerMessage(ui::Answer::Yes);
    button(cancel, "CancelButton")->click();
    EXPECT_EQ(ui.last().text, "Cancel this assignment?");
    EXPECT_EQ(result, "~~CANCEL~~");
}
