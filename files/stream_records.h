// The streams of a file as the system's backup interface reports them: a
// sequence of records, each a 20-byte header (stream id, attributes, 64-bit
// size, name size), the UTF-16 name and the stream's data. The parser takes
// the bytes in pieces of any size, or is told that data was skipped, and stops
// at the first record it cannot trust, keeping the streams listed before it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace stx {

struct StreamRecord {
    std::uint32_t streamId = 0;
    std::uint64_t size = 0;
    std::u16string name; // as reported, e.g. u":notes:$DATA"; empty for unnamed streams
};

inline constexpr std::size_t kStreamHeaderSize = 20;
// Stream names are at most 255 characters plus the ":" and ":$DATA" around
// them; a longer declared name is not a stream name.
inline constexpr std::uint32_t kMaxStreamNameBytes = 1024;
// Each stream is a menu item with a command id of its own; a file claiming
// more streams than a menu can sensibly hold lists the first ones.
inline constexpr std::size_t kMaxStreamRecords = 1000;

class StreamRecordParser {
  public:
    enum class State : std::uint8_t { Reading, Malformed, Full };

    // What the parser needs next: bytes to read (a header or a name), or the
    // current stream's data, which the caller may skip instead of reading.
    struct Want {
        std::uint64_t bytes = 0;
        bool data = false;
    };
    Want Next() const;

    // Takes read bytes in order; returns how many it used (fewer only once it
    // has stopped).
    std::size_t Feed(const std::uint8_t* bytes, std::size_t count);
    // The caller skipped this many bytes of the current stream's data.
    void Skipped(std::uint64_t count);

    State Status() const { return state_; }
    bool Stopped() const { return state_ != State::Reading; }
    const std::vector<StreamRecord>& Records() const { return records_; }

  private:
    enum class Part : std::uint8_t { Header, Name, Data };
    void HeaderDone();
    void RecordDone();

    State state_ = State::Reading;
    Part part_ = Part::Header;
    std::uint8_t header_[kStreamHeaderSize]{};
    std::size_t headerFill_ = 0;
    std::uint32_t nameBytes_ = 0;
    std::string nameRaw_;
    std::uint64_t dataLeft_ = 0;
    StreamRecord current_;
    std::vector<StreamRecord> records_;
};

// The streams listed in a whole byte sequence as the backup interface returns it.
std::vector<StreamRecord> ParseStreamRecords(std::span<const std::uint8_t> bytes);

// The text of the menu item of an unnamed stream: "*Stream #" and the stream's
// position in the list in five digits.
std::string StreamCounterText(std::size_t index);

// The name that opens a stream of a file: the file's name, ":" and the stream
// name without one leading ":" ("C:\a.txt" and ":notes:$DATA" give
// "C:\a.txt:notes:$DATA"). Empty when no stream name remains.
std::string StreamFileName(std::string_view baseName, std::string_view streamName);

} // namespace stx
