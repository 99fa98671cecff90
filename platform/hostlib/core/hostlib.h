#pragma once
// Start-up of the host class library. Programs call InitHostLibrary() once
// at the start of main, before any unit of their own registers classes:
// unit initialisation runs from explicit calls in a fixed order, never from
// static constructors.

namespace hostlib {

// Fills the locale settings from the user's locale and registers the
// library's streamable classes with the class registry.
void InitHostLibrary();

}  // namespace hostlib
