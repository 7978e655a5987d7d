// Loading the master text files of Files/ into the in-memory staff and
// category tables and into the master working files of Data/.
#pragma once

#include "data/data_state.h"

namespace tarvo {

// Everything at start-up, in order: managers, cashiers, salesmen, categories,
// the product key setting, products, product updates, clients, vendors, kits,
// the alias index, the new-client and new-product files.
void OpenTables();

void Open_FileManager();   // .MAN -> ManagerTable (150 at most)
void Open_FileCashier();   // .CSH -> CashierTable (2000)
void Open_FileSalesman();  // .SAL -> SalesmanTable (2000)
void Read_FileCategory();  // .CTG -> CategoryTable (500)

void Parse_FileProduct();  // .PRD -> products working file (#3)
void Parse_FileClient();   // .CLI -> clients (#4); also the client-id map
void Parse_Filevendor();   // .VND -> vendors (#44); also the vendor-code map
void Parse_FileKit();      // .KTM, .KTD -> kit headers (#31), kit lines (#32)

// Working files and indexes are kept from one start to the next and used
// again while what they were built from has not changed (the identity of
// their text file, see platform/file_identity.h). Whatever changes the data
// behind them tells this first, so nothing built from the old data is taken
// for current after a crash or at the next start; each flag names exactly
// what is no longer current:
enum MasterChange : unsigned {
    kProductRecordsChanged = 1u << 0,  // product working file written in place (prices, stock)
    kProductWordsChanged = 1u << 1,    // descriptions or keys: the product word index
    kClientRecordsChanged = 1u << 2,   // client working file written in place
    kClientWordsChanged = 1u << 3,     // names or telephones: the client index
    kVendorsChanged = 1u << 4,
    kKitsChanged = 1u << 5,
    kAliasesChanged = 1u << 6,
    // A new master text file (a download, product updates): all built from it.
    kProductMasterChanged = kProductRecordsChanged | kProductWordsChanged,
    kClientMasterChanged = kClientRecordsChanged | kClientWordsChanged,
};
// Removes (durably) the stamps and saved indexes of what `changes` names; the
// next load or index build makes them again from the text files.
void Masters_Changed(unsigned changes);

// Removes the stamp of a working file (Data/<terminal><ext>.stamp) before the
// file is written: it is loaded afresh at the next start.
void WorkStamp_Remove(const char* ext);

// The new-entry files run the header check of every transaction file
// (Header_Check): a count past the file's whole records is cut back, one that
// no writer writes is rebuilt from the entries, each logged and rewritten.
void Open_FileNew();         // checks .NWC and .NWP at start-up; #29 left on .NWP
void Open_FileNewClient();   // #29 on .NWC, gNewCount from its checked header
void Open_FileNewProduct();  // #29 on .NWP (an empty file stays empty, count 0)

// Before an entry is appended to the new-entry file open on #29: checks its
// count again and sets gNewCount to it; an empty file gets its header "1"
// first. A repaired header is rewritten, flushed and logged. False when the
// file is not open or the repair cannot be written.
bool NewFile_Verify();

}  // namespace tarvo
