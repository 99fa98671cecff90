// QuelvoConfigurator: the window that shows the processes and edits the
// rules and options the tray program works by.

#include "configurator/ConfiguratorApp.h"

int main() { return quelvo::configurator::RunConfigurator(); }
