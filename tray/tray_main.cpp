#include <cstdio>

// Placeholder until the tray program is assembled on the engine and the
// window layer.
int main()
{
    std::puts("QuelvoTray: the tray program is not assembled yet.");
    return 0;
}
