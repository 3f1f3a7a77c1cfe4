// Property defaults, validation and the exact errors the control raises.
#include "control/ControlErrors.h"
#include "control/LocaleCharset.h"
#include "control/WinsockPathForm.h"
#include "mailvane/mailvane.h"

#include <gtest/gtest.h>
#include <unistd.h>

using namespace mailvane;

namespace {

// Runs f, which must throw a ComError, and returns it.
template <class F> ComError errorOf(F f) {
    try {
        f();
    } catch (const ComError& error) {
        return error;
    }
    ADD_FAILURE() << "no ComError thrown";
    return ComError(0, "", "");
}

void expectError(const ComError& e, std::uint32_t number, const std::string& description,
                 std::uint32_t help) {
    EXPECT_EQ(static_cast<std::uint32_t>(e.number()), number);
    EXPECT_EQ(e.description(), description);
    EXPECT_EQ(e.source(), kProgId);
    EXPECT_EQ(e.helpContext(), help);
}

} // namespace

TEST(MailvaneProperties, DefaultsOfANewControl) {
    Mailvane m;
    EXPECT_EQ(m.get_Action(), mailvaneIdle);
    EXPECT_EQ(m.get_AttachmentCount(), 0);
    EXPECT_EQ(m.get_FirewallPort(), 80);
    EXPECT_EQ(m.get_FirewallType(), fwNone);
    EXPECT_EQ(m.get_MailPort(), 25);
    EXPECT_EQ(m.get_MaxHeaderLength(), 72);
    EXPECT_EQ(m.get_SocketHandle(), -1);
    EXPECT_EQ(m.get_Timeout(), 0);
    EXPECT_EQ(m.get_LastReply(), "");
    EXPECT_TRUE(std::holds_alternative<std::monostate>(m.get_FirewallDataB()));
    EXPECT_TRUE(m.get_WinsockLoaded());
    EXPECT_EQ(m.get_WinsockStatus(), "Running");
    EXPECT_FALSE(m.get_WinsockPath().empty());
    char host[256] = {};
    ASSERT_EQ(gethostname(host, sizeof host - 1), 0);
    EXPECT_EQ(m.get_LocalHost(), std::string(host).substr(0, 99));
}

TEST(MailvaneProperties, AttachmentIndexOutsideTheListFailsOnReadAndWrite) {
    Mailvane m;
    m.AddAttachment("/tmp/a");
    m.AddAttachment("/tmp/b");
    for (std::int16_t index : {0, 3, -1}) {
        expectError(errorOf([&] { (void)m.get_Attachments(index); }), 0x800A017D,
                    "Invalid array index.", 24103);
        expectError(errorOf([&] { m.put_Attachments(index, "x"); }), 0x800A4ECA,
                    "Invalid attachment index (out of range).", 24103);
    }
    m.put_Attachments(2, "/tmp/c");
    EXPECT_EQ(m.get_Attachments(1), "/tmp/a");
    EXPECT_EQ(m.get_Attachments(2), "/tmp/c");
}

TEST(MailvaneProperties, AttachmentCountGrowsWithEmptyEntriesAndShrinksFromTheEnd) {
    Mailvane m;
    m.put_AttachmentCount(3);
    ASSERT_EQ(m.get_AttachmentCount(), 3);
    for (std::int16_t i = 1; i <= 3; ++i)
        EXPECT_EQ(m.get_Attachments(i), "");
    m.put_Attachments(1, "first");
    m.put_Attachments(3, "third");
    m.put_AttachmentCount(1);
    EXPECT_EQ(m.get_AttachmentCount(), 1);
    EXPECT_EQ(m.get_Attachments(1), "first");
    expectError(errorOf([&] { m.put_AttachmentCount(-1); }), 0x800A017C, "Value is out of range.",
                24102);
}

