#include <cstdio>

// Placeholder until the configurator's window is built on the component
// library.
int main()
{
    std::puts("QuelvoConfigurator: the configuration program is not assembled yet.");
    return 0;
}
