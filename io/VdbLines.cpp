#include "io/VdbLines.h"

#include <charconv>
#include <cstring>
#include <utility>

#include "io/CharClasses.h"
#include "io/Cp1250Text.h"

namespace orma::vdb {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

}  // namespace

LineSource::LineSource(std::string_view bytes) : text_(bytes), end_(bytes.size()), atEnd_(true) {}

LineSource::LineSource(Reader reader) : reader_(std::move(reader)) {
    buffer_.resize(kPieceBytes);
    text_ = buffer_;
}

bool LineSource::next(std::string_view& line) {
    if (held_) {
        line = heldText_;
        held_ = false;
        number_ = heldNumber_;
        return true;
    }
    if (!fetch(line)) {
        number_ = lastNumber_ + 1;  // where the missing (or overlong) line would be
        return false;
    }
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    number_ = ++lastNumber_;
    if (number_ == 1 && line.starts_with(kUtf8Mark)) {
        utf8Mark_ = true;
        line.remove_prefix(kUtf8Mark.size());
    }
    noteEncoding(line);
    return true;
}

void LineSource::holdBack(std::string_view line) {
    heldText_.assign(line);
    held_ = true;
    heldNumber_ = number_;
}

void LineSource::noteEncoding(std::string_view line) {
    if (!hasNonAscii(line)) return;
    nonAscii_ = true;
    // A line feed never falls inside a UTF-8 sequence, so lines are judged one by one.
    if (firstNonUtf8Line_ == 0 && !isValidUtf8(line)) firstNonUtf8Line_ = number_;
}

bool LineSource::fetch(std::string_view& line) {
    // A line may end in CR LF: its CR does not count against the bound.
    constexpr std::size_t kLook = kMaxLineBytes + 2;
    while (true) {
        const std::size_t available = end_ - begin_;
        const std::string_view window = text_.substr(begin_, std::min(available, kLook));
        const std::size_t newline = window.find('\n');
        if (newline != std::string_view::npos) {
            line = window.substr(0, newline);
            begin_ += newline + 1;
            break;
        }
        if (available >= kLook) {
            tooLong_ = true;
            return false;
        }
        if (atEnd_) {
            if (available == 0) return false;
            line = window;
            begin_ = end_;
            break;
        }
        refill();
    }
    const std::size_t length = line.size() - (!line.empty() && line.back() == '\r' ? 1 : 0);
    if (length > kMaxLineBytes) {
        tooLong_ = true;
        return false;
    }
    return true;
}

void LineSource::refill() {
    // The unfinished line (shorter than a piece, as lines are bounded) moves
    // to the front and more is read after it.
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    const std::ptrdiff_t got = reader_(buffer_.data() + end_, buffer_.size() - end_);
    if (got > 0) {
        end_ += static_cast<std::size_t>(got);
    } else {
        readFailed_ = got < 0;
        atEnd_ = true;
    }
}

bool Words::next(std::string_view& word) {
    while (pos_ < line_.size() && isLineBlank(line_[pos_])) ++pos_;
    if (pos_ >= line_.size()) return false;
    const std::size_t start = pos_;
    while (pos_ < line_.size() && !isLineBlank(line_[pos_])) ++pos_;
    word = line_.substr(start, pos_ - start);
    return true;
}

bool parseReal(std::string_view word, float& value) {
    const char* begin = word.data();
    const char* end = begin + word.size();
    bool negative = false;
    if (begin < end && (*begin == '+' || *begin == '-')) {
        negative = *begin == '-';
        ++begin;
    }
    if (begin == end || *begin == '+' || *begin == '-') return false;
    float parsed = 0.0f;
    const auto result = std::from_chars(begin, end, parsed, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != end) return false;
    value = negative ? -parsed : parsed;
    return true;
}

bool parseWhole(std::string_view word, int& value) {
    const char* begin = word.data();
    const char* end = begin + word.size();
    if (begin < end && *begin == '+') ++begin;
    if (begin == end || *begin == '+') return false;
    const auto result = std::from_chars(begin, end, value, 10);
    return result.ec == std::errc() && result.ptr == end;
}

}  // namespace orma::vdb
