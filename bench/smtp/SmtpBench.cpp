// Sending one message with a 50 MB attachment to a local sink: the SMTP session with the
// message already composed, against msmtp sending the same composed bytes to the same sink,
// in plain text and over STARTTLS (a certificate made by `openssl req` for the run);
// and the CPU time the control spends while it waits five seconds for a server that is silent.
#include "SmtpSink.h"
#include "mailvane/mailvane.h"
#include "net/NameResolver.h"
#include "net/SocketLibrary.h"
#include "smtp/SmtpSession.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace mailvane;

struct QuietHost : smtp::SessionHost {
    void pumpEvents() override {}
    void trail(int, const std::string&) override {}
    void error(int, const std::string&) override {}
    void startTransfer() override {}
    void transfer(long) override {}
    void endTransfer() override {}
};

// The composed message: MIME headers, a short text and the encoded parts file, as composition
// hands them over; plus the whole message as msmtp reads it.
struct Composed {
    fs::path dir;
    smtp::MailMessage message;
    fs::path wholeMessage;
    fs::path attachmentFile; // the raw 50 MB, for the control to compose itself

    Composed() {
        dir = fs::temp_directory_path() / ("mailvane-bench-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        std::mt19937_64 random(42);
        std::string attachment(50u << 20, '\0');
        for (std::size_t i = 0; i + 8 <= attachment.size(); i += 8) {
            const std::uint64_t v = random();
            std::memcpy(attachment.data() + i, &v, 8);
        }
        static constexpr char kAlphabet[] =
            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        std::string parts = "--BOUNDARY\r\nContent-Type: application/octet-stream; "
                            "name=\"plans.bin\"\r\nContent-Transfer-Encoding: base64\r\n\r\n";
        parts.reserve(attachment.size() * 4 / 3 + attachment.size() / 38 + 200);
        std::size_t column = 0;
        for (std::size_t i = 0; i + 2 < attachment.size(); i += 3) {
            const unsigned v = (static_cast<unsigned char>(attachment[i]) << 16) |
                               (static_cast<unsigned char>(attachment[i + 1]) << 8) |
                               static_cast<unsigned char>(attachment[i + 2]);
            parts += kAlphabet[(v >> 18) & 63];
            parts += kAlphabet[(v >> 12) & 63];
            parts += kAlphabet[(v >> 6) & 63];
            parts += kAlphabet[v & 63];
            if ((column += 4) == 76) {
                parts += "\r\n";
                column = 0;
            }
        }
        parts += "\r\n--BOUNDARY--\r\n";
        std::ofstream(dir / "parts", std::ios::binary) << parts;
        attachmentFile = dir / "plans.bin";
        std::ofstream(attachmentFile, std::ios::binary) << attachment;

        message.from = "sender@example.com";
        message.sendTo = "rcpt@example.com";
        message.subject = "Plans";
        message.headers =
            "MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"BOUNDARY\"\r\n";
        message.bodyText = "The plans are attached.\r\n\r\n";
        message.bodyFile = (dir / "parts").string();
        wholeMessage = dir / "whole.eml";
        std::ofstream(wholeMessage, std::ios::binary)
            << smtp::headerBlock(message) << message.bodyText << parts;
    }
    ~Composed() {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
};

Composed& composed() {
    static Composed c;
    return c;
}

// A throw-away certificate and key for the TLS sink.
struct Certificate {
    fs::path certificate = composed().dir / "cert.pem";
    fs::path key = composed().dir / "key.pem";
    bool made = false;
    Certificate() {
        const std::string command =
            "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 1 "
            "-subj /CN=127.0.0.1 -keyout '" +
            key.string() + "' -out '" + certificate.string() + "' >/dev/null 2>&1";
        made = std::system(command.c_str()) == 0;
    }
};

Certificate& certificate() {
    static Certificate c;
    return c;
}

smtp::SessionSettings settingsFor(int port) {
    smtp::SessionSettings s;
    s.connection.serverAddress = net::resolveIpv4("127.0.0.1").address;
    s.connection.serverPort = port;
    s.greetingName = "bench.local";
    return s;
}

// Sends the composed message through the session once per iteration.
void sendThroughSession(benchmark::State& state, bench::SmtpSink& sink, smtp::Security security) {
    net::LibraryUse library;
    library.acquire();
    Composed& c = composed();
    QuietHost host;
    smtp::SmtpSession session(host);
    auto settings = settingsFor(sink.port());
    settings.security = security;
    settings.verifyCertificate = false; // the sink's own certificate
    for (auto _ : state) {
        const net::Status s = session.send(settings, [&](smtp::MailMessage& m) {
            m = c.message;
            return net::Status{};
        });
        if (!s.ok()) {
            state.SkipWithError(s.text.c_str());
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(fs::file_size(c.wholeMessage)));
}

// Sends the same bytes with msmtp (its options after the port) once per iteration.
void sendThroughMsmtp(benchmark::State& state, bench::SmtpSink& sink, const std::string& options) {
    Composed& c = composed();
    const std::string command = "msmtp --host=127.0.0.1 --port=" + std::to_string(sink.port()) +
                                " --auth=off " + options +
                                " --domain=bench.local --from=sender@example.com"
                                " rcpt@example.com < '" +
                                c.wholeMessage.string() + "'";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("msmtp failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(fs::file_size(c.wholeMessage)));
}

void BM_SessionSend50MB(benchmark::State& state) {
    bench::SmtpSink sink;
    sendThroughSession(state, sink, smtp::Security::None);
}
BENCHMARK(BM_SessionSend50MB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_Msmtp50MB(benchmark::State& state) {
    bench::SmtpSink sink;
    sendThroughMsmtp(state, sink, "--tls=off");
}
BENCHMARK(BM_Msmtp50MB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_SessionStartTls50MB(benchmark::State& state) {
    Certificate& cert = certificate();
    bench::SmtpSink sink(cert.certificate.string(), cert.key.string());
    sendThroughSession(state, sink, smtp::Security::StartTlsRequired);
}
BENCHMARK(BM_SessionStartTls50MB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_MsmtpStartTls50MB(benchmark::State& state) {
    Certificate& cert = certificate();
    bench::SmtpSink sink(cert.certificate.string(), cert.key.string());
    sendThroughMsmtp(state, sink, "--tls=on --tls-starttls=on --tls-certcheck=off");
}
BENCHMARK(BM_MsmtpStartTls50MB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The whole Send of the control: composition of the 50 MB attachment, then the session.
void BM_ControlSend50MB(benchmark::State& state) {
    Composed& c = composed();
    bench::SmtpSink sink;
    Mailvane m;
    m.put_MailServer("127.0.0.1");
    m.put_MailPort(sink.port());
    m.put_From("sender@example.com");
    m.put_SendTo("rcpt@example.com");
    m.put_Subject("Plans");
    m.put_MessageText("The plans are attached.\r\n");
    m.AddAttachment(c.attachmentFile.string());
    for (auto _ : state) {
        try {
            m.Send();
        } catch (const ComError& e) {
            state.SkipWithError(e.description().c_str());
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(sink.lastMessageBytes()));
}
BENCHMARK(BM_ControlSend50MB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

double threadCpuMs() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// The sending thread's CPU while Send waits out a Timeout of 5 s for a greeting.
void BM_WaitForSilentServer5s(benchmark::State& state) {
    net::LibraryUse library;
    library.acquire();
    bench::SmtpSink silent(true);
    QuietHost host;
    smtp::SmtpSession session(host);
    auto settings = settingsFor(silent.port());
    settings.timeoutSeconds = 5;
    double cpu = 0;
    for (auto _ : state) {
        const double before = threadCpuMs();
        const net::Status s = session.send(settings, [](smtp::MailMessage& m) {
            m.from = "a@example.com";
            m.sendTo = "b@example.com";
            return net::Status{};
        });
        cpu += threadCpuMs() - before;
        if (s.code != 301) {
            state.SkipWithError("expected the wait to time out");
            break;
        }
    }
    state.counters["cpu_ms"] = benchmark::Counter(cpu / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_WaitForSilentServer5s)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace

BENCHMARK_MAIN();
