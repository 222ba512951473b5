#include <cstdio>

int main() {
    std::puts("Ridgeline: the window comes with the application shell.");
    return 0;
}
