#pragma once
// A small deterministic generator (splitmix64): the catalogue must come out the same for the
// same seed on every machine and library version, which std::mt19937 + distributions do not
// promise.
#include <QString>
#include <QStringList>
#include <cstdint>

namespace brevant::service {

class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    // A generator for one purpose derived from a seed and up to three numbers.
    static Rng derive(std::uint64_t seed, std::uint64_t a, std::uint64_t b = 0,
                      std::uint64_t c = 0) {
        Rng r(seed ^ 0x9e3779b97f4a7c15ull);
        r.state_ ^= r.next() + a * 0xbf58476d1ce4e5b9ull;
        r.state_ ^= r.next() + b * 0x94d049bb133111ebull;
        r.state_ ^= r.next() + c * 0x2545f4914f6cdd1dull;
        return r;
    }

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }
    // Uniform in [lo, hi].
    int range(int lo, int hi) {
        return lo + static_cast<int>(next() % static_cast<std::uint64_t>(hi - lo + 1));
    }
    bool chance(int percent) { return range(1, 100) <= percent; }
    template <typename T> const T& pick(const T* items, int count) {
        return items[range(0, count - 1)];
    }
    QString pick(const QStringList& items) { return items.at(range(0, int(items.size()) - 1)); }

private:
    std::uint64_t state_;
};

} // namespace brevant::service
