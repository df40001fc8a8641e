#include "tools/gallery/GalleryMain.h"

int main(int argc, char** argv) {
    return GalleryMain(argc, argv);
}
