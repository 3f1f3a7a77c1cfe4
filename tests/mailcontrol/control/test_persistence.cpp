// Saving to and restoring from a property bag and the "Contents" stream.
#include "mailvane/mailvane.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

using namespace mailvane;

namespace {

struct MapBag : IPropertyBag {
    std::vector<std::string> order;
    std::map<std::string, PropertyValue> values;
    bool Read(const std::string& name, PropertyValue& value) override {
        auto it = values.find(name);
        if (it == values.end())
            return false;
        value = it->second;
        return true;
    }
    void Write(const std::string& name, const PropertyValue& value) override {
        order.push_back(name);
        values[name] = value;
    }
};

struct MemoryStorage : IStorage {
    std::map<std::string, std::string> streams;
    struct Out : std::ostringstream {
        std::string& target;
        explicit Out(std::string& t) : target(t) {}
        ~Out() override { target = str(); }
    };
    std::unique_ptr<std::ostream> CreateStream(const std::string& name) override {
        return std::make_unique<Out>(streams[name]);
    }
    std::unique_ptr<std::istream> OpenStream(const std::string& name) override {
        auto it = streams.find(name);
        if (it == streams.end())
            return nullptr;
        return std::make_unique<std::istringstream>(it->second);
    }
};

void fill(Mailvane& m) {
    m.put_MaxHeaderLength(20);
    m.put_SendTo("first@example.com, second@example.com");
    m.put_Cc("cc@example.com");
    m.put_BCc("hidden@example.com");
    m.put_From("Sender <sender@example.com>");
    m.put_ReplyTo("reply@example.com");
    m.put_Subject("A subject long enough to be folded twice over");
    m.put_Date("Tue, 8 Dec 2026");
    m.put_MessageText("Line one\r\n.Line two\r\n");
    m.put_FirewallType(fwSOCKS5);
    m.put_FirewallPort(1081);
    m.put_FirewallHost("127.0.0.1");
    m.put_FirewallUser("fwuser");
    m.put_FirewallPassword("fwpass");
    m.put_MailServer("*mail.example.com");
    m.put_Timeout(45);
    m.AddAttachment("/tmp/one");
    m.AddAttachment("/tmp/two");
}

void expectSame(Mailvane& restored, Mailvane& original) {
    for (const PropertyInfo& info : Mailvane::Properties()) {
        if (!info.persisted || info.dispid == 2)
            continue;
        EXPECT_EQ(restored.GetProperty(info.dispid), original.GetProperty(info.dispid))
            << info.name;
    }
    EXPECT_EQ(restored.get_AttachmentCount(), 2);
    EXPECT_EQ(restored.get_Attachments(1), "") << "paths are not stored, only their count";
}

} // namespace

TEST(MailvanePersistence, PropertyBagHoldsTheListedPropertiesInOrder) {
    Mailvane m;
    MapBag bag;
    m.Save(bag);
    const std::vector<std::string> expected{"AttachmentCount",
                                            "BCc",
                                            "Cc",
                                            "Date",
                                            "FirewallHost",
                                            "FirewallPassword",
                                            "FirewallPort",
                                            "FirewallType",
                                            "FirewallUser",
                                            "From",
                                            "MailServer",
                                            "MessageDate",
                                            "MessageText",
                                            "ReplyTo",
                                            "SendTo",
                                            "Subject",
                                            "Timeout",
                                            "WinsockLoaded",
                                            "Security",
                                            "VerifyCertificate"};
    EXPECT_EQ(bag.order, expected);
}

TEST(MailvanePersistence, PropertyBagRoundTripKeepsValuesAsStored) {
    Mailvane original;
    fill(original);
    MapBag bag;
    original.Save(bag);
    Mailvane restored;
    restored.Load(bag);
    expectSame(restored, original);
    // A SOCKS port set after the type survives the reload, and folded text is not refolded.
    EXPECT_EQ(restored.get_FirewallPort(), 1081);
    EXPECT_EQ(restored.get_Subject(), original.get_Subject());
    EXPECT_NE(original.get_Subject().find("\r\n\t"), std::string::npos);
}

TEST(MailvanePersistence, ContentsStreamRoundTrip) {
    Mailvane original;
    fill(original);
    original.put_MessageText(std::string("binary \0 and \xff bytes", 20));
    MemoryStorage storage;
    original.Save(storage);
    ASSERT_EQ(storage.streams.count("Contents"), 1u);
    Mailvane restored;
    restored.Load(storage);
    expectSame(restored, original);
    EXPECT_EQ(restored.get_MessageText(), original.get_MessageText());
}

TEST(MailvanePersistence, DamagedStreamIsRefusedAndChangesNothing) {
    Mailvane original;
    fill(original);
    std::stringstream stream;
    original.SaveToStream(stream);
    const std::string saved = stream.str();
    for (std::size_t cut : {std::size_t{0}, std::size_t{3}, saved.size() / 2, saved.size() - 1}) {
        Mailvane target;
        target.put_Subject("untouched");
        std::istringstream in(saved.substr(0, cut));
        EXPECT_THROW(target.LoadFromStream(in), ComError) << cut;
        EXPECT_EQ(target.get_Subject(), "untouched");
    }
    MemoryStorage empty;
    Mailvane target;
    EXPECT_THROW(target.Load(empty), ComError);
}

TEST(MailvanePersistence, ARefusedValueDoesNotStopTheOthers) {
    MapBag bag;
    bag.values["FirewallType"] = std::int32_t{9};
    bag.values["Subject"] = std::string("kept");
    bag.values["Timeout"] = std::int16_t{12};
    Mailvane m;
    try {
        m.Load(bag);
        ADD_FAILURE() << "out-of-range type must be reported";
    } catch (const ComError& e) {
        EXPECT_EQ(e.description(), "Value is out of range.");
    }
    EXPECT_EQ(m.get_Subject(), "kept");
    EXPECT_EQ(m.get_Timeout(), 12);
    EXPECT_EQ(m.get_FirewallType(), fwNone);
}

TEST(MailvanePersistence, AServerNameThatNoLongerResolvesIsKept) {
    MapBag bag;
    bag.values["MailServer"] = std::string("gone.invalid");
    bag.values["From"] = std::string("me@example.com");
    Mailvane m;
    EXPECT_THROW(m.Load(bag), ComError);
    EXPECT_EQ(m.get_MailServer(), "gone.invalid");
    EXPECT_EQ(m.get_From(), "me@example.com");
}
