// Tag text: the flat form of every payload and reply, elements written back
// to back as "<" name ">" value "</" name ">" with no root, no attributes and
// no escaping. Database replies wrap their answer in "<body>" and each row in
// "<record>". Reading never fails: an element that is not there reads as "".
#pragma once
#include <string>
#include <string_view>

namespace tarvo {

// The value of the first element named `tag`: what lies between the first
// "<tag>" and the first "</tag>" (names match whole and case-sensitively);
// "" when either is missing or the closing tag stands first.
std::string Extract(std::string_view text, std::string_view tag);

// gOnline.gReplyValue = Extract(gOnline.gReply, gOnline.gReplyTag).
void ASP_Decode();

// The body of a database reply: what follows "<body>" and the line break the
// dispatcher writes after it (two characters), up to "</body>"; "" when there
// is none. The two names are the same routine.
std::string Extract_Compressed_Message(std::string_view text);
std::string Body_Extract(std::string_view text);

// The first "<record>" row of `text`. When the row is not empty, `text` is
// cut to what follows the "<" of the row's "</record>" (it then begins with
// "/record>"), so the next call returns the next row; an empty or missing row
// leaves `text` as it was.
std::string Record_Extract(std::string& text);

// Readies gOnline.gReplyValue for comma-separated output: every ",", line
// feed and carriage return becomes one blank (the length stays).
void ASP_Strip();

// Payload building from gOnline.gImportLine, whose columns are separated by
// TAB; a column (from 1) is readable only when a TAB follows it.
// gFieldValue = the column, trimmed of blanks; "" when it is not readable.
void Online_GetField(int column);
// gFieldValue = the column as it stands; when `tag` and the value are both not
// empty, "<tag>" value "</tag>" is appended to gRequestData.
void Online_FieldToTag(int column, std::string_view tag);
// Appends "<tag>" gTagValue "</tag>" to gRequestData, also for an empty value.
void Online_AddTag(std::string_view tag);

}  // namespace tarvo
