// What the outbox still holds for the back office, counted as documents not
// yet sent, for the questions before the transaction files are emptied and
// before the terminal number changes (the outbox and its upload files are
// named after the terminal).
#pragma once

namespace tarvo {

// The documents of the outbox's pending uploads that the sent flags on file
// do not count: an upload not yet under its final name whose records are no
// longer on file as it was built (the files were emptied since), each of its
// records; the command file and the card terminal's log, one each. Uploads
// whose records are still on file are counted by their flags ("0") already.
// `daily`: only the sales and the journal. An outbox that cannot be read
// counts 1: what is in flight is unknown.
int Outbox_UnsentDocuments(bool daily);

}  // namespace tarvo
