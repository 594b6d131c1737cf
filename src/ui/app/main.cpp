// The program's entry. No command line is read (Qt's own options still
// apply).

#include "app/Application.h"

int main(int argc, char** argv) {
    return almanary::runApplication(argc, argv);
}
