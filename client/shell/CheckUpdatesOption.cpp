#include "shell/CheckUpdatesOption.h"

#include "shell/CredentialsFile.h"
#include "shell/HeadlessUpdateCheck.h"

namespace brevant::shell {

std::vector<ProgramOption> CheckUpdatesOptions() {
    auto run = [](const QCommandLineParser& parser) -> std::optional<int> {
        QTextStream out(stdout), err(stderr), in(stdin);
        return RunCheckUpdatesOption(parser, out, err, in);
    };
    return {
        {QCommandLineOption(QStringLiteral("check-updates"),
                            QStringLiteral("Check projects for updates without a window and merge "
                                           "what is new; one line per project.")),
         run},
        {QCommandLineOption(QStringLiteral("tracked"),
                            QStringLiteral("With --check-updates: every tagged project.")),
         {}},
        {QCommandLineOption(QStringLiteral("user"),
                            QStringLiteral("With --check-updates: the service's user name; the "
                                           "password comes from --password-file, "
                                           "BREVANT_PASSWORD or standard input."),
                            QStringLiteral("name")),
         {}},
        {QCommandLineOption(QStringLiteral("password-file"),
                            QStringLiteral("With --check-updates: read the password (and the user "
                                           "name when --user is not given) from <file>, which "
                                           "must be readable by you alone (chmod 600)."),
                            QStringLiteral("file")),
         {}},
        {QCommandLineOption(QStringLiteral("notify"),
                            QStringLiteral("With --check-updates: tell the desktop when projects "
                                           "changed; clicking the notice opens them.")),
         {}},
    };
}

int RunCheckUpdatesOption(const QCommandLineParser& parser, QTextStream& out, QTextStream& err,
                          QTextStream& in) {
    shell::HeadlessCheckOptions options;
    options.tracked = parser.isSet(QStringLiteral("tracked"));
    if (parser.isSet(QStringLiteral("jobs"))) {
        const auto jobs = shell::parseJobList(parser.value(QStringLiteral("jobs")));
        if (!jobs) {
            err << "--jobs takes project numbers separated by commas, such as 12,34." << Qt::endl;
            return 2;
        }
        options.jobs = *jobs;
    }
    if (options.tracked == !options.jobs.isEmpty()) {
        err << "--check-updates needs either --tracked or --jobs." << Qt::endl;
        return 2;
    }
    options.user = parser.value(QStringLiteral("user"));
    options.notify = parser.isSet(QStringLiteral("notify"));
    if (parser.isSet(QStringLiteral("password-file"))) {
        const auto read = ReadCredentialsFile(parser.value(QStringLiteral("password-file")));
        if (const QString* why = std::get_if<QString>(&read)) {
            err << *why << Qt::endl;
            return 2;
        }
        const Credentials& c = std::get<Credentials>(read);
        if (options.user.isEmpty())
            options.user = c.user;
        options.password = c.password;
    } else if (qEnvironmentVariableIsSet("BREVANT_PASSWORD"))
        options.password = qEnvironmentVariable("BREVANT_PASSWORD");
    else
        options.password = in.readLine();
    return shell::RunHeadlessUpdateCheck(options, out, err);
}

} // namespace brevant::shell