TEST(MailvaneProperties, FirewallTypeResetsThePortOnEveryWrite) {
    Mailvane m;
    m.put_FirewallPort(3128);
    m.put_FirewallType(fwSOCKS5);
    EXPECT_EQ(m.get_FirewallPort(), 1080);
    m.put_FirewallPort(1081);
    m.put_FirewallType(fwSOCKS4);
    EXPECT_EQ(m.get_FirewallPort(), 1080);
    m.put_FirewallType(fwTunnel);
    EXPECT_EQ(m.get_FirewallPort(), 80);
    m.put_FirewallPort(8080);
    m.put_FirewallType(fwNone);
    EXPECT_EQ(m.get_FirewallPort(), 80);
    // A refused value changes neither the type nor the port.
    m.put_FirewallPort(8080);
    expectError(errorOf([&] { m.put_FirewallType(static_cast<TFirewallType>(4)); }), 0x800A017C,
                "Value is out of range.", 24111);
    EXPECT_EQ(m.get_FirewallType(), fwNone);
    EXPECT_EQ(m.get_FirewallPort(), 8080);
}

TEST(MailvaneProperties, ActionOutsideItsValuesIsRefused) {
    Mailvane m;
    expectError(errorOf([&] { m.put_Action(static_cast<TAction>(2)); }), 0x800A017C,
                "Value is out of range.", 24101);
    expectError(errorOf([&] { m.PutProperty(1, std::int32_t{-1}); }), 0x800A017C,
                "Value is out of range.", 24101);
    m.put_Action(mailvaneIdle); // Interrupt while idle is accepted
    EXPECT_EQ(m.get_Action(), mailvaneIdle);
}

TEST(MailvaneProperties, DateAndMessageDateAreOneValue) {
    Mailvane m;
    m.put_Date("Tue, 8 Dec 2026 10:00:00 +0000");
    EXPECT_EQ(m.get_MessageDate(), "Tue, 8 Dec 2026 10:00:00 +0000");
    m.put_MessageDate("Wed, 9 Dec 2026 11:00:00 +0000");
    EXPECT_EQ(m.get_Date(), "Wed, 9 Dec 2026 11:00:00 +0000");
    EXPECT_EQ(std::get<std::string>(m.GetProperty(6)), m.get_MessageDate());
}

TEST(MailvaneProperties, RunTimeOnlyReadsFailWhileDesigningButWritesSucceed) {
    Mailvane m;
    m.SetDesignMode(true);
    const std::string text = "Property is runtime only (no supported in design time).";
    expectError(errorOf([&] { (void)m.get_MailPort(); }), 0x800A018A, text, 24116);
    expectError(errorOf([&] { (void)m.get_MaxHeaderLength(); }), 0x800A018A, text, 24118);
    expectError(errorOf([&] { (void)m.get_OtherHeaders(); }), 0x800A018A, text, 24121);
    expectError(errorOf([&] { (void)m.GetProperty(242); }), 0x800A018A, text, 0);
    m.put_MailPort(2525);
    m.put_MaxHeaderLength(60);
    m.put_OtherHeaders("X-A: 1\r\n");
    EXPECT_EQ(m.get_From(), ""); // others still read
    m.SetDesignMode(false);
    EXPECT_EQ(m.get_MailPort(), 2525);
    EXPECT_EQ(m.get_MaxHeaderLength(), 60);
    EXPECT_EQ(m.get_OtherHeaders(), "X-A: 1\r\n");
}

TEST(MailvaneProperties, TableDrivesAccessByDispid) {
    Mailvane m;
    const std::string readOnly = "Property is read-only.";
    for (std::int32_t dispid : {14, 24, 27, 29, 30, 32})
        expectError(errorOf([&] { m.PutProperty(dispid, std::string("x")); }), 0x800A017F, readOnly,
                    static_cast<std::uint32_t>(24100 + dispid));
    m.PutProperty(23, std::string("a@example.com"));
    EXPECT_EQ(m.get_SendTo(), "a@example.com");
    m.PutProperty(26, std::int16_t{30});
    EXPECT_EQ(std::get<std::int16_t>(m.GetProperty(26)), 30);
    expectError(errorOf([&] { m.PutProperty(3, std::string("p"), 1); }), 0x800A4ECA,
                "Invalid attachment index (out of range).", 24103);
    EXPECT_EQ(m.get_AttachmentCount(), 0) << "writing an index past the list must not add";
    expectError(errorOf([&] { m.PutProperty(23, std::int32_t{5}); }), 0x80020005, "Type mismatch.",
                24123);
}

