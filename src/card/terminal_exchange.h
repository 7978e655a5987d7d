// The card terminal on the store's network: the transaction request sent to
// its /cgi.html page, its tagged reply read into a card result, and the
// terminal log Data/Dejavoo.LOG.
#pragma once
#include <cstdint>
#include <string>

#include "common/money.h"

namespace tarvo::card {

constexpr int kTerminalPort = 8443;

// A terminal address as setting 136 holds it: an IPv4 address with an
// optional ":port" (8443 when none). False for anything else.
bool TerminalAddress_Parse(const std::string& text, std::string& host, int& port);

// The transaction document: PaymentType, TransType ("Return" for an amount
// below zero, else "Sale"), Amount (its absolute value, two decimals),
// InvNum, RefId (empty) and RegisterId, each value escaped on its own.
std::string TerminalDocument(Money amount, const std::string& invoice, const std::string& registerId);
// The GET's whole address: the document is the one query value, encoded.
std::string TerminalUrl(const std::string& host, int port, const std::string& document);

// The first text between <tag> and </tag>; empty when either is missing.
std::string Extract(const std::string& text, const std::string& tag);
// An ExtData item's value: after "name=" up to the next "," or the end.
std::string ExtDataItem(const std::string& extData, const std::string& name);

struct TerminalResult {
    std::int16_t status = 2;
    std::string message;   // ExtData of an approval; Message and RespMSG of a decline
    std::string authCode;  // an approval's code, whole and trimmed
    std::string last4;     // AcntLast4
    std::string name;      // the holder, apostrophes made blanks
};
// The reply of the request sent with `invoice`: status 2 empty, 14
// cancelled, 3 not this request's, 0 approved, 1 declined.
TerminalResult TerminalReply_Evaluate(const std::string& reply, const std::string& invoice,
                                      const std::string& registerId);

// The tender's card number of an approval: twelve asterisks and the last
// four digits (blank-padded to four).
std::string TerminalCardNumber(const std::string& last4);

// Appends one entry (its line and an empty line) to the terminal log,
// created readable by this user only. A log that cannot be written is
// reported in `error`; the card operation goes on.
bool TerminalLog_Append(const std::string& path, const std::string& line, std::string* error = nullptr);
// "MM-DD-YYYY HH:MM:SS" of the log's lines.
std::string TerminalLog_Stamp(int year, int month, int day, int hour, int minute, int second);

}  // namespace tarvo::card
