// The exchange's building blocks: the request text, the reply assembler, the file reference
// list, the firewall settings, the "Download" folder and unpacking archives.
#include "../shell/ShellTestEnv.h"
#include "base/Settings.h"
#include "platform/archive/ZipWriter.h"
#include "platform/wirelet/Wirelet.h"
#include "server/FileReference.h"
#include "server/ReplyAssembler.h"
#include "server/Request.h"
#include "server/ServerSession.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace brevant::server {
namespace {

TEST(ExchangeRequest, CarriesCredentialsVersionAndArgumentBetweenKindCharacters) {
    const QString text = BuildRequest(RequestKind::ProjectListing, QStringLiteral("anna"),
                                      QStringLiteral("pw"), QStringLiteral("210001,210002"));
    EXPECT_EQ(text, QStringLiteral("\x02"
                                   "anna|pw|%1.%2.%3\x02"
                                   "210001,210002")
                        .arg(BREVANT_VERSION_MAJOR)
                        .arg(BREVANT_VERSION_MINOR)
                        .arg(BREVANT_VERSION_PATCH));
    // The access check has no argument; the header closes the request.
    EXPECT_TRUE(BuildRequest(RequestKind::AccessCheck, "a", "b", {}).endsWith(QChar(4)));
    EXPECT_FALSE(ClientVersion().contains(QLatin1Char(' ')));
    EXPECT_FALSE(IsValidCredential(QStringLiteral("an|na")));
    EXPECT_TRUE(IsValidCredential(QStringLiteral("anna")));
}

TEST(ReplyAssembler, JoinsChunksUntilTheOneHoldingCharacterOne) {
    ReplyAssembler r;
    EXPECT_EQ(r.add("http://h/a,"), ReplyAssembler::Result::Partial);
    EXPECT_EQ(r.add("12"), ReplyAssembler::Result::Partial);
    EXPECT_EQ(r.ChunkCount, 2);
    EXPECT_EQ(r.add("34\x01"), ReplyAssembler::Result::Complete);
    EXPECT_EQ(r.text(), QByteArray("http://h/a,1234"));
    EXPECT_EQ(r.ChunkCount, 0);
    EXPECT_EQ(r.BytesReceived, 16);
    // The next data event starts a new reply.
    EXPECT_EQ(r.add("1\x01"), ReplyAssembler::Result::Complete);
    EXPECT_EQ(r.text(), QByteArray("1"));
    EXPECT_EQ(r.BytesReceived, 2);
}

TEST(ReplyAssembler, RefusalsAndTheirMessages) {
    ReplyAssembler r;
    EXPECT_EQ(r.add("+NOOK+\x01"), ReplyAssembler::Result::Refused);
    EXPECT_EQ(r.message(), QString());
    EXPECT_EQ(r.add("+NOOK+Invalid user name\x01"), ReplyAssembler::Result::Refused);
    EXPECT_EQ(r.message(), QStringLiteral("Invalid user name"));
    // A refusal split by the network is still a refusal.
    EXPECT_EQ(r.add("+NO"), ReplyAssembler::Result::Partial);
    EXPECT_EQ(r.add("OK+Try later\x01"), ReplyAssembler::Result::Refused);
    EXPECT_EQ(r.message(), QStringLiteral("Try later"));
    // "+NOOK+" inside a document is no refusal.
    EXPECT_EQ(r.add("<x>+NOOK+</x>\x01"), ReplyAssembler::Result::Complete);
}

TEST(ReplyAssembler, KeepsMultiByteCharactersSplitAcrossChunksAndCapsTheSize) {
    const QByteArray text = QStringLiteral("Z\u00fcrich \u00c5rhus").toUtf8();
    ReplyAssembler r;
    for (char c : text)
        r.add(QByteArray(1, c));
    r.add("\x01");
    EXPECT_EQ(QString::fromUtf8(r.text()), QStringLiteral("Z\u00fcrich \u00c5rhus"));

    ReplyAssembler capped(10);
    EXPECT_EQ(capped.add("12345"), ReplyAssembler::Result::Partial);
    EXPECT_EQ(capped.add("678901"), ReplyAssembler::Result::TooLarge);
    EXPECT_EQ(capped.ChunkCount, 0);
}

TEST(FileReference, UrlSizeAndFileName) {
    FileReference f =
        ParseFileReference(QStringLiteral("http://127.0.0.1:8080/archives/listing-000001,4711,x"));
    EXPECT_EQ(f.url, QStringLiteral("http://127.0.0.1:8080/archives/listing-000001"));
    EXPECT_EQ(f.size, 4711);
    EXPECT_EQ(f.fileName(), QStringLiteral("listing-000001"));
    f = ParseFileReference(QStringLiteral("archive.zip"));
    EXPECT_EQ(f.fileName(), QStringLiteral("archive.zip"));
    EXPECT_EQ(f.size, 0);
}

class SessionSettings : public ::testing::Test {
protected:
    shell::test::ShellTestEnv env;
};

TEST_F(SessionSettings, FirewallFollowsTheProxySwitch) {
    wirelet::Wirelet w;
    WriteSetting(QStringLiteral("PROXYSOCKS"), QStringLiteral("socks.example"));
    WriteSetting(QStringLiteral("PROXYSOCKSUSER"), QStringLiteral("u"));
    WriteSetting(QStringLiteral("PROXYSOCKSPASS"), QStringLiteral("p"));
    ApplyFirewall(w, true);
    EXPECT_EQ(w.FirewallType, 3);
    EXPECT_EQ(w.FirewallHost, QStringLiteral("socks.example"));
    EXPECT_EQ(w.FirewallPort, 1080); // the default port
    EXPECT_EQ(w.FirewallUser, QStringLiteral("u"));
    EXPECT_EQ(w.FirewallPassword, QStringLiteral("p"));
    // Off: type 0, the other properties keep their values.
    ApplyFirewall(w, false);
    EXPECT_EQ(w.FirewallType, 0);
    EXPECT_EQ(w.FirewallHost, QStringLiteral("socks.example"));
    EXPECT_EQ(w.FirewallPort, 1080);
}

TEST_F(SessionSettings, ServerAddressPortAndTimeOutDefaults) {
    EXPECT_EQ(ServerAddress(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(ServerPort(), 555);
    EXPECT_EQ(ServerTimeoutSeconds(), 120);
    WriteSetting(QStringLiteral("SERVERTIMEOUT"), QStringLiteral("abc"));
    EXPECT_EQ(ServerTimeoutSeconds(), 120);
    WriteSetting(QStringLiteral("SERVERTIMEOUT"), QStringLiteral("-5"));
    EXPECT_EQ(ServerTimeoutSeconds(), 120);
    WriteSetting(QStringLiteral("SERVERTIMEOUT"), QStringLiteral(" 7 "));
    EXPECT_EQ(ServerTimeoutSeconds(), 7);
    // A loopback service is reachable whatever the machine's routes say.
    EXPECT_TRUE(IsOnline());
}

TEST_F(SessionSettings, DownloadFolderIsCreatedOnceAndFoundWithoutRegardToCase) {
    const QString folder = DownloadFolder();
    EXPECT_EQ(folder, env.home() + QStringLiteral("/Download"));
    EXPECT_TRUE(QDir(folder).exists());
    QDir(env.home()).rename(QStringLiteral("Download"), QStringLiteral("DOWNLOAD"));
    EXPECT_EQ(DownloadFolder(), env.home() + QStringLiteral("/DOWNLOAD"));
    EXPECT_FALSE(QDir(env.home() + QStringLiteral("/Download")).exists());
}

TEST_F(SessionSettings, UnpackArchiveWritesEntryZeroOnlyIntoAnEmptyFolderAndDeletesTheArchive) {
    const auto zip = [&](const QString& name, const char* entry) {
        const QString path = env.path(name);
        archive::ZipWriter w(path.toStdString());
        if (entry)
            w.addBytes(entry, "<Jobs/>");
        w.write();
        return path;
    };
    const auto emptyFolder = [&](const QString& name) {
        const QString path = env.path(name);
        QDir().mkpath(path);
        return path;
    };
    const QString dest = emptyFolder(QStringLiteral("dest"));
    const QString good = zip(QStringLiteral("listing-000001"), "listing-000001");
    QString written;
    ASSERT_TRUE(UnpackArchive(good, dest, &written));
    EXPECT_EQ(written, dest + QStringLiteral("/listing-000001"));
    QFile f(written);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("<Jobs/>"));
    EXPECT_FALSE(QFile::exists(good));

    // A folder that already holds something is refused, even for a harmless archive: the
    // entry's name is the server's and must never meet a file that was there.
    const QString again = zip(QStringLiteral("listing-000002"), "LISTING-000001");
    EXPECT_FALSE(UnpackArchive(again, dest));
    EXPECT_TRUE(QFile::exists(again));
    EXPECT_EQ(QDir(dest).entryList(QDir::Files), QStringList{QStringLiteral("listing-000001")});

    EXPECT_FALSE(UnpackArchive(zip(QStringLiteral("empty"), nullptr),
                               emptyFolder(QStringLiteral("for-empty"))));
    for (const char* hostile : {"../x", "/tmp/brevant-client-hostile", "..\\x", "sub/../../x"}) {
        const QString folder = emptyFolder(QStringLiteral("for-hostile"));
        const QString path = zip(QStringLiteral("hostile"), hostile);
        EXPECT_FALSE(UnpackArchive(path, folder)) << hostile;
        EXPECT_TRUE(QFile::exists(path)) << "the archive stays after a failure";
        EXPECT_TRUE(QDir(folder).isEmpty());
    }
    EXPECT_FALSE(QFile::exists(env.path(QStringLiteral("x"))));
    EXPECT_FALSE(QFile::exists(QStringLiteral("/tmp/brevant-client-hostile")));
    EXPECT_FALSE(
        UnpackArchive(env.path(QStringLiteral("missing")), emptyFolder(QStringLiteral("m"))));
}

} // namespace
} // namespace brevant::server
