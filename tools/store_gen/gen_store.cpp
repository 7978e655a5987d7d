// gen_store FOLDER [TERMINAL] [PRODUCTS]: writes a large synthetic store's
// master files into FOLDER/Files, to try the register on a big store's data.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "synthetic_store.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: gen_store FOLDER [TERMINAL] [PRODUCTS]\n");
        return 2;
    }
    tarvo::StoreSize size;
    if (argc > 3) size.products = std::atoi(argv[3]);
    std::string error;
    if (!tarvo::WriteSyntheticStore(argv[1], argc > 2 ? argv[2] : "1234567", size, &error)) {
        std::fprintf(stderr, "gen_store: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
