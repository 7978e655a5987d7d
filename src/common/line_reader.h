// Reads a text file line by line; CR LF, a lone CR and a lone LF all end a
// line, and no line keeps a CR. Large master files go through here, so it
// reads in big blocks and hands out views where it can.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

class LineReader {
public:
    LineReader() = default;
    explicit LineReader(const std::string& path, bool skipUtf8Bom = false) { Open(path, skipUtf8Bom); }
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // False when the file cannot be opened (errno is kept in Error()).
    bool Open(const std::string& path, bool skipUtf8Bom = false);
    bool IsOpen() const { return fd_ >= 0; }
    int Error() const { return error_; }

    // The next line without its line end; false at the end of the file or on
    // a read error (then Error() is not 0). A last line without a line end is
    // still a line; an empty file has no lines.
    bool Next(std::string& line);
    // Lines handed out so far.
    long LineNumber() const { return lineNo_; }
    void Close();

private:
    bool Fill();
    int fd_ = -1;
    int error_ = 0;
    long lineNo_ = 0;
    bool skipBom_ = false;
    bool first_ = true;
    bool eof_ = false;
    bool pendingCr_ = false;  // the last block ended in CR: swallow a following LF
    std::vector<char> buf_;
    std::size_t pos_ = 0, end_ = 0;
};

// All lines of a text, by the same rules.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace tarvo
