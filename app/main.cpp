#include "app/BracUtilMain.h"

int main(int argc, char** argv) {
    return BracUtilMain(argc, argv);
}
