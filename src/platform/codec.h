// The compression and encoding component: zlib for compression, and a small
// base64 codec. Back-office replies are base64 of windows-1252 text, which is
// exactly the byte form the core keeps, so decoding yields core text.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace tarvo {

class Decoder {
public:
    // Checks that the compression library works (a round trip of a sample).
    bool Initialize();
    bool Ready() const { return ready_; }

private:
    bool ready_ = false;
};

// Standard alphabet; blanks and line breaks inside the text are skipped;
// nullopt for any other character or a bad length.
std::optional<std::string> Base64Decode(std::string_view text);
std::string Base64Encode(std::string_view bytes);

}  // namespace tarvo
