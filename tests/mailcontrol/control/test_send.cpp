// Send: composition, the busy rule, interruption from a handler, the temporary file and the
// error raised when the transport step fails.
#include "../support/TempFolder.h"
#include "mailvane/mailvane.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace mailvane;
namespace fs = std::filesystem;

namespace {

using mailvanetest::TempFolder;

struct Recorder : IMailvaneEvents {
    std::vector<std::pair<int, std::string>> trail;
    std::vector<std::pair<int, std::string>> errors;
    std::function<void()> onTrail;
    void PITrail(std::int16_t& direction, std::string& message) override {
        trail.emplace_back(direction, message);
        if (onTrail)
            onTrail();
    }
    void Error(std::int16_t& code, std::string& description) override {
        errors.emplace_back(code, description);
    }
};

ComError sendError(Mailvane& m) {
    try {
        m.Send();
    } catch (const ComError& e) {
        return e;
    }
    ADD_FAILURE() << "Send did not fail";
    return ComError(0, "", "");
}

// Send with no MailServer set stops at the connect with 102.
constexpr std::uint32_t kNoServerNumber = 0x800A0000u + 102 + 20001;
constexpr const char* kNoServerText = "The RemoteHost address is invalid (0.0.0.0).";

// A server on 127.0.0.1 that accepts connections and never says anything.
class SilentServer {
public:
    SilentServer() {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(fd_, 4);
        socklen_t length = sizeof address;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    ~SilentServer() { close(fd_); }
    int port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
};

} // namespace

TEST(MailvaneSend, TempFileIsRemovedWhenSendFails) {
    TempFolder tmp;
    const fs::path file = tmp.write("plan.tif", std::string(1000, 'x'));
    Mailvane m;
    Recorder events;
    m.Advise(&events);
    m.put_From("me@example.com");
    m.put_SendTo("you@example.com");
    m.AddAttachment(file.string());
    const std::size_t before = tmp.count();
    const ComError e = sendError(m);
    EXPECT_EQ(static_cast<std::uint32_t>(e.number()), kNoServerNumber);
    EXPECT_EQ(e.description(), kNoServerText);
    EXPECT_EQ(e.helpContext(), 44104u);
    EXPECT_EQ(e.source(), kProgId);
    EXPECT_EQ(tmp.count(), before) << "the mvf file must be gone when Send ends";
    ASSERT_FALSE(events.trail.empty());
    EXPECT_EQ(events.trail[0], std::make_pair(2, std::string("Connecting to mail server.")));
    EXPECT_EQ(m.get_Action(), mailvaneIdle);
}

TEST(MailvaneSend, MissingAttachmentFailsWithNoFileGiven) {
    TempFolder tmp;
    Mailvane m;
    m.put_AttachmentCount(1); // an empty entry, as a reloaded control has
    ComError e = sendError(m);
    EXPECT_EQ(static_cast<std::uint32_t>(e.number()), 0x800A0000u + 283 + 20001);
    EXPECT_EQ(e.description(), "No file given");
    m.put_Attachments(1, (tmp.path() / "absent.txt").string());
    e = sendError(m);
    EXPECT_EQ(e.description(), "No file given");
    // Through Action the help context is the property's.
    try {
        m.put_Action(mailvaneSend);
        ADD_FAILURE();
    } catch (const ComError& viaAction) {
        EXPECT_EQ(viaAction.helpContext(), 24101u);
        EXPECT_EQ(viaAction.description(), "No file given");
    }
    EXPECT_EQ(tmp.count(), 0u);
}

TEST(MailvaneSend, UnusableTempFolderFailsWith170) {
    TempFolder tmp;
    const fs::path file = tmp.write("a.bin", "abc");
    setenv("TMPDIR", (tmp.path() / "missing").c_str(), 1);
    Mailvane m;
    m.AddAttachment(file.string());
    const ComError e = sendError(m);
    EXPECT_EQ(static_cast<std::uint32_t>(e.number()), 0x800A0000u + 170 + 20001);
    EXPECT_EQ(e.description(), "Can't create temp file.");
}

TEST(MailvaneSend, SecondSendFromAHandlerIsBusyAndTheRunningOneGoesOn) {
    TempFolder tmp;
    Mailvane m;
    Recorder events;
    std::vector<std::uint32_t> inner;
    std::vector<TAction> actions;
    events.onTrail = [&] {
        actions.push_back(m.get_Action());
        try {
            m.Send();
        } catch (const ComError& e) {
            inner.push_back(static_cast<std::uint32_t>(e.number()));
            EXPECT_EQ(e.description(), "Busy performing current action.");
        }
    };
    m.Advise(&events);
    const ComError outer = sendError(m);
    ASSERT_EQ(inner.size(), 1u);
    EXPECT_EQ(inner[0], 0x800A4EC7u);
    EXPECT_EQ(actions, std::vector<TAction>{mailvaneSend});
    EXPECT_EQ(static_cast<std::uint32_t>(outer.number()), kNoServerNumber)
        << "the running Send must end with its own failure, not 166";
    EXPECT_EQ(m.get_Action(), mailvaneIdle);
}

TEST(MailvaneSend, InterruptFromTheHostEndsSendWithInterrupted) {
    TempFolder tmp;
    SilentServer server;
    Mailvane m;
    m.put_MailServer("127.0.0.1");
    m.put_MailPort(server.port());
    m.put_From("me@example.com");
    m.put_SendTo("you@example.com");
    bool refused = false;
    int pumped = 0;
    // The host's button: pressed while Send waits for the greeting.
    m.SetHostPump([&](int) {
        if (++pumped == 1) {
            m.Interrupt();
            EXPECT_EQ(m.get_Action(), mailvaneIdle);
            // Still unwinding: another Send is refused rather than run inside the first.
            try {
                m.put_Action(mailvaneSend);
            } catch (const ComError& e) {
                refused = static_cast<std::uint32_t>(e.number()) == 0x800A4EC7u;
            }
        }
        return true;
    });
    const ComError e = sendError(m);
    EXPECT_TRUE(refused);
    EXPECT_EQ(static_cast<std::uint32_t>(e.number()), 0x800A0000u + 301 + 20001);
    EXPECT_EQ(e.description(), "Interrupted");
    EXPECT_EQ(m.get_SocketHandle(), -1);
    // The interrupt must not leak into the next Send, which runs into its time limit instead.
    m.SetHostPump(nullptr);
    m.put_Timeout(1);
    const ComError next = sendError(m);
    EXPECT_EQ(static_cast<std::uint32_t>(next.number()), 0x800A0000u + 301 + 20001);
    EXPECT_EQ(next.description(), "Timeout.");
}

TEST(MailvaneSend, DoEventsCallsTheHostPump) {
    Mailvane m;
    std::vector<int> waits;
    m.SetHostPump([&](int waitMs) {
        waits.push_back(waitMs);
        return true;
    });
    m.DoEvents();
    EXPECT_EQ(waits, std::vector<int>{20});
}

TEST(MailvaneSend, ComposeGivesHeaderBodyAndFileWithoutAServer) {
    TempFolder tmp;
    const fs::path file = tmp.write("notes.txt", "hello\r\n");
    Mailvane m;
    m.put_OtherHeaders("X-Mailer: test\r\n");
    m.put_MessageText("Body");
    {
        const ComposedMessage plain = m.Compose();
        EXPECT_EQ(plain.headerText, "X-Mailer: test\r\n");
        EXPECT_EQ(plain.bodyText, "Body");
        EXPECT_FALSE(plain.hasBodyFile());
    }
    m.AddAttachment(file.string());
    fs::path kept;
    {
        const ComposedMessage multi = m.Compose();
        EXPECT_EQ(multi.headerText.rfind("X-Mailer: test\r\nMIME-Version: 1.0 (", 0), 0u);
        EXPECT_EQ(multi.bodyText, "\r\nThis is a message encoded in MIME format.\r\n\r\n");
        ASSERT_TRUE(multi.hasBodyFile());
        kept = multi.bodyFile;
        EXPECT_EQ(kept.filename().string().rfind("mvf", 0), 0u);
        EXPECT_TRUE(fs::exists(kept));
    }
    EXPECT_FALSE(fs::exists(kept));
}
