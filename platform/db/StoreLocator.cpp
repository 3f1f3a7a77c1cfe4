#include "platform/db/StoreLocator.h"

#include <QSet>
#include <optional>
#include <vector>

namespace brevant::db {

namespace {

// libpq's connection keywords (PostgreSQL 15). A text of "keyword = value" pairs naming only
// these is a connection string; anything else ("Provider=...;Data Source=...") is for a file.
const QSet<QString>& pgKeywords() {
    static const QSet<QString> keywords = {"host",
                                           "hostaddr",
                                           "port",
                                           "dbname",
                                           "user",
                                           "password",
                                           "passfile",
                                           "channel_binding",
                                           "connect_timeout",
                                           "client_encoding",
                                           "options",
                                           "application_name",
                                           "fallback_application_name",
                                           "keepalives",
                                           "keepalives_idle",
                                           "keepalives_interval",
                                           "keepalives_count",
                                           "tcp_user_timeout",
                                           "replication",
                                           "gssencmode",
                                           "sslmode",
                                           "requiressl",
                                           "sslcompression",
                                           "sslcert",
                                           "sslkey",
                                           "sslpassword",
                                           "sslrootcert",
                                           "sslcrl",
                                           "sslcrldir",
                                           "sslsni",
                                           "requirepeer",
                                           "ssl_min_protocol_version",
                                           "ssl_max_protocol_version",
                                           "krbsrvname",
                                           "gsslib",
                                           "service",
                                           "target_session_attrs",
                                           "load_balance_hosts"};
    return keywords;
}

bool isSecret(const QString& keyword) {
    return keyword.compare(QLatin1String("password"), Qt::CaseInsensitive) == 0 ||
           keyword.compare(QLatin1String("sslpassword"), Qt::CaseInsensitive) == 0;
}

struct Pair {
    QString key;
    qsizetype start, end; // the pair's span in the text, blanks after it included
};

// The pairs of a libpq keyword/value text ("host=a port = 5432 options='-c x=1'"), with
// libpq's quoting: a value in single quotes may hold blanks, a backslash takes the next
// character as it is. nullopt when the text is not of that form.
std::optional<std::vector<Pair>> keywordPairs(const QString& text) {
    std::vector<Pair> pairs;
    const qsizetype n = text.size();
    qsizetype i = 0;
    const auto skipBlanks = [&] {
        while (i < n && text[i].isSpace())
            ++i;
    };
    skipBlanks();
    while (i < n) {
        const qsizetype start = i;
        while (i < n && (text[i].isLetterOrNumber() || text[i] == QLatin1Char('_')))
            ++i;
        if (i == start)
            return std::nullopt;
        const QString key = text.mid(start, i - start);
        skipBlanks();
        if (i >= n || text[i] != QLatin1Char('='))
            return std::nullopt;
        ++i;
        skipBlanks();
        if (i < n && text[i] == QLatin1Char('\'')) {
            for (++i;; ++i) {
                if (i >= n)
                    return std::nullopt; // unterminated quote
                if (text[i] == QLatin1Char('\\'))
                    ++i;
                else if (text[i] == QLatin1Char('\''))
                    break;
            }
            ++i;
        } else {
            while (i < n && !text[i].isSpace()) {
                if (text[i] == QLatin1Char('\\'))
                    ++i;
                ++i;
            }
        }
        skipBlanks();
        pairs.push_back({key, start, qMin(i, n)});
    }
    return pairs;
}

bool isUri(const QString& text) {
    const QString t = text.trimmed();
    return t.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) ||
           t.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

// The parts of a URI that may hold a password: the user info's ":password" and the query's
// password parameters, as spans to leave out.
std::vector<std::pair<qsizetype, qsizetype>> uriSecrets(const QString& text) {
    std::vector<std::pair<qsizetype, qsizetype>> spans;
    const qsizetype authority = text.indexOf(QLatin1String("://")) + 3;
    qsizetype authorityEnd = authority;
    while (authorityEnd < text.size() && text[authorityEnd] != QLatin1Char('/') &&
           text[authorityEnd] != QLatin1Char('?'))
        ++authorityEnd;
    const qsizetype at = text.lastIndexOf(QLatin1Char('@'), authorityEnd - 1);
    if (at >= authority) {
        const qsizetype colon = text.indexOf(QLatin1Char(':'), authority);
        if (colon >= 0 && colon < at)
            spans.emplace_back(colon, at);
    }
    const qsizetype query = text.indexOf(QLatin1Char('?'), authorityEnd);
    if (query < 0)
        return spans;
    qsizetype i = query + 1;
    while (i <= text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('&'), i);
        if (end < 0)
            end = text.size();
        const qsizetype eq = text.indexOf(QLatin1Char('='), i);
        const QString key = text.mid(i, (eq >= 0 && eq < end ? eq : end) - i);
        if (isSecret(key)) {
            // The parameter and one separator beside it.
            if (end < text.size())
                spans.emplace_back(i, end + 1);
            else
                spans.emplace_back(i - 1, end);
        }
        i = end + 1;
    }
    return spans;
}

} // namespace

StoreLocator StoreLocator::parse(const QString& text) {
    StoreLocator l;
    l.text_ = text;
    if (isUri(text)) {
        l.kind_ = Kind::PostgreSql;
    } else if (const auto pairs = keywordPairs(text); pairs && !pairs->empty()) {
        bool all = true;
        for (const Pair& p : *pairs)
            all = all && pgKeywords().contains(p.key.toLower());
        if (all)
            l.kind_ = Kind::PostgreSql;
    }
    return l;
}

StoreLocator StoreLocator::parseTyped(const QString& text) {
    StoreLocator l = parse(text);
    l.passwordAllowed_ = true;
    return l;
}

bool StoreLocator::hasPassword() const {
    return describe() != text_;
}

QString StoreLocator::describe() const {
    if (kind_ == Kind::SqliteFile)
        return text_;
    std::vector<std::pair<qsizetype, qsizetype>> spans;
    if (isUri(text_)) {
        spans = uriSecrets(text_);
    } else {
        // Held in a variable: the loop would otherwise walk a vector whose optional is gone.
        const auto pairs = keywordPairs(text_);
        for (const Pair& p : *pairs)
            if (isSecret(p.key))
                spans.emplace_back(p.start, p.end);
    }
    if (spans.empty())
        return text_;
    QString out = text_;
    for (auto it = spans.rbegin(); it != spans.rend(); ++it)
        out.remove(it->first, it->second - it->first);
    return out.trimmed();
}

QString StoreLocator::whyNotSavable() const {
    if (!hasPassword())
        return {};
    return QStringLiteral("The store locator holds a password. Keep the password in ~/.pgpass "
                          "or the PGPASSWORD environment variable; the settings file keeps the "
                          "locator without it.");
}

} // namespace brevant::db
