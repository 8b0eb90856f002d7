#include <cstdio>

int main() {
    std::puts("Pawlane: the desktop app is not built yet.");
    return 0;
}
