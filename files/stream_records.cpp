#include "files/stream_records.h"

#include <algorithm>

namespace stx {

namespace {

std::uint32_t Le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

} // namespace

StreamRecordParser::Want StreamRecordParser::Next() const {
    if (Stopped()) return {};
    switch (part_) {
    case Part::Header:
        return {kStreamHeaderSize - headerFill_, false};
    case Part::Name:
        return {nameBytes_ - nameRaw_.size(), false};
    case Part::Data:
        return {dataLeft_, true};
    }
    return {};
}

std::size_t StreamRecordParser::Feed(const std::uint8_t* bytes, std::size_t count) {
    std::size_t used = 0;
    while (used < count && !Stopped()) {
        const std::size_t left = count - used;
        switch (part_) {
        case Part::Header: {
            const std::size_t n = std::min(left, kStreamHeaderSize - headerFill_);
            std::copy_n(bytes + used, n, header_ + headerFill_);
            headerFill_ += n;
            used += n;
            if (headerFill_ == kStreamHeaderSize) HeaderDone();
            break;
        }
        case Part::Name: {
            const std::size_t n = std::min<std::size_t>(left, nameBytes_ - nameRaw_.size());
            nameRaw_.append(reinterpret_cast<const char*>(bytes + used), n);
            used += n;
            if (nameRaw_.size() == nameBytes_) RecordDone();
            break;
        }
        case Part::Data: {
            const std::uint64_t n = std::min<std::uint64_t>(left, dataLeft_);
            used += static_cast<std::size_t>(n);
            Skipped(n);
            break;
        }
        }
    }
    return used;
}

void StreamRecordParser::Skipped(std::uint64_t count) {
    if (Stopped() || part_ != Part::Data) return;
    dataLeft_ -= std::min(count, dataLeft_);
    if (dataLeft_ == 0) {
        part_ = Part::Header;
        headerFill_ = 0;
    }
}

void StreamRecordParser::HeaderDone() {
    current_ = StreamRecord{};
    current_.streamId = Le32(header_);
    current_.size = static_cast<std::uint64_t>(Le32(header_ + 8)) |
                    static_cast<std::uint64_t>(Le32(header_ + 12)) << 32;
    nameBytes_ = Le32(header_ + 16);
    nameRaw_.clear();
    // A name is whole UTF-16 units of a sensible length; anything else means the
    // records cannot be followed any further.
    if (nameBytes_ % 2 != 0 || nameBytes_ > kMaxStreamNameBytes) {
        state_ = State::Malformed;
        return;
    }
    if (nameBytes_ == 0) {
        RecordDone();
        return;
    }
    nameRaw_.reserve(nameBytes_);
    part_ = Part::Name;
}

void StreamRecordParser::RecordDone() {
    current_.name.resize(nameRaw_.size() / 2);
    for (std::size_t i = 0; i < current_.name.size(); ++i)
        current_.name[i] =
            static_cast<char16_t>(static_cast<std::uint8_t>(nameRaw_[2 * i]) |
                                  static_cast<std::uint8_t>(nameRaw_[2 * i + 1]) << 8);
    records_.push_back(std::move(current_));
    current_ = StreamRecord{};
    if (records_.size() >= kMaxStreamRecords) {
        state_ = State::Full;
        return;
    }
    dataLeft_ = records_.back().size;
    part_ = Part::Data;
    Skipped(0); // an empty stream is followed by the next header at once
}

std::vector<StreamRecord> ParseStreamRecords(std::span<const std::uint8_t> bytes) {
    StreamRecordParser parser;
    parser.Feed(bytes.data(), bytes.size());
    return parser.Records();
}

std::string StreamCounterText(std::size_t index) {
    std::string text = "*Stream #00000";
    for (std::size_t i = text.size(); i-- > text.size() - 5;) {
        text[i] = static_cast<char>('0' + index % 10);
        index /= 10;
    }
    return text;
}

std::string StreamFileName(std::string_view baseName, std::string_view streamName) {
    if (!streamName.empty() && streamName.front() == ':') streamName.remove_prefix(1);
    if (streamName.empty()) return {};
    std::string name(baseName);
    name += ':';
    name += streamName;
    return name;
}

} // namespace stx
