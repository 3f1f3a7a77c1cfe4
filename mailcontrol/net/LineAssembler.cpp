#include "net/LineAssembler.h"

#include <algorithm>
#include <cstring>

namespace mailvane::net {

char* LineAssembler::writeArea() {
    compact();
    return buffer_.data() + fill_;
}

void LineAssembler::commit(std::size_t count) {
    fill_ += std::min(count, freeSpace());
}

std::size_t LineAssembler::append(const char* data, std::size_t length) {
    compact();
    const std::size_t n = std::min(length, freeSpace());
    std::memcpy(buffer_.data() + fill_, data, n);
    fill_ += n;
    return n;
}

void LineAssembler::compact() {
    if (read_ == 0) {
        return;
    }
    std::memmove(buffer_.data(), buffer_.data() + read_, fill_ - read_);
    fill_ -= read_;
    read_ = 0;
}

LineAssembler::Piece LineAssembler::next(std::string& out) {
    if (skipNext_ != 0 && read_ < fill_) {
        if (buffer_[read_] == skipNext_) {
            ++read_;
        }
        skipNext_ = 0;
    }
    for (std::size_t i = read_; i < fill_; ++i) {
        const char c = buffer_[i];
        if (c != '\r' && c != '\n') {
            continue;
        }
        out.assign(buffer_.data() + read_, i - read_);
        const char other = c == '\r' ? '\n' : '\r';
        read_ = i + 1;
        if (read_ < fill_) {
            if (buffer_[read_] == other) {
                ++read_;
            }
        } else {
            skipNext_ = other;
        }
        return Piece::Line;
    }
    if (read_ == 0 && fill_ == kCapacity) {
        out.assign(buffer_.data(), fill_);
        read_ = fill_;
        return Piece::Partial;
    }
    return Piece::None;
}

std::string LineAssembler::takeRest() {
    if (skipNext_ != 0 && read_ < fill_ && buffer_[read_] == skipNext_) {
        ++read_;
    }
    std::string rest(buffer_.data() + read_, fill_ - read_);
    clear();
    return rest;
}

void LineAssembler::clear() {
    read_ = 0;
    fill_ = 0;
    skipNext_ = 0;
}

} // namespace mailvane::net
