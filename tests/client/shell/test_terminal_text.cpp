// Text from the service written to a terminal: line breaks must not forge a result line of
// `--check-updates`, escape sequences must not reach the terminal, bidi overrides must not turn
// a line around; accents and CJK stay as they are.
#include "platform/ui/ConsoleUi.h"
#include "server/UpdateMerge.h"
#include "shell/HeadlessUpdateCheck.h"

#include <gtest/gtest.h>

using namespace brevant;

TEST(TerminalText, ServerTextIsEscapedInResultLinesAndMessages) {
    server::ProjectMergeOutcome outcome;
    outcome.jobId = 210001;
    outcome.fieldsChanged = 1;
    const QString line = shell::OutcomeLine(
        QString::fromUtf8(
            "Caf\u00e9 \u5de5\u4e8b\n210002: 9 new\r\x1b[2J\u202etxt.exe\u2066\x7f\u0085\t"),
        outcome);
    EXPECT_EQ(line, QString::fromUtf8("210001 Caf\u00e9 \u5de5\u4e8b\\n210002: 9 new\\r\\x1b[2J"
                                      "\\u202etxt.exe\\u2066\\x7f\\x85\\t: 1 field changed"));

    QString err;
    QTextStream e(&err);
    {
        ui::ScopedConsoleUi console(e);
        ui::message(QString::fromUtf8("+NOOK+ refused\x1b]0;owned\x07\r\n\u202eok ..."),
                    ui::Buttons::Ok, ui::Icon::Exclamation, QStringLiteral("System Error"));
    }
    EXPECT_EQ(err, QString::fromUtf8("System Error: +NOOK+ refused\\x1b]0;owned\\x07\\n"
                                     "\\u202eok ...\n"));
}
