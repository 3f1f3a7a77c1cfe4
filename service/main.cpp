// brevant-service: the local stand-in for the subscription service (see README.md).
#include "platform/db/DbError.h"
#include "service/ServiceOptions.h"
#include "service/catalogue/Catalogue.h"
#include "service/catalogue/DocumentFiles.h"
#include "service/exchange/ArchiveStore.h"
#include "service/exchange/ExchangeServer.h"
#include "service/exchange/ServiceContext.h"
#include "service/export/DesktopExport.h"
#include "service/http/HttpServer.h"
#include "service/search/SearchEngine.h"
#include "service/smtp/SmtpSink.h"

#include <QDir>
#include <QGuiApplication>
#include <QHostAddress>
#include <cstdio>
#include <memory>

using namespace brevant::service;

namespace {

bool listen(GuardedServer& server, const QHostAddress& address, int port, const char* what) {
    if (server.listenOn(address, quint16(port)))
        return true;
    std::fprintf(stderr, "brevant-service: cannot listen for %s on %s:%d: %s\n", what,
                 address.toString().toLocal8Bit().constData(), port,
                 server.errorString().toLocal8Bit().constData());
    return false;
}

} // namespace

int main(int argc, char** argv) {
    // Documents are drawn with fonts, which need a GUI application; the service never shows a
    // window, so it never needs a display either.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QString error;
    const auto parsed = parseServiceOptions(app.arguments(), error);
    if (!parsed) {
        const bool help = app.arguments().contains("--help") || app.arguments().contains("-h");
        std::fprintf(help ? stdout : stderr, "%s\n", error.toLocal8Bit().constData());
        return help ? 0 : 2;
    }
    const ServiceOptions& options = *parsed;
    const QHostAddress address(options.host);
    if (address.isNull()) {
        std::fprintf(stderr, "brevant-service: --host must be an IP address\n");
        return 2;
    }

    try {
        Catalogue catalogue(QDir(options.dataDir).absolutePath(), options.seed, options.projects,
                            options.today);
        if (!options.exportDesktop.isEmpty()) {
            const int n = exportDesktopDatabase(catalogue, options.exportDesktop);
            std::printf("brevant-service: wrote %d projects to %s\n", n,
                        options.exportDesktop.toLocal8Bit().constData());
            return 0;
        }
        ArchiveStore archives(catalogue.dataDir(), options.host);
        DocumentFiles documents(catalogue.dataDir());
        SearchEngine search(catalogue.databasePath(), options.searchTimeMs);
        ServiceContext context{options, catalogue, archives, search, documents};

        ExchangeServer exchange(context);
        HttpServer http(archives.folder(), options.faults, options.limits);
        std::unique_ptr<SmtpSink> smtp;
        if (!listen(exchange, address, options.port, "the exchange") ||
            !listen(http, address, options.httpPort, "HTTP"))
            return 1;
        archives.setHttpPort(http.serverPort());
        if (options.smtpPort >= 0) {
            smtp = std::make_unique<SmtpSink>(QDir(catalogue.dataDir()).filePath("mail"),
                                              options.limits);
            if (!listen(*smtp, address, options.smtpPort, "SMTP"))
                return 1;
        }
        // Tests and scripts start the service on port 0 and read the ports from this line.
        std::printf("brevant-service ready port=%d http-port=%d smtp-port=%d projects=%d\n",
                    exchange.serverPort(), http.serverPort(), smtp ? smtp->serverPort() : -1,
                    int(catalogue.projects().size()));
        std::fflush(stdout);
        return app.exec();
    } catch (const brevant::db::DbError& e) {
        std::fprintf(stderr, "brevant-service: %s\n", e.description().toLocal8Bit().constData());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "brevant-service: %s\n", e.what());
    }
    return 1;
}
