#include "smtp/AddressList.h"

namespace mailvane::smtp {

namespace {

bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ' || c == 0x7F;
}

// The entry's text outside comments, and where its first "<" outside quotes and comments is.
std::string withoutComments(const std::string& entry, std::size_t& angle) {
    std::string out;
    angle = std::string::npos;
    bool quoted = false;
    int depth = 0;
    for (std::size_t i = 0; i < entry.size(); ++i) {
        const char c = entry[i];
        if (quoted) {
            if (c == '\\' && i + 1 < entry.size()) {
                out += c;
                out += entry[++i];
                continue;
            }
            if (c == '"') {
                quoted = false;
            }
            out += c;
            continue;
        }
        if (depth > 0) {
            if (c == '\\' && i + 1 < entry.size()) {
                ++i;
            } else if (c == '(') {
                ++depth;
            } else if (c == ')') {
                --depth;
            }
            continue;
        }
        if (c == '(') {
            depth = 1;
            continue;
        }
        if (c == '"') {
            quoted = true;
        } else if (c == '<' && angle == std::string::npos) {
            angle = out.size();
        }
        out += c;
    }
    return out;
}

std::string addressOf(const std::string& entry) {
    std::size_t angle = std::string::npos;
    const std::string text = withoutComments(entry, angle);
    if (angle != std::string::npos) {
        const std::size_t close = text.find('>', angle + 1);
        return text.substr(angle + 1,
                           close == std::string::npos ? std::string::npos : close - angle - 1);
    }
    std::size_t first = 0;
    while (first < text.size() && isBlank(text[first])) {
        ++first;
    }
    std::size_t last = text.size();
    while (last > first && isBlank(text[last - 1])) {
        --last;
    }
    return text.substr(first, last - first);
}

} // namespace

std::vector<std::string> splitAddressList(const std::string& list) {
    std::vector<std::string> addresses;
    std::size_t start = 0;
    bool quoted = false;
    bool angled = false;
    int depth = 0;
    auto flush = [&](std::size_t end) {
        std::string address = addressOf(list.substr(start, end - start));
        if (!address.empty()) {
            if (address.size() > kMaxAddressLength) {
                address.resize(kMaxAddressLength);
            }
            addresses.push_back(std::move(address));
        }
        start = end + 1;
    };
    for (std::size_t i = 0; i < list.size(); ++i) {
        const char c = list[i];
        if (quoted) {
            if (c == '\\' && i + 1 < list.size()) {
                ++i;
            } else if (c == '"') {
                quoted = false;
            }
        } else if (depth > 0) {
            if (c == '\\' && i + 1 < list.size()) {
                ++i;
            } else if (c == '(') {
                ++depth;
            } else if (c == ')') {
                --depth;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == '(') {
            depth = 1;
        } else if (c == '<') {
            angled = true;
        } else if (c == '>') {
            angled = false;
        } else if (c == ',' && !angled) {
            flush(i);
        }
    }
    flush(list.size());
    return addresses;
}

std::string mailFromCommand(const std::string& from) {
    std::string sender = from;
    if (!sender.empty() && sender.front() == '<') {
        sender.erase(0, 1);
    }
    if (!sender.empty() && sender.back() == '>') {
        sender.pop_back();
    }
    if (!sender.empty() && sender.front() == '\x07') {
        return "MAIL FROM:" + sender.substr(1, kMaxAddressLength);
    }
    std::string address = sender;
    const std::size_t angle = sender.find('<');
    if (angle != std::string::npos) {
        const std::size_t close = sender.find('>', angle + 1);
        address = sender.substr(angle + 1,
                                close == std::string::npos ? std::string::npos : close - angle - 1);
    }
    if (address.size() > kMaxAddressLength) {
        address.resize(kMaxAddressLength);
    }
    return "MAIL FROM:<" + address + ">";
}

} // namespace mailvane::smtp
