// Splitting recipient lists and building the MAIL command from the From text.
#include "smtp/AddressList.h"

#include <gtest/gtest.h>

using mailvane::smtp::mailFromCommand;
using mailvane::smtp::splitAddressList;
using List = std::vector<std::string>;

TEST(AddressList, DisplayNamesQuotedCommasAndBrackets) {
    EXPECT_EQ(splitAddressList("Ann Smith <ann@example.com>, \"Doe, John\" <john@example.com>"),
              (List{"ann@example.com", "john@example.com"}));
    EXPECT_EQ(splitAddressList("<a@x>,b@y ,  c@z  "), (List{"a@x", "b@y", "c@z"}));
    // A comma inside brackets does not split; a bracket without its end runs to the entry's end.
    EXPECT_EQ(splitAddressList("x <a,b@x>, <open@y"), (List{"a,b@x", "open@y"}));
}

TEST(AddressList, CommentsAreSkippedEvenWhenNested) {
    EXPECT_EQ(splitAddressList("(team (lead, west)) carol@example.com (Carol), dave@x"),
              (List{"carol@example.com", "dave@x"}));
    // A "<" inside a comment or quotes is not the address.
    EXPECT_EQ(splitAddressList("(c<d) e@f"), List{"e@f"});
    EXPECT_EQ(splitAddressList("\"a<b\" <e@f>"), (List{"e@f"}));
}

TEST(AddressList, EmptyEntriesAndBlanksAreSkipped) {
    EXPECT_EQ(splitAddressList(""), List{});
    EXPECT_EQ(splitAddressList(" , ,\t, (only a comment)"), List{});
    EXPECT_EQ(splitAddressList("a@x,,b@y,"), (List{"a@x", "b@y"}));
    EXPECT_EQ(splitAddressList("\r\n\ta@x\r\n"), List{"a@x"});
}

TEST(AddressList, LongAddressesAreCut) {
    const std::string longAddress(300, 'a');
    EXPECT_EQ(splitAddressList(longAddress)[0].size(), 255u);
}

TEST(MailFrom, AddressIsTakenFromBracketsOrTheWholeText) {
    EXPECT_EQ(mailFromCommand("sender@example.com"), "MAIL FROM:<sender@example.com>");
    EXPECT_EQ(mailFromCommand("<sender@example.com>"), "MAIL FROM:<sender@example.com>");
    EXPECT_EQ(mailFromCommand("Sender Name <s@example.com>"), "MAIL FROM:<s@example.com>");
    EXPECT_EQ(mailFromCommand("Sender <s@example.com"), "MAIL FROM:<s@example.com>");
    EXPECT_EQ(mailFromCommand(std::string(300, 'x')).size(),
              std::string("MAIL FROM:<>").size() + 255);
}

TEST(MailFrom, ByteSevenPassesTheRestUnchanged) {
    EXPECT_EQ(mailFromCommand("\x07<a@x> SIZE=1000"), "MAIL FROM:<a@x> SIZE=1000");
    EXPECT_EQ(mailFromCommand("<\x07<a@x> BODY=8BITMIME>"), "MAIL FROM:<a@x> BODY=8BITMIME");
}
