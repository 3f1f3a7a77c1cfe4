#pragma once
// A session host for tests: records every trail line, error and transfer event in order, and
// lets a test act from inside an event (interrupt, start another Send) as a real host would.
#include "smtp/SmtpSession.h"

#include <functional>
#include <string>
#include <vector>

namespace mailvane::testing {

struct Event {
    std::string kind; // "trail0", "trail1", "trail2", "error", "start", "transfer", "end"
    int code = 0;     // error code or byte count
    std::string text;
};

class RecordingHost : public smtp::SessionHost {
public:
    std::vector<Event> events;
    std::function<void(int direction, const std::string& text)> onTrail;
    int pumps = 0;

    void pumpEvents() override { ++pumps; }
    void trail(int direction, const std::string& text) override {
        events.push_back({"trail" + std::to_string(direction), 0, text});
        if (onTrail) {
            onTrail(direction, text);
        }
    }
    void error(int code, const std::string& text) override {
        events.push_back({"error", code, text});
    }
    void startTransfer() override { events.push_back({"start", 0, {}}); }
    void transfer(long bytes) override {
        events.push_back({"transfer", static_cast<int>(bytes), {}});
    }
    void endTransfer() override { events.push_back({"end", 0, {}}); }

    std::vector<std::string> lines(const std::string& kind) const {
        std::vector<std::string> out;
        for (const Event& e : events) {
            if (e.kind == kind) {
                out.push_back(e.text);
            }
        }
        return out;
    }
    std::vector<Event> errors() const {
        std::vector<Event> out;
        for (const Event& e : events) {
            if (e.kind == "error") {
                out.push_back(e);
            }
        }
        return out;
    }
    bool saw(const std::string& kind, const std::string& text) const {
        for (const Event& e : events) {
            if (e.kind == kind && e.text == text) {
                return true;
            }
        }
        return false;
    }
};

} // namespace mailvane::testing