TEST(MailvaneProperties, PropertyTableListsEveryPropertyInDispidOrder) {
    const auto props = Mailvane::Properties();
    ASSERT_EQ(props.size(), 36u);
    EXPECT_STREQ(props.front().name, "Action");
    EXPECT_STREQ(props[32].name, "FirewallDataB");
    EXPECT_EQ(props[33].dispid, 242);
    EXPECT_EQ(props.back().dispid, 244);
    for (std::size_t i = 0; i + 1 < props.size(); ++i)
        EXPECT_LT(props[i].dispid, props[i + 1].dispid);
    ASSERT_NE(Mailvane::FindProperty("sendto"), nullptr);
    EXPECT_EQ(Mailvane::FindProperty("sendto")->dispid, 23);
}

TEST(MailvaneProperties, FirewallDataKeepsAnyBytesAndItsByteArrayTwin) {
    Mailvane m;
    const std::string raw("\x00\x01\xff\"\r\n", 6);
    m.put_FirewallData(raw);
    const auto bytes = std::get<std::vector<std::uint8_t>>(m.get_FirewallDataB());
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), raw);
    m.put_FirewallDataB(std::vector<std::uint8_t>{0, 0, 7});
    EXPECT_EQ(m.get_FirewallData(), std::string("\0\0\7", 3));
    expectError(errorOf([&] { m.put_FirewallDataB(std::string("text")); }), 0x800A017C,
                "Property accepts only one-dimensional byte arrays.", 0);
    EXPECT_EQ(m.get_FirewallData(), std::string("\0\0\7", 3));
}

TEST(MailvaneProperties, FirewallCredentialsAreCutTo255) {
    Mailvane m;
    m.put_FirewallUser(std::string(300, 'u'));
    m.put_FirewallPassword(std::string(256, 'p'));
    EXPECT_EQ(m.get_FirewallUser(), std::string(255, 'u'));
    EXPECT_EQ(m.get_FirewallPassword(), std::string(255, 'p'));
}

TEST(MailvaneProperties, AddressHeadersFoldAtTheWidthInForceWhenWritten) {
    Mailvane m;
    m.put_MaxHeaderLength(10);
    m.put_SendTo("aaaaaaa, bbbbbbb, ccccccc");
    EXPECT_EQ(m.get_SendTo(), "aaaaaaa, bbbbbbb,\r\n\t ccccccc");
    m.put_MaxHeaderLength(0);
    EXPECT_EQ(m.get_SendTo(), "aaaaaaa, bbbbbbb,\r\n\t ccccccc") << "stored value stays";
    m.put_Cc("aaaaaaa, bbbbbbb, ccccccc");
    EXPECT_EQ(m.get_Cc(), "aaaaaaa, bbbbbbb, ccccccc");
}

TEST(MailvaneProperties, ServerAndLocalAddressesReadBackDotted) {
    Mailvane m;
    m.put_MailServer("localhost");
    EXPECT_EQ(m.get_MailServer(), "127.0.0.1");
    m.put_LocalHost("127.0.0.1");
    EXPECT_EQ(m.get_LocalHost(), "127.0.0.1");
    m.put_LocalHost("");
    char host[256] = {};
    ASSERT_EQ(gethostname(host, sizeof host - 1), 0);
    EXPECT_EQ(m.get_LocalHost(), host);
    // Through a firewall the server name is kept for the firewall to resolve.
    m.put_FirewallType(fwSOCKS5);
    m.put_MailServer("*mail.example.com");
    EXPECT_EQ(m.get_MailServer(), "*mail.example.com");
}

TEST(MailvaneProperties, UnresolvableServerFailsWhenWritten) {
    Mailvane m;
    const ComError e = errorOf([&] { m.put_MailServer("no-such-host.invalid"); });
    const auto number = static_cast<std::uint32_t>(e.number());
    // 11001 normally; 11002 where the resolver cannot be reached at all.
    EXPECT_TRUE(number == 0x800A0000u + 11001 + 15001 || number == 0x800A0000u + 11002 + 15001)
        << std::hex << number;
    EXPECT_EQ(e.description().rfind("[1100", 0), 0u) << e.description();
    EXPECT_EQ(e.helpContext(), 24117u);
}

