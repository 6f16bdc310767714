#pragma once
// Registers the toolkit's component classes, so that components can be created
// by class name (CreateComponentByClassName("TEdit", owner)). The application
// object does this when it is first used; calling it again changes nothing.
void RegisterStandardClasses();