TEST(MailvaneProperties, WinsockPathLoginForms) {
    using detail::classifyWinsockPath;
    using detail::WinsockPathForm;
    std::string payload;
    EXPECT_EQ(classifyWinsockPath("*USER: alice", payload), WinsockPathForm::User);
    EXPECT_EQ(payload, "alice");
    EXPECT_EQ(classifyWinsockPath("*USER: ", payload), WinsockPathForm::User);
    EXPECT_EQ(payload, "");
    EXPECT_EQ(classifyWinsockPath("*USER:", payload), WinsockPathForm::Ignored);
    EXPECT_EQ(classifyWinsockPath("*PASSWORD: s3cret", payload), WinsockPathForm::Password);
    EXPECT_EQ(payload, "s3cret");
    EXPECT_EQ(classifyWinsockPath("*PASSWORD:", payload), WinsockPathForm::Ignored);
    EXPECT_EQ(classifyWinsockPath("*X/lib.so", payload), WinsockPathForm::Library);
    EXPECT_EQ(classifyWinsockPath("libc.so.6", payload), WinsockPathForm::Library);
    // Login forms do not disturb the loaded library.
    Mailvane m;
    const std::string path = m.get_WinsockPath();
    m.put_WinsockPath("*USER: alice");
    EXPECT_EQ(m.get_WinsockPath(), path);
}

TEST(MailvaneProperties, JapaneseModeFollowsTheLocaleCharacterSet) {
    using detail::isShiftJisName;
    EXPECT_TRUE(isShiftJisName("ja_JP.SJIS"));
    EXPECT_TRUE(isShiftJisName("SHIFT_JIS"));
    EXPECT_TRUE(isShiftJisName("ja_JP.Shift_JIS"));
    EXPECT_FALSE(isShiftJisName("ja_JP.UTF-8"));
    EXPECT_FALSE(isShiftJisName("en_US.UTF-8"));
    EXPECT_FALSE(isShiftJisName("ja_JP.eucJP"));

    const char* saved = std::getenv("LC_ALL");
    const std::string previous = saved ? saved : "";
    setenv("LC_ALL", "ja_JP.SJIS", 1);
    Mailvane japanese;
    setenv("LC_ALL", "en_US.UTF-8", 1);
    Mailvane english;
    setenv("LC_ALL", "C", 1);
    Mailvane plain;
    if (saved)
        setenv("LC_ALL", previous.c_str(), 1);
    else
        unsetenv("LC_ALL");
    EXPECT_EQ(japanese.get_CharsetMode(), 1);
    EXPECT_EQ(english.get_CharsetMode(), 2) << "UTF-8 mode under a UTF-8 locale";
    EXPECT_EQ(plain.get_CharsetMode(), 0);
}

TEST(MailvaneErrors, NumbersFromCodes) {
    using detail::errorNumberForCode;
    EXPECT_EQ(static_cast<std::uint32_t>(errorNumberForCode(166)), 0x800A4EC7u);
    EXPECT_EQ(static_cast<std::uint32_t>(errorNumberForCode(10000)), 0x800A0000u + 30001);
    EXPECT_EQ(static_cast<std::uint32_t>(errorNumberForCode(10001)), 0x800A0000u + 25002);
    EXPECT_EQ(static_cast<std::uint32_t>(errorNumberForCode(11001)), 0x800A6592u);
    EXPECT_EQ(static_cast<std::uint32_t>(errorNumberForCode(200)), 0x800A0007u);
    using detail::describeFailure;
    EXPECT_EQ(describeFailure(301, ""), "Interrupted.");
    EXPECT_EQ(describeFailure(301, "Timeout."), "Timeout.");
    EXPECT_EQ(describeFailure(200, "anything"), "Out of memory.");
    EXPECT_EQ(describeFailure(11001, ""), "[11001] Host not found");
    EXPECT_EQ(describeFailure(4711, ""), "[4711] (no description available)");
    EXPECT_EQ(describeFailure(166, ""), "Busy performing current action.");
}
